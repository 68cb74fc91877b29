// The program: start-up with its two screens, the main loop, the orderly end.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

// The call that opens the window; tests replace it to stand for a display
// that cannot give the mode.
extern SDL_Surface* (*Startup_setVideoMode)(int width, int height, int bpp, uint32_t flags);

// Names the window "Snowpunt" and gives it the game's icon (its clear pixels
// stay clear); called before the video mode is set.
void Startup_nameWindow();

extern "C" int SDL_main(int argc, char* argv[]);
