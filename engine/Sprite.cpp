#include "Sprite.h"

#include <SDL/SDL_rotozoom.h>

SDL_Surface* screen = nullptr;

SDL_Surface* (*Spr_rotozoom)(SDL_Surface*, double, double, double, int) = rotozoomSurfaceXY;
