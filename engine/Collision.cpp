#include "engine/Collision.h"

#include "engine/Sprite.h"

// What is left of a speed after an impact, sent back the other way: the
// restitution factor times -s, from the exact 64-bit product, divided with
// truncation toward zero. Bounce 0x8000 with s = -3 gives 1; with s = 3 it
// gives -1, where a shift would round down to -2.
static fixed rebound(fixed bounce, fixed s) {
    return static_cast<fixed>(static_cast<int64_t>(bounce) * -static_cast<int64_t>(s) / 65536);
}

uint8_t Col_doAxis(CollisionArea* area, Channel* c) {
    if (area == nullptr || c == nullptr) {
        return 0;
    }
    const fixed limit = area->limit;
    const fixed v = c->value;
    const fixed s = c->speed;
    // Value before this frame's motion: the sprites have just moved and
    // nothing else has touched the channel since.
    const fixed before = wrap_sub(v, s);

    if (v < limit && before >= limit) {
        // Came down through the line.
        c->value = before;
        const fixed rest = wrap_add(s, area->loss);
        if (rest >= 0) {
            c->speed = 0;
            c->value = limit;
        } else {
            c->speed = rebound(area->bounce, rest);
        }
        return 1;
    }
    if (v > limit && before <= limit) {
        // Went up through the line.
        c->value = before;
        const fixed rest = wrap_sub(s, area->loss);
        if (rest <= 0) {
            c->speed = 0;
            c->value = limit;
        } else {
            c->speed = rebound(area->bounce, rest);
        }
        return 1;
    }
    return 0;
}

uint8_t Col_do(Collision* r) {
    if (r == nullptr) {
        return 0;
    }
    CollisionArea* area = r->area;
    if (r->axis == 0) {
        r->hit = Col_doAxis(area, area != nullptr ? area->xChannel : nullptr);
    } else if (r->axis == 1) {
        r->hit = Col_doAxis(area, area != nullptr ? area->yChannel : nullptr);
    }
    return r->hit;
}

void Col_doN(Collision* collisions, uint16_t count) {
    if (collisions == nullptr) {
        return;
    }
    for (uint16_t i = 0; i < count; i++) {
        Col_do(&collisions[i]);
    }
}
