// The game's entry in a web page: what the browser's SDL 1.2 does otherwise
// than a desktop's, met before the same start-up, loop and end run, through
// the hooks they leave for it (the clock, the sleep, what follows a flip).
//
// - Its screen is a canvas, and whatever is drawn on a canvas in the page
//   shows as soon as the browser gets its turn, not at the flip. So the
//   game's 640 x 480 screen is a canvas off the page, and once a frame is
//   flipped the page (page.js) shows it scaled on its own canvas.
// - The browser shows a frame, and hears a key, only when it gets its turn:
//   a frame that overran, and so did not sleep, still gives it that turn at
//   the flip.
// - Its clock counts whole milliseconds of the wall clock and its sleep is
//   the browser's timer, which wakes late: the frames are paced by the
//   page's fine clock, and each sleep asks for less by what the timer has
//   lately overslept.
// - The sound device is the page's own (web_sound.cpp): the game's mixer
//   on the page's sound thread, handed each sound as the game starts it.
//   Where the page has no sound thread, it is fed before each sleep, every
//   few milliseconds of it and after each flip, so that a sound is heard
//   with its frame.
// - Gamepads show only once a button of theirs is pressed in the page, and
//   are polled only if joysticks were started with SDL itself.
#include <SDL/SDL.h>
#include <cstring>
#include <emscripten.h>

#include "platform/display.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "platform/web/web_sound.h"

// The page shows the screen as it is now (page.js).
EM_JS(void, pagePresent, (), { Module['present'](); });

// A gamepad has shown itself (the browser lists one only once a button of
// it is pressed in the page): every one listed and not yet open is opened.
extern "C" EMSCRIPTEN_KEEPALIVE void Web_gamepadConnected() {
    for (int i = 0; i < SDL_NumJoysticks(); i++) {
        if (!SDL_JoystickOpened(i)) {
            SDL_JoystickOpen(i);
        }
    }
}

// The page's clock: performance.now(), whole milliseconds since the page
// opened, as the desktop's SDL_GetTicks counts them since SDL started.
static uint32_t pageTicks() {
    return static_cast<uint32_t>(emscripten_get_now());
}

// How much later than asked the browser's timer has woken, lately (ms, a
// running mean over about 16 sleeps): each sleep asks for that much less.
static double overslept = 0;
// The timer takes whole milliseconds: what a sleep asked for beyond the
// whole number it could ask is owed to the next sleep (less than 1 ms either
// way), so that on average the sleeps last what was asked.
static double owed = 0;
// Whether the frame has slept.
static bool slept;

// The sound, where the page feeds it, is fed at least this often while the
// page sleeps (ms): the browser plays only a little of it ahead, and a frame
// is mostly its sleep.
constexpr double FEED_EVERY_MS = 5;

static void pageDelay(uint32_t ms) {
    // The frame's sounds are started: they are mixed before the sleep.
    const double begun = emscripten_get_now();
    const bool feeding = WebSound_feed(begun);
    const double wanted = ms - overslept + owed;
    const unsigned request = wanted > 0.5 ? static_cast<unsigned>(wanted + 0.5) : 0;
    owed = wanted > 0.5 ? wanted - request : 0;
    // Where the sound is fed, slept in pieces that end by the clock, so that
    // only the last one's lateness counts.
    double left = request;
    while (feeding && left >= 2 * FEED_EVERY_MS) {
        emscripten_sleep(static_cast<unsigned>(FEED_EVERY_MS));
        WebSound_feed(emscripten_get_now());
        left = begun + request - emscripten_get_now();
    }
    emscripten_sleep(left > 0.5 ? static_cast<unsigned>(left + 0.5) : 0);
    const double late = emscripten_get_now() - begun - request;
    // A sleep far past its time (a tab in the background) says nothing of
    // the timer in front, and is not learned from.
    if (late < 8) {
        overslept += (late - overslept) / 16;
    }
    slept = true;
}

// A frame or start-up picture has been handed to SDL: the page copies the
// screen onto its canvas, the sound is fed, and the browser gets its turn if
// the frame has not slept.
static void pageShown() {
    pagePresent();
    WebSound_feed(emscripten_get_now());
    if (!slept) {
        emscripten_sleep(0);
    }
    slept = false;
}

int main(int argc, char* argv[]) {
    EM_ASM({
        window.addEventListener(
            'gamepadconnected', function() { _Web_gamepadConnected(); });
    });
    Frame_getTicks = pageTicks;
    Frame_delay = pageDelay;
    Display_shown = pageShown;
    SDL_main(argc, argv);
    return 0;
}
