// Helpers shared by the test programs.
#pragma once

#include <SDL/SDL.h>
#include <string>

// A 640 x 480 opaque 32-bit software surface (XRGB) to draw pixel checks into
// (the headless display is 8-bit).
SDL_Surface* Test_makeScreen();

// Pixel (x, y) of a 32-bit surface as 0xRRGGBB.
uint32_t Test_pixel(SDL_Surface* surface, int x, int y);

// Text of a whole file, or empty when it cannot be read.
std::string Test_readFile(const std::string& path);

#include "platform/Snowpunt1_Win.h"

// A catalogue like the executable's, with one asset left out or with its
// bytes replaced; `bytes` null leaves the asset out. Pointing RES_ownModule
// at `module` and calling RES_init makes the lookup search it.
struct Test_Catalogue {
    ResAsset assets[64];
    ResModule module;
};
void Test_makeCatalogue(Test_Catalogue* out, const char* name, const uint8_t* bytes = nullptr,
                        size_t size = 0);
