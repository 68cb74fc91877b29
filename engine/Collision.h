// Collision tests: one channel of a moving sprite against a fixed line,
// with undo, loss and bounce.
#pragma once

#include <cstdint>

#include "engine/fixed.h"

struct Channel;

struct CollisionArea {
    Channel* xChannel; // the moving object's x channel
    Channel* yChannel; // its y channel
    fixed limit;       // the line x = limit or y = limit
    fixed loss;        // speed lost at an impact
    fixed bounce;      // share of the remaining speed sent back (0x10000 all)
};

struct Collision {
    int32_t axis;        // 0: test xChannel, 1: test yChannel, else no test
    uint8_t hit;         // 1 if the line was crossed in this frame
    CollisionArea* area; // what to test
};

uint8_t Col_doAxis(CollisionArea* area, Channel* c);
uint8_t Col_do(Collision* r);
void Col_doN(Collision* collisions, uint16_t count);
