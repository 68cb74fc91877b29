// A play screen made of solid colours, for pixel checks of the scene drawing:
// every sprite strip is replaced by a strip of the catalogue's size in which
// each frame is one opaque colour of its own, so that a pixel on the screen
// tells which strip, and which frame of it, was drawn there.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>
#include <vector>

// The colour (0xRRGGBB) of the background picture the tests install.
constexpr uint32_t DRAWTEST_BG = 0x050505;

// The colour (0xRRGGBB) of frame `frame` of image table row `row`.
uint32_t DrawTest_colour(uint16_t row, uint16_t frame);

// Installs the solid strips in every row of the image table (once per
// process), a plain background picture in `bg`, and builds the game record and
// the scene tables from them with the game in its waiting state.
void DrawTest_buildScene();

// A w x h opaque 32-bit software surface (0x00RRGGBB), cleared to black and
// made the display surface `screen`. The previous one made here is freed.
SDL_Surface* DrawTest_useScreen(int w, int h);

// The plain background picture installed by DrawTest_buildScene.
SDL_Surface* DrawTest_background();

// Pixel (x, y) of a 32-bit surface as 0xRRGGBB; 0xFFFFFFFF outside it.
uint32_t DrawTest_pixel(SDL_Surface* s, int x, int y);

// True when the two colours differ by at most 3 in every channel (blending
// and smoothing may move an opaque colour by a unit or two).
bool DrawTest_same(uint32_t a, uint32_t b);

// Number of pixels of s whose colour is the same as `rgb` in the sense above.
int DrawTest_count(SDL_Surface* s, uint32_t rgb);

// A run of neighbouring pixels of one colour along a row.
struct DrawTest_Run {
    int first;
    int last;
    uint32_t colour;
};

// The runs of colour along row y of s, from column x0 to x1 inclusive.
std::vector<DrawTest_Run> DrawTest_runs(SDL_Surface* s, int y, int x0, int x1);
