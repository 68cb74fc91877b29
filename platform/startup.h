// The program: start-up with its two screens, the main loop, the orderly end.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

// The call that opens the window; tests replace it to stand for a display
// that cannot give the mode.
extern SDL_Surface* (*Startup_setVideoMode)(int width, int height, int bpp, uint32_t flags);

extern "C" int SDL_main(int argc, char* argv[]);
