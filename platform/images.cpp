#include "platform/images.h"

#include <SDL/SDL_image.h>
#include <cstdio>

#include "game/draw.h"
#include "platform/assets.h"

// Decoders leave their stream open; closing it frees only the stream object,
// never the asset bytes it reads.
SDL_Surface* load_picture(const char* name) {
    SDL_RWops* stream = RES_toSDL_RWops(name);
    SDL_Surface* picture = SDL_LoadBMP_RW(stream, 0);
    if (stream) {
        SDL_RWclose(stream);
    }
    return picture;
}

void load_sprites(ImageEntry* table, uint16_t count) {
    if (!table || count == 0) {
        return;
    }
    for (uint16_t i = 0; i < count; i++) {
        ImageEntry* row = &table[i];
        SDL_RWops* stream = RES_toSDL_RWops(row->fileName);
        SDL_Surface* decoded = IMG_Load_RW(stream, 0);
        if (stream) {
            SDL_RWclose(stream);
        }
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
        row->frameRect.x = 0;
        row->frameRect.y = 0;
        row->frameRect.w = static_cast<uint16_t>(converted->w);
        // A zero frame count would be a fault of the table; take it as one frame.
        int32_t frames = row->frameCount ? row->frameCount : 1;
        row->frameRect.h = static_cast<uint16_t>(static_cast<int32_t>(converted->h) / frames);
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
