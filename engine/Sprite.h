// Sprites: one drawable object of the scene, its position, scale, rotation,
// frame of an image strip and links to what moves it.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

#include "engine/fixed.h"

struct Animation;
struct Interpolation;

// One animatable quantity of a sprite.
struct Channel {
    fixed value; // current value
    fixed speed; // change of value per game frame
};

struct Sprite {
    Channel x;            // world x of the centre of the drawn image
    Channel y;            // world y of the centre (y grows upward)
    Channel zoomX;        // horizontal scale, 0x10000 natural size
    Channel zoomY;        // vertical scale
    Channel angle;        // rotation in 1/65536 of a full turn
    Animation* ani;       // bound animation, set only by Spr_setAni
    Interpolation* intpl; // first of the sprite's run of interpolations
    uint8_t intplCount;   // how many records from intpl on are the sprite's
    SDL_Surface* image;   // strip the sprite is drawn from (not owned)
    SDL_Rect src;         // current frame inside the strip
};

// World coordinates (16.16) of the screen's bottom-left corner.
struct View {
    fixed x;
    fixed y;
};

// The display surface every sprite is drawn onto.
extern SDL_Surface* screen;

// The rotation and zoom routine of the turned or stretched path. Tests may
// replace it to watch what it is given.
extern SDL_Surface* (*Spr_rotozoom)(SDL_Surface* src, double angle, double zoomx, double zoomy,
                                    int smooth);

// Draws the sprite centred on its position as seen from the view, on a screen
// `height` pixels high; the blit clips it to the screen.
void Spr_draw(const Sprite* sprite, const View* view, uint16_t height);
void Spr_drawN(const Sprite* sprites, const View* view, uint16_t height, uint16_t count);
void Spr_doN(Sprite* sprites, uint16_t count);
