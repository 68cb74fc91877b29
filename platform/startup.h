// The program: start-up with its two screens, the main loop, the orderly end.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

extern "C" int SDL_main(int argc, char* argv[]);
