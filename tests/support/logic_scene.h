// A scene for the game-logic tests: the image table filled with blank strips
// of the real sizes, the tables built, the record fresh, and frames run the
// way the main loop runs them, with scripted presses and a scripted random
// source.
#pragma once

#include <cstdint>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"

// Values Logic_rand hands out, in turn; the last one repeats.
struct Logic_RandScript {
    int values[4];
    int count;
    int calls; // how many times Logic_rand has been called
};
extern Logic_RandScript Logic_randScript;
int Logic_rand();

// Builds the scene and the record as start-up does (strips, Game_init,
// state 0), with every animation stopped, lastDistance 0, no sound marked
// playing, and Game_rand giving 127 (a speed factor of exactly 1).
void Logic_newGame();

// One frame: actionInput set for this frame only, then the fixed step.
void Logic_frame(uint8_t press = 0);

// From a fresh game: waits out state 0, presses once, and returns with the
// game in state 2, on the frame the bird left the ice (frame 0 of the fall).
void Logic_startDrop();

// Runs frames until the state changes or `limit` frames have passed; returns
// how many frames ran (the state changed in the last one, unless limit).
int Logic_runUntilStateChange(int limit);

// The frame of the fall (counted after the frame in which state 2 was
// entered) on which a press is given in state 2; presses nothing else.
// Returns the fall frame in which the game entered state 4, or 0 if the
// bird was never struck within `limit` frames.
int Logic_throwWithSecondPress(int pressFrame, int limit = 120);

// Sound i was started (since the last Logic_clearSounds).
bool Logic_played(uint16_t sound);
void Logic_clearSounds();
