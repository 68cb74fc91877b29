#include "engine/Interpolation.h"

#include "engine/Sprite.h"

void Int_start(Interpolation* r) {
    if (r == nullptr) {
        return;
    }
    r->running = 1;
}

void Int_stop(Interpolation* r) {
    if (r == nullptr) {
        return;
    }
    r->running = 0;
}

uint8_t Int_do(Interpolation* r) {
    if (r == nullptr || r->running == 0) {
        return 0;
    }
    if (r->target != nullptr) {
        r->target->speed = wrap_add(r->target->speed, r->delta);
    }
    return 1;
}
