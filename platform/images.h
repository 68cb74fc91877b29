// Loading the sprite strips and the scene built from them.
#pragma once

#include <cstdint>

#include "game/game.h"

// Decodes each row's strip, converts it to the display's format with alpha
// and fills in its surface and frame 0; a strip that fails is reported on
// standard output and its row stays empty.
void load_sprites(ImageEntry* table, uint16_t count);

// Start-up's loading after the sounds: the sprite strips, the game record
// with the scene built from them, and the background made opaque in the
// display's format (bg stays null when "bg.bmp" cannot be decoded). Needs
// the video mode set.
void load_scene();

// Decodes one of the full-screen bitmaps; null when it cannot be.
SDL_Surface* load_picture(const char* name);
