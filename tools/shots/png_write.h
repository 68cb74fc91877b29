// Writing a surface as a PNG file: 8-bit RGB, no interlace, one IDAT chunk.
#pragma once

#include <SDL/SDL.h>

// Writes the pixels of s (any depth SDL_GetRGB understands; 24 or 32 bits
// per pixel) to `path`. Returns true when the whole file was written.
bool Png_write(const char* path, SDL_Surface* s);

// The colour of pixel (x, y) of a 24- or 32-bit surface as 0xRRGGBB.
Uint32 Png_pixel(SDL_Surface* s, int x, int y);
