#include "tests/support/engine_surfaces.h"

static constexpr uint32_t RMASK = 0x000000FF;
static constexpr uint32_t GMASK = 0x0000FF00;
static constexpr uint32_t BMASK = 0x00FF0000;
static constexpr uint32_t AMASK = 0xFF000000;

SDL_Surface* Test_makeRgba(int w, int h) {
    SDL_Surface* s =
        SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, w, h, 32, RMASK, GMASK, BMASK, AMASK);
    if (s != nullptr) {
        SDL_FillRect(s, nullptr, 0);
    }
    return s;
}

uint32_t Test_getPixel(SDL_Surface* s, int x, int y) {
    if (s == nullptr || x < 0 || y < 0 || x >= s->w || y >= s->h) {
        return 0;
    }
    SDL_LockSurface(s);
    uint32_t p = 0;
    if (s->pixels != nullptr) {
        p = *reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                               y * s->pitch + x * 4);
    }
    SDL_UnlockSurface(s);
    return p;
}

void Test_fillRows(SDL_Surface* s, int y0, int h, uint32_t rgb) {
    if (s == nullptr) {
        return;
    }
    SDL_Rect r;
    r.x = 0;
    r.y = static_cast<Sint16>(y0);
    r.w = static_cast<Uint16>(s->w);
    r.h = static_cast<Uint16>(h);
    SDL_FillRect(s, &r, (rgb & 0x00FFFFFF) | AMASK);
}

int Test_countColour(SDL_Surface* s, uint32_t rgb) {
    if (s == nullptr) {
        return 0;
    }
    int n = 0;
    for (int y = 0; y < s->h; y++) {
        for (int x = 0; x < s->w; x++) {
            if ((Test_getPixel(s, x, y) & 0x00FFFFFF) == (rgb & 0x00FFFFFF)) {
                n++;
            }
        }
    }
    return n;
}
