// Start-up and shutdown, the game record and the scene's tables, image
// loading, and the audio device with its mixer.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

#include "game/game.h"

// One row of the image table: a sprite strip and, once loaded, its surface.
struct ImageEntry {
    const char* fileName;  // asset name the strip is opened by
    uint32_t surfaceFlags; // handed to SDL_SetAlpha before conversion
    uint32_t reserved;     // 0x00FF0000 in every row; unused
    uint16_t frameCount;   // frames stacked vertically in the strip
    SDL_Surface* surface;  // the strip in display format with alpha, or null
    SDL_Rect frameRect;    // frame 0 inside surface, zero until loaded
};

// Rows of the image table.
enum : uint16_t {
    IMG_FLY = 0,
    IMG_FONT = 1,
    IMG_ICE = 2,
    IMG_LOOK = 3,
    IMG_PREPJUMP = 4,
    IMG_ROCK = 5,
    IMG_SCRATCH = 6,
    IMG_SFONT = 7,
    IMG_SHADOW = 8,
    IMG_SIGN = 9,
    IMG_SSIGN = 10,
    IMG_STICK = 11,
    IMG_STREE = 12,
    IMG_TOP = 13,
    IMG_TREE = 14,
    IMG_GRUMM = 15,
    IMG_SIGNSHAD = 16,
};

// The game record of the one game.
extern GameRecord theGame;

// The scene: sprites, animations, interpolations, collision tests and their areas.
extern Sprite spr[SPRITE_COUNT];
extern Animation ani[ANIMATION_COUNT];
extern Interpolation intpl[INTERPOLATION_COUNT];
extern Collision coll[COLLISION_COUNT];
extern CollisionArea ca[COLLISION_COUNT];

// The sprite strips.
extern ImageEntry sprtbl[IMAGE_COUNT];
// A decoded image between its decoding and its conversion.
extern SDL_Surface* tmp;
// The promo and title pictures during start-up, then the game's background.
extern SDL_Surface* bg;

// The six sounds, their asset names, and the format the device delivers.
extern SoundEntry snd[SOUND_COUNT];
extern const char* const sounds[SOUND_COUNT];
extern SDL_AudioSpec* hardware_spec;

void init_sprites();
void init_animations();
void init_interpolations();
void init_collisions();
void Game_init();

void load_sprites(ImageEntry* table, uint16_t count);

// Start-up's loading after the sounds: the sprite strips, the game record
// with the scene built from them, and the background made opaque in the
// display's format (bg stays null when "bg.bmp" cannot be decoded). Needs
// the video mode set and RES_init done.
void load_scene();

uint8_t init_Audio(void* userdata);
void load_sounds(SoundEntry* sounds, const char* const* names, uint16_t count);
void unload_sounds(SoundEntry* sounds, uint16_t count);
void my_audio_callback(void* userdata, uint8_t* stream, int len);
// Closes the audio device if it is open and forgets its format; after it the
// callback no longer runs, so the sounds can be released safely.
void close_Audio();

// The call that opens the window; tests replace it to stand for a display
// that cannot give the mode.
extern SDL_Surface* (*Startup_setVideoMode)(int width, int height, int bpp, uint32_t flags);

// The program: start-up, the main loop and the orderly end.
extern "C" int SDL_main(int argc, char* argv[]);
