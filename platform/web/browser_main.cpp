// The game's entry in a web page: what the browser's SDL 1.2 does otherwise
// than a desktop's, met before the same start-up, loop and end run.
//
// - Its screen is a canvas, and whatever is drawn on a canvas in the page
//   shows as soon as the browser gets its turn, not at the flip. So the
//   game's 640 x 480 screen is a canvas off the page, and the flip hands it
//   to the page (page.js), which shows it scaled on the page's own canvas.
// - The browser shows a frame, and hears a key, only when it gets its turn:
//   a frame that overran, and so did not sleep, still gives it that turn at
//   the flip.
// - Its clock counts whole milliseconds of the wall clock and its sleep is
//   the browser's timer, which wakes late: the frames are paced by the
//   page's fine clock, and each sleep asks for less by what the timer has
//   lately overslept.
// - Its sound device hands the mixer the buffer it played last, not silence;
//   and before the player's first touch of the page, the browser keeps it
//   from playing and from asking for more.
// - Gamepads show only once a button of theirs is pressed in the page, and
//   are polled only if joysticks were started with SDL itself.
#include <SDL/SDL.h>
#include <cstring>
#include <emscripten.h>

#include "platform/audio.h"
#include "platform/main_loop.h"
#include "platform/startup.h"

// The page shows the screen as it is now (page.js).
EM_JS(void, pagePresent, (), { Module['present'](); });
// Whether the browser lets the sound device play yet.
EM_JS(int, soundAllowed, (),
      { return SDL.audioContext ? (SDL.audioContext.state == 'running' ? 1 : 0) : 1; });

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

// Before the player's first touch the browser holds the sound back, and the
// device stops asking for buffers once a few are queued. The sounds started
// meanwhile are mixed here at the pace they would have played, and go
// unheard, so that none is heard late and out of its moment. `mixedTo`: the
// time (ms) up to which they are.
static double mixedTo = -1;

static void soundWhileHeldBack(double now) {
    if (hardware_spec == nullptr || soundAllowed()) {
        mixedTo = -1;
        return;
    }
    static uint8_t unheard[8192];
    const uint32_t bytes = hardware_spec->samples * hardware_spec->channels *
                           SDL_AUDIO_BITSIZE(hardware_spec->format) / 8;
    const double span = 1000.0 * hardware_spec->samples / hardware_spec->freq;
    if (mixedTo < 0) {
        mixedTo = now;
    }
    for (; mixedTo + span <= now && bytes <= sizeof unheard; mixedTo += span) {
        memset(unheard, hardware_spec->silence, bytes);
        my_audio_callback(hardware_spec->userdata, unheard, static_cast<int>(bytes));
    }
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

static void pageDelay(uint32_t ms) {
    const double begun = emscripten_get_now();
    const double wanted = ms - overslept + owed;
    const unsigned request = wanted > 0.5 ? static_cast<unsigned>(wanted + 0.5) : 0;
    owed = wanted > 0.5 ? wanted - request : 0;
    emscripten_sleep(request);
    const double late = emscripten_get_now() - begun - request;
    // A sleep far past its time (a tab in the background) says nothing of
    // the timer in front, and is not learned from.
    if (late < 8) {
        overslept += (late - overslept) / 16;
    }
    slept = true;
}

extern "C" {

// The flip shows the frame: the page copies the screen onto its canvas, and
// the browser gets its turn if the frame has not slept. Sound held back
// meanwhile is kept up with once a frame, slept or not.
int SDL_Flip(SDL_Surface*) {
    pagePresent();
    soundWhileHeldBack(emscripten_get_now());
    if (!slept) {
        emscripten_sleep(0);
    }
    slept = false;
    return 0;
}

// The browser's SDL starts nothing after SDL_Init, and polls the gamepads'
// buttons only when joysticks were among what it was started with: a
// subsystem started later is noted as if it had been.
int SDL_InitSubSystem(Uint32 flags) {
    EM_ASM({ SDL.initFlags |= $0; }, flags);
    return 0;
}

// Start-up's promo is shown by updating the whole screen.
void SDL_UpdateRect(SDL_Surface*, Sint32, Sint32, Uint32, Uint32) {
    pagePresent();
}
}

// The browser's device hands back its last buffer: silence first, as a
// desktop's device hands it over.
static void silenceThenMix(void* userdata, uint8_t* stream, int len) {
    if (stream != nullptr && len > 0) {
        memset(stream, hardware_spec != nullptr ? hardware_spec->silence : 0,
               static_cast<size_t>(len));
    }
    my_audio_callback(userdata, stream, len);
}

int main(int argc, char* argv[]) {
    EM_ASM({
        window.addEventListener(
            'gamepadconnected', function() { _Web_gamepadConnected(); });
    });
    Frame_getTicks = pageTicks;
    Frame_delay = pageDelay;
    Audio_deviceCallback = silenceThenMix;
    SDL_main(argc, argv);
    return 0;
}
