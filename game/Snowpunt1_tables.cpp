#include "Snowpunt1_SDL.h"

Sprite spr[SPRITE_COUNT];
Animation ani[ANIMATION_COUNT];
Interpolation intpl[INTERPOLATION_COUNT];
Collision coll[COLLISION_COUNT];
CollisionArea ca[COLLISION_COUNT];
