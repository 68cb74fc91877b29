// Runs the real main loop on a fake clock, feeding it a script of events
// frame by frame through SDL's own event queue.
#pragma once

#include <SDL/SDL.h>
#include <functional>
#include <vector>

#include "game/game.h"
#include "platform/main_loop.h"

SDL_Event Test_keyUp(SDLKey key);
SDL_Event Test_keyDown(SDLKey key);
SDL_Event Test_buttonUp(uint8_t button);
SDL_Event Test_buttonDown(uint8_t button);

// The clock stands still unless a test moves it; every requested sleep is
// recorded and moves the clock on by its length.
struct Test_Clock {
    uint32_t now = 100000;
    std::vector<uint32_t> sleeps;
    // Called after each sleep, with its length.
    std::function<void(uint32_t)> onSleep;
    // Called before each reading of the clock, with the number of readings so far.
    std::function<void(int)> onRead;
    int reads = 0;
};
extern Test_Clock* Test_clock;
void Test_useFakeClock(Test_Clock* clock); // null restores SDL's clock

// Frames the game loop ran until Escape, with what the frame's rules saw:
// the queued events of script[i] are polled in frame i; after each frame
// `observe` runs, and Escape follows the last scripted frame.
void Test_runLoop(GameRecord* game, const std::vector<std::vector<SDL_Event>>& script,
                  const std::function<void(int frame)>& observe);
