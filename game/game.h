// The game: the record of a throw, its states and rules, the scratch marks,
// the main loop with its frame pacing, and the drawing of the play screen.
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
constexpr uint16_t SOUND_COUNT = 6;
constexpr uint16_t IMAGE_COUNT = 17;
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
enum : uint16_t {
    SND_BEAT = 0,
    SND_READY = 1,
    SND_HUI = 2,
    SND_HEPP = 3,
    SND_BOUNCE = 4,
    SND_LIFT = 5,
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

// 1 for exactly one frame after Space or the left mouse button is released.
extern uint8_t actionInput;
// The event record the main loop polls into.
extern SDL_Event event;
// Tick count (ms) at the start of the current frame.
extern uint32_t start_time;
// Tick count (ms) at the end of the current frame's work.
extern uint32_t end_time;
// After Frame_end: the target minus the time the frame's work took.
extern int32_t delta_time;

// The game's random source: the C library's rand, seeded once by the main
// loop. Tests replace it to control the strike's speed factor.
extern int (*Game_rand)();
// The clock and the sleep of the frame pacing; tests replace them.
extern uint32_t (*Frame_getTicks)();
extern void (*Frame_delay)(uint32_t ms);

void Game_setState(GameRecord* game, uint32_t state);
void Game_doGame(GameRecord* game);
void Game_draw(GameRecord* game);
void Game_loop(GameRecord* game);

// One frame's handling of one polled event. Returns 1 when the loop must end
// (Escape released); a closed window ends the process.
uint8_t Game_handleEvent(GameRecord* game, const SDL_Event* e);
// One frame's fixed step after the events: sprites, collisions, game rules.
void Game_step(GameRecord* game);

uint8_t Scratch_do(GameRecord* game, uint8_t touching);
void Scratch_scale(GameRecord* game);
void Scratch_reset(GameRecord* game);

void Frame_start();
void Frame_end(uint32_t target);

void printFixed(char* text, fixed value);
void Game_drawFixed(fixed value, Sprite* carrier, Animation* font, uint16_t pointFrame,
                    uint16_t digitBase, uint8_t centre, const View* view, uint16_t width,
                    uint16_t height);
