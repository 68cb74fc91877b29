// Animations: step a sprite through a run of consecutive frames of a strip.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

struct Sprite;

struct Animation {
    uint16_t ticksPerFrame; // game frames per animation frame
    uint16_t tick;          // game frames counted within the current frame
    uint16_t frameCount;    // frames stepped through: 0 to frameCount - 1
    uint16_t frame;         // current frame; frameCount is the end frame
    SDL_Surface* image;     // the strip (owned by the image table)
    SDL_Rect frameRect;     // frame 0 of the animation inside the strip
    Sprite* sprite;         // sprite last bound to, set by Spr_setAni
    uint8_t running;        // nonzero while stepped
    uint8_t loop;           // 1: restart after the end frame; else stop there
};

uint8_t Ani_do(Animation* a);
void Ani_transfer(Animation* a);
void Spr_setAni(Sprite* s, Animation* a, uint16_t startFrame, uint8_t run);
