#include "game/game.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

uint8_t actionInput = 0;

// Where the strike draws its random numbers from.
int (*Game_rand)() = std::rand;

namespace {

constexpr fixed BIRD_STUCK_Y = 0x003EFFFF;  // 62.99998: centre of a bird head-first in the snow
constexpr fixed SIGN_PARKED_Y = 0x00011999; // 1.0999908: out of sight, under its landing line
constexpr fixed SIGN_DROP_Y = 0x02100000;   // 528.0: above the top of the screen
constexpr fixed SIGN_DROP_DX = 0x00050000;  // 5.0: the sign lands a little right of the bird

// Quadratic and constant parts of the slowing forces, 16.16.
constexpr fixed GROUND_FRICTION_K = 797; // 0.01216 per (px/frame)^2
constexpr fixed GROUND_FRICTION_C = 349; // 0.00533 px/frame
constexpr fixed AIR_DRAG_K = 14;         // 0.00021 per (px/frame)^2
constexpr fixed AIR_DRAG_CX = 209;       // 0.00319 px/frame
constexpr fixed AIR_DRAG_CY = 157;       // 0.00240 px/frame

constexpr double RADIANS_PER_DEGREE = 0.017453292519943295;

// The frame of the swing on which the club meets the bird.
constexpr uint16_t SWING_STRIKE_FRAME = 2;

double angleDegrees(int32_t units) {
    return static_cast<double>(units) * 360 / 65536.0;
}

// Moves a speed toward 0 by amount (never negative here) without passing 0.
fixed slowDown(fixed speed, fixed amount) {
    if (speed >= 0) {
        return speed > amount ? speed - amount : 0;
    }
    return speed < -amount ? speed + amount : 0;
}

// Cosine and sine of a launch angle as 16.16 numbers, truncated toward zero.
void launchDirection(int32_t angle, fixed* c, fixed* s) {
    double r = static_cast<double>(angle) * 360 * (1 / 65536.0) * RADIANS_PER_DEGREE;
    *c = static_cast<fixed>(std::cos(r) * 65536);
    *s = static_cast<fixed>(std::sin(r) * 65536);
}

void strike(GameRecord* game, Sprite* bird) {
    fixed y = bird->y.value;
    if (y < game->heightMin || y > game->heightMax) {
        return;
    }
    // The first draw is thrown away; only the second one sets the speed.
    Game_rand();
    int32_t a = game->angleMin + fixmul(y - game->heightMin, game->height2ang);
    bird->angle.value = a;
    printf("ang: %f\n", angleDegrees(a));

    fixed c;
    fixed s;
    launchDirection(a, &c, &s);
    printf("sine: %f, cosine: %f\n", s / 65536.0, c / 65536.0);

    Int_stop(&game->intpl[INT_BIRD_GRAVITY]);

    // k runs from -4064 to 4096 in steps of 32: a speed factor of 0.938 to 1.0625.
    int32_t k = ((Game_rand() & 255) - 127) * 32;
    fixed v = fixmul(FIX_ONE + k, game->launchSpeed);
    launchDirection(a, &c, &s);
    bird->x.speed = -fixmul(c, v);
    bird->y.speed = fixmul(s, v);
    printf("speed o (x, y): %f (%f, %f)\n", v / 65536.0, bird->x.speed / 65536.0,
           bird->y.speed / 65536.0);

    Game_setState(game, STATE_FLIGHT);
}

// The bird touched the snow this frame: a bounce or a touch-down in flight,
// otherwise it goes in head-first.
void groundContact(GameRecord* game, Sprite* bird) {
    if (game->state == STATE_FLIGHT && bird->angle.value > static_cast<int32_t>(game->stickAngle)) {
        if (bird->y.speed == 0) {
            // The collision left it lying on the snow line: it slides from now on.
            Int_stop(&game->intpl[INT_BIRD_GRAVITY]);
        } else {
            Snd_play(&game->snd[SND_BOUNCE]);
        }
        return;
    }

    game->stuck = 1;
    Int_stop(&game->intpl[INT_BIRD_GRAVITY]);
    bird->x.speed = 0;
    bird->y.speed = 0;
    bird->y.value = BIRD_STUCK_Y;
    bird->angle.value = 0;
    Spr_setAni(bird, &game->ani[ANI_STUCK], 0, 1);
    Snd_play(&game->snd[SND_BEAT]);
    if (game->state == STATE_DROP && !game->ani[ANI_SWING].running) {
        // The grumm swings at a bird that has already dropped past it.
        Spr_setAni(&game->spr[SPR_GRUMM], &game->ani[ANI_SWING], 0, 1);
    }
}

void flight(GameRecord* game, Sprite* bird) {
    if (game->stuck == 1) {
        if (!game->ani[ANI_STUCK].running) {
            Game_setState(game, STATE_RESULT);
        }
        return;
    }

    uint8_t onSnow = Scratch_do(game, game->coll[COL_BIRD].hit);
    fixed vx = bird->x.speed;
    fixed vy = bird->y.speed;
    if (onSnow) {
        vx = slowDown(vx, fixmul(fixmul(vx, vx), GROUND_FRICTION_K) + GROUND_FRICTION_C);
    }
    vx = slowDown(vx, fixmul(fixmul(vx, vx), AIR_DRAG_K) + AIR_DRAG_CX);
    vy = slowDown(vy, fixmul(fixmul(vy, vy), AIR_DRAG_K) + AIR_DRAG_CY);
    bird->x.speed = vx;
    bird->y.speed = vy;

    // The speeds are negated as whole numbers so that a speed of 0 gives +0.0:
    // a bird at rest gets angle 0, not a half turn.
    double theta = std::atan2(static_cast<double>(-static_cast<int64_t>(vy)) / 65536,
                              static_cast<double>(-static_cast<int64_t>(vx)) / 65536);
    double degrees = theta / RADIANS_PER_DEGREE;
    int16_t u = static_cast<int16_t>(static_cast<int32_t>(degrees * 65536 / 360));
    bird->angle.value = -static_cast<int32_t>(u);
    printf("fly ang: %f\n", angleDegrees(bird->angle.value));

    if (vx == 0 && vy == 0) {
        Game_setState(game, STATE_RESULT);
    }
}

} // namespace

void Game_setState(GameRecord* game, uint32_t state) {
    if (game == nullptr) {
        return;
    }
    game->state = state;
    Sprite* bird = &game->spr[SPR_BIRD];
    Sprite* grumm = &game->spr[SPR_GRUMM];
    Sprite* sign = &game->spr[SPR_SIGN];

    switch (state) {
    case STATE_WAIT:
        Scratch_reset(game);
        Spr_setAni(bird, &game->ani[ANI_WAIT], 0, 1);
        Spr_setAni(grumm, &game->ani[ANI_LIFT], 0, 0);
        // Return can interrupt a swing or the lowering of the arm. Nothing steps
        // those animations once the grumm shows the lift again, so they would
        // stay marked running, and a later miss in the drop would wait for the
        // swing to end forever.
        game->ani[ANI_SWING].running = 0;
        game->ani[ANI_LOWER].running = 0;
        game->stuck = 0;
        bird->x.value = BIRD_START_X;
        bird->y.value = BIRD_START_Y;
        bird->x.speed = 0;
        bird->y.speed = 0;
        bird->angle.value = 0;
        Int_stop(&game->intpl[INT_BIRD_GRAVITY]);
        // Return can also come while the sign still falls: stop it here, or it
        // keeps gathering speed out of sight and the next sign drops too fast.
        Int_stop(&game->intpl[INT_SIGN_GRAVITY]);
        sign->y.speed = 0;
        sign->y.value = SIGN_PARKED_Y;
        break;

    case STATE_READY:
        Snd_play(&game->snd[SND_READY]);
        break;

    case STATE_DROP:
        Spr_setAni(bird, &game->ani[ANI_DIVE], 0, 1);
        Int_start(&game->intpl[INT_BIRD_GRAVITY]);
        Spr_setAni(grumm, &game->ani[ANI_LIFT], 0, 1);
        bird->x.speed = 0;
        bird->y.speed = 0;
        Snd_play(&game->snd[SND_HEPP]);
        Snd_play(&game->snd[SND_LIFT]);
        break;

    case STATE_SWING:
        Spr_setAni(grumm, &game->ani[ANI_SWING], 0, 1);
        Snd_play(&game->snd[SND_BEAT]);
        break;

    case STATE_FLIGHT:
        Spr_setAni(bird, &game->ani[ANI_FLY], 0, 1);
        Int_start(&game->intpl[INT_BIRD_GRAVITY]);
        Snd_play(&game->snd[SND_HUI]);
        break;

    case STATE_RESULT:
        Int_start(&game->intpl[INT_SIGN_GRAVITY]);
        Int_stop(&game->intpl[INT_BIRD_GRAVITY]);
        bird->angle.value = 0;
        if (game->stuck != 0) {
            bird->y.value = BIRD_STUCK_Y;
        } else {
            bird->y.value = BIRD_LYING_Y;
            Spr_setAni(bird, &game->ani[ANI_LOOK], 0, 1);
        }
        Spr_setAni(grumm, &game->ani[ANI_LOWER], 0, 1);
        sign->y.value = SIGN_DROP_Y;
        sign->x.value = wrap_add(bird->x.value, SIGN_DROP_DX);
        game->lastDistance = fixmul(wrap_sub(BIRD_START_X, bird->x.value), game->distPerPixel);
        if (game->lastDistance > game->bestDistance) {
            game->bestDistance = game->lastDistance;
        }
        break;

    default:
        break;
    }
}

void Game_doGame(GameRecord* game) {
    if (game == nullptr) {
        return;
    }
    Sprite* bird = &game->spr[SPR_BIRD];

    switch (game->state) {
    case STATE_WAIT:
        if (!game->ani[ANI_WAIT].running) {
            Game_setState(game, STATE_READY);
        }
        break;

    case STATE_READY:
        if (actionInput == 1) {
            Game_setState(game, STATE_DROP);
        }
        break;

    case STATE_RESULT:
        if (game->coll[COL_SIGN].hit) {
            Snd_play(&game->snd[SND_BEAT]);
            Int_stop(&game->intpl[INT_SIGN_GRAVITY]);
            game->spr[SPR_SIGN].y.value = SIGN_LANDED_Y;
        }
        if (!game->intpl[INT_SIGN_GRAVITY].running && actionInput == 1) {
            Game_setState(game, STATE_WAIT);
        }
        break;

    case STATE_DROP:
    case STATE_SWING:
    case STATE_FLIGHT:
        if (game->coll[COL_BIRD].hit) {
            groundContact(game, bird);
        }
        if (game->state == STATE_FLIGHT) {
            flight(game, bird);
            break;
        }
        if (game->intpl[INT_BIRD_GRAVITY].running) {
            if (game->state == STATE_DROP) {
                // A press while the club is still going up is lost, not kept.
                if (!game->ani[ANI_LIFT].running && actionInput == 1) {
                    Game_setState(game, STATE_SWING);
                }
            } else if (game->ani[ANI_SWING].frame == SWING_STRIKE_FRAME) {
                strike(game, bird);
            }
        } else if (!game->ani[ANI_SWING].running && !game->ani[ANI_STUCK].running) {
            // A miss: the bird is stuck, and the swing has played out.
            Game_setState(game, STATE_RESULT);
        }
        break;

    default:
        break;
    }
}

void Game_step(GameRecord* game) {
    if (!game) {
        return;
    }
    Spr_doN(game->spr, SPRITE_COUNT);
    Col_doN(game->coll, COLLISION_COUNT);
    Game_doGame(game);
}
