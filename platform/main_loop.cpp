#include "platform/main_loop.h"

#include <cstdlib>
#include <ctime>

#include "game/draw.h"
#include "platform/display.h"
#include "platform/shutdown.h"

SDL_Event event;
uint32_t start_time;
uint32_t end_time;
int32_t delta_time;
uint32_t flip_time;

static uint32_t ticks() {
    return SDL_GetTicks();
}
static void delay(uint32_t ms) {
    SDL_Delay(ms);
}

// Return went down with Alt held: its release switches the display.
static uint8_t altReturn;

uint32_t (*Frame_getTicks)() = ticks;
void (*Frame_delay)(uint32_t ms) = delay;

void Frame_start() {
    start_time = Frame_getTicks();
}

void Frame_end(uint32_t target) {
    // Scaling the picture onto a large display is the frame's work too.
    Display_compose();
    end_time = Frame_getTicks();
    // The last flip took its time from this frame's target: each frame's
    // target then runs from the start of the flip before it, so that flips
    // come a target apart however long showing a frame takes, and a frame
    // after a late one still gets its whole target.
    delta_time = static_cast<int32_t>(target) - static_cast<int32_t>(end_time - start_time) -
                 static_cast<int32_t>(flip_time);
    if (delta_time > 0) {
        Frame_delay(static_cast<uint32_t>(delta_time));
    }
    const uint32_t flipped = Frame_getTicks();
    Display_send();
    flip_time = Frame_getTicks() - flipped;
    // A termination signal ends the game here, after the frame or start-up
    // picture it came during.
    Shutdown_ifRequested();
}

uint8_t Game_handleEvent(GameRecord* game, const SDL_Event* e) {
    if (!e) {
        return 0;
    }
    switch (e->type) {
    case SDL_MOUSEBUTTONUP:
        if (e->button.button == SDL_BUTTON_LEFT) {
            actionInput = 1;
        }
        break;
    case SDL_KEYDOWN:
        if (e->key.keysym.sym == SDLK_RETURN) {
            altReturn = (e->key.keysym.mod & KMOD_ALT) != 0;
        }
        break;
    case SDL_KEYUP:
        switch (e->key.keysym.sym) {
        case SDLK_ESCAPE:
            return 1;
        case SDLK_RETURN:
            // Alt+Return switches the display, whichever key is let go first.
            if (altReturn || (e->key.keysym.mod & KMOD_ALT) != 0) {
                Display_toggleFullscreen();
            } else {
                Game_setState(game, STATE_WAIT);
            }
            break;
        case SDLK_SPACE:
            actionInput = 1;
            break;
        case SDLK_F11:
            Display_toggleFullscreen();
            break;
        default:
            break;
        }
        break;
    case SDL_JOYBUTTONUP:
        // Any gamepad button does what Space does.
        actionInput = 1;
        break;
    case SDL_VIDEORESIZE:
        Display_resize(e->resize.w, e->resize.h);
        break;
    case SDL_QUIT:
        // A closed window ends the process at once; SDL_Quit runs at exit.
        exit(0);
    default:
        break;
    }
    return 0;
}

void Game_loop(GameRecord* game) {
    if (!game) {
        return;
    }
    srand(static_cast<unsigned>(time(nullptr)));
    for (;;) {
        Frame_start();
        actionInput = 0;
        while (SDL_PollEvent(&event)) {
            // Escape leaves at once: later events and the rest of the frame are dropped.
            if (Game_handleEvent(game, &event)) {
                return;
            }
        }
        Game_step(game);
        Game_draw(game);
        Frame_end(16);
    }
}
