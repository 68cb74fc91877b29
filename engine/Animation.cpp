#include "engine/Animation.h"

#include "engine/Sprite.h"

uint8_t Ani_do(Animation* a) {
    if (a == nullptr || a->running == 0) {
        return 0;
    }
    if (a->frame >= a->frameCount) {
        // The end frame has been shown for one call.
        if (a->loop == 1) {
            a->tick = 0;
            a->frame = 0;
            a->running = 1;
            return 1;
        }
        a->running = 0;
        return 0;
    }
    a->tick = static_cast<uint16_t>(a->tick + 1);
    // A ticksPerFrame of 0 steps every call, like 1.
    if (a->tick >= a->ticksPerFrame) {
        a->frame = static_cast<uint16_t>(a->frame + 1);
        a->tick = 0;
    }
    return 1;
}

void Ani_transfer(Animation* a) {
    if (a == nullptr || a->sprite == nullptr) {
        return;
    }
    // Frames lie one under the other; the row wraps in 16 bits like the
    // rectangle it is stored in.
    const uint16_t row =
        static_cast<uint16_t>(a->frame * a->frameRect.h + static_cast<uint16_t>(a->frameRect.y));
    a->sprite->src.y = static_cast<Sint16>(row);
}

void Spr_setAni(Sprite* s, Animation* a, uint16_t startFrame, uint8_t run) {
    if (s == nullptr) {
        return;
    }
    s->ani = a;
    if (a != nullptr) {
        a->sprite = s;
        s->image = a->image;
        s->src.w = a->frameRect.w;
        s->src.h = a->frameRect.h;
        s->src.x = 0;
        a->tick = startFrame;
        a->frame = startFrame;
        a->running = run;
    }
    Ani_transfer(a);
}
