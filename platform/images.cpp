#include <SDL/SDL_image.h>
#include <cstdio>

#include "platform/platform.h"
#include "platform/assets.h"

// Flags of the strips: alpha blending, and run-length acceleration for all
// but the two strips the game turns and stretches (the bird in flight and
// the scratch mark), which are read pixel by pixel when drawn turned.
constexpr uint32_t ALPHA = SDL_SRCALPHA;
constexpr uint32_t ALPHA_RLE = SDL_SRCALPHA | SDL_RLEACCEL;
static_assert(ALPHA_RLE == 0x00014000);

ImageEntry sprtbl[IMAGE_COUNT] = {
    {"fly.png", ALPHA, 0x00FF0000, 21, nullptr, {0, 0, 0, 0}},
    {"font.png", ALPHA_RLE, 0x00FF0000, 11, nullptr, {0, 0, 0, 0}},
    {"ice.png", ALPHA_RLE, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
    {"look.png", ALPHA_RLE, 0x00FF0000, 6, nullptr, {0, 0, 0, 0}},
    {"prepjump.png", ALPHA_RLE, 0x00FF0000, 33, nullptr, {0, 0, 0, 0}},
    {"rock.png", ALPHA_RLE, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
    {"scratch.png", ALPHA, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
    {"sfont.png", ALPHA_RLE, 0x00FF0000, 6, nullptr, {0, 0, 0, 0}},
    {"shadow.png", ALPHA_RLE, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
    {"sign.png", ALPHA_RLE, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
    {"ssign.png", ALPHA_RLE, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
    {"stick.png", ALPHA_RLE, 0x00FF0000, 6, nullptr, {0, 0, 0, 0}},
    {"stree.png", ALPHA_RLE, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
    {"TOP.png", ALPHA_RLE, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
    {"tree.png", ALPHA_RLE, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
    {"grumm.png", ALPHA_RLE, 0x00FF0000, 31, nullptr, {0, 0, 0, 0}},
    {"signshad.png", ALPHA_RLE, 0x00FF0000, 1, nullptr, {0, 0, 0, 0}},
};

SDL_Surface* tmp = nullptr;

void load_sprites(ImageEntry* table, uint16_t count) {
    if (!table || count == 0)
        return;
    for (uint16_t i = 0; i < count; i++) {
        ImageEntry* row = &table[i];
        // The decoder leaves the stream open; closing it frees only the
        // stream object, never the asset bytes it reads.
        SDL_RWops* stream = RES_toSDL_RWops(row->fileName);
        tmp = IMG_Load_RW(stream, 0);
        if (stream)
            SDL_RWclose(stream);
        if (!tmp) {
            printf("Error loading title image %s: %s!\n", row->fileName, SDL_GetError());
            continue;
        }
        SDL_SetAlpha(tmp, row->surfaceFlags, 255);
        SDL_Surface* converted = SDL_DisplayFormatAlpha(tmp);
        SDL_FreeSurface(tmp);
        tmp = nullptr;
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
