// Surfaces for tests that draw: 32-bit RGBA strips and screens of their own,
// independent of the display (the dummy video driver offers only 8 bits).
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

// A software surface, 32 bits per pixel, R G B A from the lowest byte up
// (little-endian masks), cleared to transparent black. Null on failure.
SDL_Surface* Test_makeRgba(int w, int h);

// The pixel at (x, y) as 0xAABBGGRR, or 0 outside the surface.
uint32_t Test_getPixel(SDL_Surface* s, int x, int y);

// Fills rows [y0, y0 + h) of s with one opaque colour 0x00BBGGRR.
void Test_fillRows(SDL_Surface* s, int y0, int h, uint32_t rgb);

// Counts the pixels of s whose colour (alpha ignored) equals rgb.
int Test_countColour(SDL_Surface* s, uint32_t rgb);
