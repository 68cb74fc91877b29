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
