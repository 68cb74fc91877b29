// Helpers shared by the test programs, which all run headless.
#pragma once

#include <SDL/SDL.h>

#include "game/game.h"
#include "platform/assets.h"

// A w x 480 opaque 32-bit software surface (XRGB) to draw pixel checks into
// (the headless display is 8-bit).
SDL_Surface* Test_makeScreen(int w = 640);
// Pixel (x, y) of a 32-bit surface as 0xRRGGBB.
uint32_t Test_pixel(SDL_Surface* surface, int x, int y);
// Whether the SDL 1.2 in use is sdl12-compat (over SDL 2): patch level 50 up (classic: 15).
inline bool Test_sdl12compat() {
    return SDL_Linked_Version()->patch >= 50;
}

// The sprite strips by image table row (each frameH x frames pixels high).
struct Test_Strip {
    const char* name;
    uint16_t w, frameH, frames;
};
extern const Test_Strip Test_strips[IMAGE_COUNT];

// The executable's catalogue with one asset left out (`bytes` null) or its
// bytes replaced, for RES_catalogue; valid until the next call.
const AssetCatalogue* Test_catalogue(const char* name, const char* bytes = nullptr, size_t n = 0);
