// The main loop: input, the game's fixed step, drawing, and frame pacing.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

#include "game/game.h"

// The event record the main loop polls into.
extern SDL_Event event;
// Tick count (ms) at the start of the current frame.
extern uint32_t start_time;
// Tick count (ms) at the end of the current frame's work, its composing onto
// the display included.
extern uint32_t end_time;
// After Frame_end: what was left of the target after the frame's work and
// the flip before it; zero or less when the frame overran.
extern int32_t delta_time;
// How long (ms) the last flip made by Frame_end took; the next frame's wait
// is that much shorter.
extern uint32_t flip_time;

// The clock and the sleep of the frame pacing; tests replace them.
extern uint32_t (*Frame_getTicks)();
extern void (*Frame_delay)(uint32_t ms);

void Frame_start();
// Composes the frame onto the display, sleeps out what is left of target ms
// since Frame_start less the time the last flip took, then flips; ends the
// process with status 0 if a termination signal came.
void Frame_end(uint32_t target);

// One frame's handling of one polled event: Space, the left mouse button or
// any gamepad button released is the player's action, Return restarts the
// throw, F11 or Alt+Return switches between window and fullscreen, a resized
// window gets a display of its new size. Returns 1 when the loop must end
// (Escape released); a closed window ends the process.
uint8_t Game_handleEvent(GameRecord* game, const SDL_Event* e);
// Runs frames until Escape.
void Game_loop(GameRecord* game);
