// The game: the record of a throw, its states and rules, the scratch marks,
// and the scene's tables (sprites, animations, gravity, collisions, the image
// table and the sounds). Nothing here calls SDL's video, audio or event
// functions: the platform drives the game frame by frame.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

#include "engine/Animation.h"
#include "engine/Collision.h"
#include "engine/Interpolation.h"
#include "engine/Sound.h"
#include "engine/Sprite.h"
#include "engine/fixed.h"

// The six states of a throw.
enum : uint32_t {
    STATE_WAIT = 0,   // the bird shuffles on the ice; presses are ignored
    STATE_READY = 1,  // waiting for the first press
    STATE_DROP = 2,   // the bird dives, the grumm lifts its club
    STATE_SWING = 3,  // the grumm swings
    STATE_FLIGHT = 4, // the struck bird flies, bounces and slides
    STATE_RESULT = 5, // the distance sign drops and shows the distance
};

// Sizes of the scene's fixed arrays.
constexpr uint16_t SPRITE_COUNT = 14;
constexpr uint16_t ANIMATION_COUNT = 11;
constexpr uint16_t INTERPOLATION_COUNT = 4;
constexpr uint16_t COLLISION_COUNT = 2;
constexpr int SCRATCH_MAX = 10;

// What each index of the scene's arrays is.
enum : uint16_t {
    SPR_BIRD = 0,
    SPR_GRUMM = 1,
    SPR_ICE = 2,
    SPR_ROCK = 3,
    SPR_TREE = 4,
    SPR_SMALLTREE = 5,
    SPR_BOARD = 6,       // board of the best distance in the start area
    SPR_SIGN = 7,        // distance sign dropped onto the landing point
    SPR_MARKER = 8,      // small sign of a distance marker
    SPR_TOP = 9,         // TOP label on the board
    SPR_SCRATCH = 10,    // scratch mark in the snow
    SPR_SHADOW = 11,     // the bird's shadow
    SPR_SIGNSHADOW = 12, // a signboard's shadow
    SPR_GLYPH = 13,      // glyph carrier of the number display
};
enum : uint16_t {
    ANI_WAIT = 0,  // bird waiting on the ice
    ANI_DIVE = 1,  // bird jumping off the ice
    ANI_FLY = 2,   // bird flying and sliding
    ANI_STUCK = 3, // bird stuck head-first in the snow
    ANI_LOOK = 4,  // bird lying on the snow, looking up
    ANI_LIFT = 5,  // grumm lifting the club
    ANI_SWING = 6, // grumm swinging, then watching
    ANI_LOWER = 7, // grumm lowering its arm back to rest
    ANI_FONT = 9,  // large digit font
    ANI_SFONT = 10 // small digit font
};
enum : uint16_t {
    INT_BIRD_GRAVITY = 0,
    INT_SIGN_GRAVITY = 3,
};
enum : uint16_t {
    COL_BIRD = 0, // the bird against the snow
    COL_SIGN = 1, // the distance sign against the snow
};
// Rows of the image table and entries of the sound array, in catalogue order.
enum : uint16_t {
#define STRIP(id, name, width, frameHeight, frames, flags) IMG_##id,
#include "game/catalogue.def"
    IMAGE_COUNT
};
enum : uint16_t {
#define SOUND(id, name) SND_##id,
#include "game/catalogue.def"
    SOUND_COUNT
};
static_assert(IMAGE_COUNT == 17 && SOUND_COUNT == 6);

// Places in the world (16.16) that the rules, the tables and the drawing share.
// Every distance is measured from the bird's start.
constexpr fixed BIRD_START_X = 0x02240000;  // 548.0: the bird on the ice
constexpr fixed BIRD_START_Y = 0x01950000;  // 405.0
constexpr fixed BIRD_LYING_Y = 0x00337FFF;  // 51.49998: the snow line under the bird
constexpr fixed SIGN_LANDED_Y = 0x0051FFFF; // 81.99998: the line the dropped sign stops on
constexpr fixed BOARD_X = 0x00D58000;       // 213.5: the board of the best distance
constexpr fixed BOARD_TEXT_Y = 0x0083FFFE;  // 131.99997: the line of its TOP label and number

// One row of the image table: a sprite strip and, once loaded, its surface.
struct ImageEntry {
    const char* fileName;  // asset name the strip is opened by
    uint32_t surfaceFlags; // handed to SDL_SetAlpha before conversion
    uint16_t frameCount;   // frames stacked vertically in the strip
    SDL_Surface* surface;  // the strip in display format with alpha, or null
    SDL_Rect frameRect;    // frame 0 inside surface, zero until loaded
};

// A stretch of snow the bird scraped while bouncing or sliding.
struct ScratchMark {
    fixed startX;   // bird's x where the mark began
    fixed endX;     // bird's x where the mark ends so far
    uint8_t active; // 1 while still being extended
    fixed scaleX;   // horizontal zoom at which the mark is drawn
};

struct GameRecord {
    uint32_t state; // STATE_WAIT to STATE_RESULT
    Animation* ani; // the scene's arrays
    Interpolation* intpl;
    Collision* coll;
    Sprite* spr;
    SoundEntry* snd;
    fixed heightMin;      // lowest bird height the club can strike
    fixed heightMax;      // highest bird height the club can strike
    int16_t angleMin;     // launch angle of a strike at heightMin
    fixed height2ang;     // launch-angle units per pixel above heightMin
    fixed launchSpeed;    // nominal launch speed, px per frame
    int16_t stickAngle;   // landing at or below this angle sticks the bird
    uint8_t stuck;        // 1 once the bird is stuck head-first this throw
    fixed distPerPixel;   // distance units per world pixel
    fixed pixelsPerDist;  // world pixels per distance unit
    fixed bestDistance;   // best lastDistance since start-up
    fixed lastDistance;   // distance of the last finished throw
    uint16_t screenWidth; // display size in pixels
    uint16_t screenHeight;
    ScratchMark scratch[SCRATCH_MAX]; // marks of the current throw
    uint8_t scratchCount;             // marks in use
};

// The game record of the one game.
extern GameRecord theGame;

// The scene: sprites, animations, interpolations, collision tests and their
// areas, built by Game_init from the image table.
extern Sprite spr[SPRITE_COUNT];
extern Animation ani[ANIMATION_COUNT];
extern Interpolation intpl[INTERPOLATION_COUNT];
extern Collision coll[COLLISION_COUNT];
extern CollisionArea ca[COLLISION_COUNT];

// The sprite strips, one row per STRIP of the catalogue; the platform loads them.
extern ImageEntry sprtbl[IMAGE_COUNT];

// The six sounds (the platform loads and mixes them) and their asset names,
// index for index.
extern SoundEntry snd[SOUND_COUNT];
extern const char* const sounds[SOUND_COUNT];

// 1 for exactly one frame after the player's action (Space or the left mouse
// button released); the main loop sets it, the rules read it.
extern uint8_t actionInput;

// The game's random source: the C library's rand, seeded once by the main
// loop. Tests replace it to control the strike's speed factor.
extern int (*Game_rand)();

// Fills the record and builds the scene's tables from the loaded image table.
void Game_init();
void init_sprites();
void init_animations();
void init_interpolations();
void init_collisions();

void Game_setState(GameRecord* game, uint32_t state);
void Game_doGame(GameRecord* game);
// One frame's fixed step after the events: sprites, collisions, game rules.
void Game_step(GameRecord* game);

uint8_t Scratch_do(GameRecord* game, uint8_t touching);
void Scratch_scale(GameRecord* game);
void Scratch_reset(GameRecord* game);
