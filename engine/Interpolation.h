// Interpolations: a constant change of a channel's speed per game frame,
// that is a constant acceleration (the game's gravity).
#pragma once

#include <cstdint>

#include "engine/fixed.h"

struct Channel;

struct Interpolation {
    Channel* target; // channel whose speed is changed, or none
    fixed delta;     // added to the target's speed per game frame
    uint8_t running; // nonzero while acting
};

void Int_start(Interpolation* r);
void Int_stop(Interpolation* r);
uint8_t Int_do(Interpolation* r);
