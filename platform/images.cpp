#include "platform/images.h"

#include <SDL/SDL_image.h>
#include <cstdio>

#include "game/draw.h"
#include "platform/assets.h"

// The decoders close the stream (1): that frees only the stream object, never
// the asset bytes it reads; a missing asset's null stream decodes to nothing.
SDL_Surface* load_picture(const char* name) {
    return SDL_LoadBMP_RW(RES_toSDL_RWops(name), 1);
}

void load_sprites(ImageEntry* table, uint16_t count) {
    if (!table) {
        return;
    }
    for (uint16_t i = 0; i < count; i++) {
        ImageEntry* row = &table[i];
        SDL_Surface* decoded = IMG_Load_RW(RES_toSDL_RWops(row->fileName), 1);
        if (!decoded) {
            printf("Error loading title image %s: %s!\n", row->fileName, SDL_GetError());
            continue;
        }
        SDL_SetAlpha(decoded, row->surfaceFlags, 255);
        SDL_Surface* converted = SDL_DisplayFormatAlpha(decoded);
        SDL_FreeSurface(decoded);
        if (!converted) {
            // The row stays as if its strip had failed to load.
            printf("Error converting image %s: %s!\n", row->fileName, SDL_GetError());
            continue;
        }
        row->surface = converted;
        row->frameRect = {0, 0, static_cast<uint16_t>(converted->w),
                          static_cast<uint16_t>(converted->h / row->frameCount)};
    }
}

void load_scene() {
    load_sprites(sprtbl, IMAGE_COUNT);
    Game_init();

    SDL_Surface* decoded = load_picture("bg.bmp");
    if (!decoded) {
        puts("Error loading bg image!");
        return;
    }
    // Opaque: no colour key (SDL_SRCCOLORKEY is not among the flags).
    SDL_SetColorKey(decoded, SDL_RLEACCEL, 0);
    bg = SDL_DisplayFormat(decoded);
    SDL_FreeSurface(decoded);
}
