#include "tests/support/test_frames.h"

Test_Clock* Test_clock = nullptr;

static uint32_t fake_ticks() {
    if (Test_clock->onRead) {
        Test_clock->onRead(Test_clock->reads);
    }
    Test_clock->reads++;
    return Test_clock->now;
}
static void fake_sleep(uint32_t ms) {
    Test_clock->sleeps.push_back(ms);
    Test_clock->now += ms;
    if (Test_clock->onSleep) {
        Test_clock->onSleep(ms);
    }
}

static uint32_t sdl_ticks() {
    return SDL_GetTicks();
}
static void sdl_sleep(uint32_t ms) {
    SDL_Delay(ms);
}

void Test_useFakeClock(Test_Clock* clock) {
    Test_clock = clock;
    Frame_getTicks = clock ? fake_ticks : sdl_ticks;
    Frame_delay = clock ? fake_sleep : sdl_sleep;
}

SDL_Event Test_keyUp(SDLKey key) {
    SDL_Event e{};
    e.type = e.key.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    e.key.keysym.sym = key;
    return e;
}

SDL_Event Test_keyDown(SDLKey key) {
    SDL_Event e = Test_keyUp(key);
    e.type = e.key.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    return e;
}

SDL_Event Test_buttonUp(uint8_t button) {
    SDL_Event e{};
    e.type = e.button.type = SDL_MOUSEBUTTONUP;
    e.button.state = SDL_RELEASED;
    e.button.button = button;
    return e;
}

SDL_Event Test_buttonDown(uint8_t button) {
    SDL_Event e = Test_buttonUp(button);
    e.type = e.button.type = SDL_MOUSEBUTTONDOWN;
    e.button.state = SDL_PRESSED;
    return e;
}

static void push_all(const std::vector<SDL_Event>& events) {
    for (SDL_Event e : events) {
        SDL_PushEvent(&e);
    }
}

void Test_runLoop(GameRecord* game, const std::vector<std::vector<SDL_Event>>& script,
                  const std::function<void(int frame)>& observe) {
    Test_Clock clock;
    int frame = 0;
    // The clock stands still, so every frame sleeps its whole 16 ms; the
    // end of a frame is where the next frame's events are queued.
    clock.onSleep = [&](uint32_t) {
        if (observe) {
            observe(frame);
        }
        frame++;
        if (size_t(frame) < script.size()) {
            push_all(script[frame]);
        } else {
            SDL_Event escape = Test_keyUp(SDLK_ESCAPE);
            SDL_PushEvent(&escape);
        }
    };
    Test_useFakeClock(&clock);
    if (!script.empty()) {
        push_all(script[0]);
    } else {
        SDL_Event escape = Test_keyUp(SDLK_ESCAPE);
        SDL_PushEvent(&escape);
    }
    Game_loop(game);
    Test_useFakeClock(nullptr);
}
