#include "platform/startup.h"

#include <SDL/SDL_image.h>
#include <cstdio>
#include <cstdlib>

#include "game/draw.h"
#include "game/game.h"
#include "platform/assets.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/shutdown.h"

// Names the window "Snowpunt" and gives it the game's icon; the window system
// takes both before the window opens, and keeps copies of its own.
static void nameWindow() {
    SDL_WM_SetCaption("Snowpunt", "Snowpunt");
    SDL_Surface* icon = IMG_Load_RW(
        SDL_RWFromConstMem(RES_icon.begin, static_cast<int>(RES_icon.end - RES_icon.begin)), 1);
    // The icon is 32 x 32 with alpha. Its mask has one bit a pixel, four bytes
    // a row, the leftmost pixel in the highest bit: set where the icon is more
    // opaque than clear, so that its clear pixels stay clear.
    if (icon != nullptr && icon->w == 32 && icon->h == 32 && icon->format->BytesPerPixel == 4) {
        uint8_t mask[32 * 4] = {};
        const uint32_t* pixels = static_cast<const uint32_t*>(icon->pixels);
        for (int i = 0; i < 32 * 32; i++) {
            uint8_t r, g, b, a;
            SDL_GetRGBA(pixels[i], icon->format, &r, &g, &b, &a);
            mask[i / 8] |= static_cast<uint8_t>(a >= 128 ? 0x80 >> i % 8 : 0);
        }
        SDL_WM_SetIcon(icon, mask);
    }
    SDL_FreeSurface(icon);
}

// Gamepads: every joystick SDL finds is opened, so that its buttons send
// events (SDL sends them once a joystick is open). Without joystick support
// the game simply has none.
static void openGamepads() {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        return;
    }
    for (int i = 0; i < SDL_NumJoysticks(); i++) {
        SDL_JoystickOpen(i);
    }
}

// Puts a full-screen picture of the start-up on the screen, reporting what
// fails and going on.
static void showPicture(const char* name) {
    bg = load_picture(name);
    if (!bg) {
        printf("Error loading image: %s", SDL_GetError());
    }
    if (SDL_BlitSurface(bg, nullptr, screen, nullptr) < 0) {
        printf("Error blitting image: %s", SDL_GetError());
    }
}

// Starts a start-up picture's 3000 ms, counted from here: the time the flip
// that showed it took is not taken off them, as it is off a frame's.
static void startPicture() {
    flip_time = 0;
    Frame_start();
}

extern "C" int SDL_main(int, char*[]) {
    // Before SDL starts, so that no termination signal is ever lost.
    Shutdown_catchSignals();
    // The window's class, which the desktop entry names too (unless the
    // player's environment names another).
    setenv("SDL_VIDEO_X11_WMCLASS", "snowpunt", 0);
    if (SDL_Init(SDL_INIT_VIDEO) == -1) {
        printf("Could not initialize SDL: %s.\n", SDL_GetError());
        exit(-1);
    }
    // Without a sound device the game plays silently (opening the device reports it). Classic
    // SDL starts its sound without one; SDL 2 under sdl12-compat refuses, and would refuse to
    // start at all if asked for sound and picture together.
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    atexit(SDL_Quit);
    // Registered after SDL_Quit, so it runs first at exit.
    atexit(Shutdown_bound);
    Shutdown_ifRequested();

    nameWindow();
    if (!Display_open()) {
        fprintf(stderr, "Couldn't set %ix%ix32 video mode: %s\n",
                static_cast<int>(theGame.screenWidth), static_cast<int>(theGame.screenHeight),
                SDL_GetError());
        exit(1);
    }
    SDL_EnableUNICODE(1);
    SDL_EnableKeyRepeat(0, 30); // a delay of 0 turns key repeat off
    openGamepads();

    // The promo picture stays up for at least 3000 ms, while the title loads.
    showPicture("promo1.bmp");
    Display_update();
    startPicture();
    SDL_FreeSurface(bg);
    showPicture("ti.bmp");
    Frame_end(3000);

    // The title stays up for at least 3000 ms, while everything else loads.
    startPicture();
    SDL_FreeSurface(bg);
    bg = nullptr;
    if (init_Audio(&theGame)) {
        load_sounds(theGame.snd, sounds, SOUND_COUNT);
        SDL_PauseAudio(0);
    }
    load_scene();
    Frame_end(3000);

    Game_setState(&theGame, STATE_WAIT);
    Game_loop(&theGame);

    // The device is closed before the sounds are released, so the audio
    // thread can never mix released data.
    Shutdown_bound();
    close_Audio();
    unload_sounds(theGame.snd, SOUND_COUNT);
    SDL_Quit();
    return 0;
}
