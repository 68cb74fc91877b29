#include <SDL/SDL.h>

#include "game/game.h"

// Flags of the strips: alpha blending, and run-length acceleration for all
// but the two strips the game turns and stretches (the bird in flight and
// the scratch mark), which are read pixel by pixel when drawn turned.
// SDL's own names, whatever numbers an SDL gives them (classic SDL 1.2:
// 0x10000 and 0x4000; the browser's: 0x10000 and 0x2); two distinct flags.
constexpr uint32_t ALPHA = SDL_SRCALPHA;
constexpr uint32_t ALPHA_RLE = SDL_SRCALPHA | SDL_RLEACCEL;
static_assert((SDL_SRCALPHA & SDL_RLEACCEL) == 0 && ALPHA_RLE != ALPHA);

ImageEntry sprtbl[IMAGE_COUNT] = {
#define STRIP(id, name, width, frameHeight, frames, flags)                                         \
    {name, flags, frames, nullptr, {0, 0, 0, 0}},
#include "game/catalogue.def"
};
// Every strip has frames: loading divides its height by their count.
#define STRIP(id, name, width, frameHeight, frames, flags) static_assert(frames > 0);
#include "game/catalogue.def"

// The sounds; the game record links to this array and the mixer plays it. All
// zero until the platform loads them.
SoundEntry snd[SOUND_COUNT];
const char* const sounds[SOUND_COUNT] = {
#define SOUND(id, name) name,
#include "game/catalogue.def"
};

// The fourteen sprites of the scene (what each index is: SPR_*).
Sprite spr[SPRITE_COUNT];
// The eleven animations (ANI_*); entry 8 is left empty.
Animation ani[ANIMATION_COUNT];
// The four interpolations: gravity on the bird and on the distance sign, and
// two on the bird's x that the game never starts.
Interpolation intpl[INTERPOLATION_COUNT];
// The two collision tests: the bird and the distance sign against the snow.
Collision coll[COLLISION_COUNT];
// The lines those tests watch, one per test.
CollisionArea ca[COLLISION_COUNT];

namespace {

// Marks a sprite whose image and frame come from its animations.
constexpr uint16_t NO_IMAGE = 0xFFFF;

// Start values of a sprite.
struct SpriteStart {
    fixed x;            // world x of the centre
    fixed y;            // world y of the centre (up is positive)
    uint16_t image;     // image table row, or NO_IMAGE
    uint16_t intpl;     // first of its interpolations
    uint8_t intplCount; // how many; 0 for none
};

// Where each sprite starts, which strip it shows and which interpolations
// move it.
constexpr SpriteStart spriteStart[SPRITE_COUNT] = {
    {BIRD_START_X, BIRD_START_Y, NO_IMAGE, INT_BIRD_GRAVITY, 3}, // bird on the ice block
    {0x2150000, 0x52FFFF, NO_IMAGE, 0, 0},                       // grumm
    {0x2238000, 0xE70000, IMG_ICE, 0, 0},                        // ice block
    {0x17F0000, 0x60FFFF, IMG_ROCK, 0, 0},                       // snow-capped rock
    {0x310000, 0xA8FFFF, IMG_TREE, 0, 0},                        // fir tree
    {0x1588000, 0xBAFFFF, IMG_STREE, 0, 0},                      // small fir tree
    {BOARD_X, 0x7CFFFF, IMG_SIGN, 0, 0},                         // board of the best distance
    {0, 0x18000, IMG_SIGN, INT_SIGN_GRAVITY, 1},                 // distance sign
    {0, 0x427FFF, IMG_SSIGN, 0, 0},                              // distance marker
    {0xAF8000, BOARD_TEXT_Y, IMG_TOP, 0, 0},                     // label on the board
    {0, 0x27FFFF, IMG_SCRATCH, 0, 0},                            // scratch mark
    {0, 0x297FFF, IMG_SHADOW, 0, 0},                             // bird's shadow
    {0, 0, IMG_SIGNSHAD, 0, 0},                                  // a sign's shadow
    {0, 0, NO_IMAGE, 0, 0},                                      // glyph carrier
};

// Start values of an animation. Every one lasts three game frames a frame.
struct AnimationStart {
    uint16_t index;      // entry of ani
    uint16_t image;      // image table row of its strip
    uint16_t firstFrame; // strip frame of its frame 0
    uint16_t frameCount; // frames stepped; the one after them is the end frame
};

constexpr uint16_t TICKS_PER_FRAME = 3;

constexpr AnimationStart animationStart[] = {
    {ANI_WAIT, IMG_PREPJUMP, 0, 23}, {ANI_DIVE, IMG_PREPJUMP, 24, 8}, {ANI_FLY, IMG_FLY, 0, 20},
    {ANI_STUCK, IMG_STICK, 0, 5},    {ANI_LOOK, IMG_LOOK, 0, 5},      {ANI_LIFT, IMG_GRUMM, 0, 5},
    {ANI_SWING, IMG_GRUMM, 6, 14},   {ANI_LOWER, IMG_GRUMM, 21, 9},   {ANI_FONT, IMG_FONT, 0, 10},
    {ANI_SFONT, IMG_SFONT, 0, 5},
};

static_assert(sizeof(animationStart) / sizeof(animationStart[0]) == ANIMATION_COUNT - 1,
              "every animation but the empty one");

} // namespace

void init_sprites() {
    for (uint16_t i = 0; i < SPRITE_COUNT; i++) {
        Sprite* s = &spr[i];
        const SpriteStart& t = spriteStart[i];
        s->x = Channel{};
        s->y = Channel{};
        s->zoomX = Channel{};
        s->zoomY = Channel{};
        s->angle = Channel{};
        s->x.value = t.x;
        s->y.value = t.y;
        s->zoomX.value = FIX_ONE;
        s->zoomY.value = FIX_ONE;
        s->intpl = t.intplCount != 0 ? &intpl[t.intpl] : nullptr;
        s->intplCount = t.intplCount;
        if (t.image != NO_IMAGE) {
            // A strip that failed to load hands on a null surface and a zero
            // frame: the sprite is then simply not drawn.
            s->image = sprtbl[t.image].surface;
            s->src = sprtbl[t.image].frameRect;
        }
    }
}

void init_animations() {
    for (const AnimationStart& t : animationStart) {
        Animation* a = &ani[t.index];
        const ImageEntry& row = sprtbl[t.image];
        a->image = row.surface;
        a->frameRect = row.frameRect;
        a->frameRect.y = static_cast<Sint16>(static_cast<uint16_t>(
            static_cast<uint16_t>(a->frameRect.y) + t.firstFrame * a->frameRect.h));
        a->frameCount = t.frameCount;
        a->ticksPerFrame = TICKS_PER_FRAME;
    }
}

void init_interpolations() {
    // Gravity on the bird, about -0.256 pixel per frame per frame.
    intpl[0].target = &spr[SPR_BIRD].y;
    intpl[0].delta = static_cast<fixed>(0xFFFFBE77);
    intpl[0].running = 0;
    // Two pushes along the bird's x that the game never starts.
    intpl[1].target = &spr[SPR_BIRD].x;
    intpl[1].delta = 0x4444;
    intpl[1].running = 0;
    intpl[2].target = &spr[SPR_BIRD].x;
    intpl[2].delta = 0x85CD;
    intpl[2].running = 0;
    // Gravity on the falling distance sign, about -0.248.
    intpl[3].target = &spr[SPR_SIGN].y;
    intpl[3].delta = static_cast<fixed>(0xFFFFC084);
    intpl[3].running = 0;
}

void init_collisions() {
    // Both watch their sprite's y (axis 1) against a line of the snow.
    const struct {
        uint16_t sprite;
        fixed limit, loss, bounce;
    } lines[COLLISION_COUNT] = {
        // The snow under the bird: it loses about 0.744 pixel per frame of its
        // downward speed at each impact and bounces back at half of the rest.
        {SPR_BIRD, BIRD_LYING_Y, 0xBE76, 0x8000},
        // The ground under the distance sign: a loss far beyond any fall speed
        // and no bounce, so the sign always stops on the line.
        {SPR_SIGN, SIGN_LANDED_Y, 0x77000000, 0},
    };
    static_assert(COL_BIRD == 0 && COL_SIGN == 1);
    for (uint16_t i = 0; i < COLLISION_COUNT; i++) {
        Sprite* s = &spr[lines[i].sprite];
        ca[i] = {&s->x, &s->y, lines[i].limit, lines[i].loss, lines[i].bounce};
        coll[i] = {1, 0, &ca[i]};
    }
}
