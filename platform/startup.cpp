#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/assets.h"

SDL_Surface* bg = nullptr;

static SDL_Surface* set_video_mode(int width, int height, int bpp, uint32_t flags) {
    return SDL_SetVideoMode(width, height, bpp, flags);
}
SDL_Surface* (*Startup_setVideoMode)(int, int, int, uint32_t) = set_video_mode;

// Decodes a full-screen picture. The stream is closed after decoding: that
// frees the stream object only, never the asset bytes it reads.
static SDL_Surface* load_picture(const char* name) {
    SDL_RWops* stream = RES_toSDL_RWops(name);
    SDL_Surface* picture = SDL_LoadBMP_RW(stream, 0);
    if (stream)
        SDL_RWclose(stream);
    return picture;
}

// Puts a full-screen picture of the start-up on the screen, reporting what
// fails and going on.
static void show_picture(const char* name) {
    bg = load_picture(name);
    if (!bg)
        printf("Error loading image: %s", SDL_GetError());
    if (SDL_BlitSurface(bg, nullptr, screen, nullptr) < 0)
        printf("Error blitting image: %s", SDL_GetError());
}

void load_scene() {
    load_sprites(sprtbl, IMAGE_COUNT);
    Game_init();

    tmp = load_picture("bg.bmp");
    if (!tmp) {
        puts("Error loading bg image!");
        return;
    }
    // Opaque: no colour key (SDL_SRCCOLORKEY is not among the flags).
    SDL_SetColorKey(tmp, SDL_RLEACCEL, 0);
    bg = SDL_DisplayFormat(tmp);
    SDL_FreeSurface(tmp);
    tmp = nullptr;
}

extern "C" int SDL_main(int, char*[]) {
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) == -1) {
        printf("Could not initialize SDL: %s.\n", SDL_GetError());
        exit(-1);
    }
    atexit(SDL_Quit);

    // Depth 0: the display's own depth.
    screen = Startup_setVideoMode(640, 480, 0, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (!screen) {
        fprintf(stderr, "Couldn't set %ix%ix32 video mode: %s\n",
                static_cast<int>(theGame.screenWidth), static_cast<int>(theGame.screenHeight),
                SDL_GetError());
        exit(1);
    }
    SDL_EnableUNICODE(1);
    SDL_EnableKeyRepeat(0, 30); // a delay of 0 turns key repeat off
    RES_init();

    // The promo picture stays up for at least 3000 ms, while the title loads.
    show_picture("promo1.bmp");
    SDL_UpdateRect(screen, 0, 0, 0, 0);
    Frame_start();
    SDL_FreeSurface(bg);
    show_picture("ti.bmp");
    Frame_end(3000);

    // The title stays up for at least 3000 ms, while everything else loads.
    Frame_start();
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
    close_Audio();
    unload_sounds(theGame.snd, SOUND_COUNT);
    SDL_Quit();
    return 0;
}
