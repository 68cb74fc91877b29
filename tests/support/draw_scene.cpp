#include "tests/support/draw_scene.h"

#include <cstdio>
#include <cstdlib>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "tests/support/test_env.h"

namespace {

// The strips and the background picture, made once for the whole test program.
bool stripsMade = false;
SDL_Surface* background = nullptr;
// The last screen made by DrawTest_useScreen.
SDL_Surface* testScreen = nullptr;

SDL_Surface* makeStrip(uint16_t row) {
    const Test_Strip& z = Test_strips[row];
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, z.w, z.frameH * z.frames,
                                          32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    if (s == nullptr) {
        return nullptr;
    }
    for (int k = 0; k < z.frames; ++k) {
        const uint32_t c = DrawTest_colour(row, static_cast<uint16_t>(k));
        SDL_Rect r = {0, static_cast<Sint16>(k * z.frameH), static_cast<Uint16>(z.w),
                      static_cast<Uint16>(z.frameH)};
        SDL_FillRect(s, &r, SDL_MapRGBA(s->format, c >> 16, (c >> 8) & 0xFF, c & 0xFF, 255));
    }
    SDL_SetAlpha(s, SDL_SRCALPHA, 255);
    return s;
}

} // namespace

uint32_t DrawTest_colour(uint16_t row, uint16_t frame) {
    // Red tells the strip, green the frame: steps far wider than the
    // tolerance of DrawTest_same.
    const uint32_t r = 40 + row * 12u;
    const uint32_t g = 20 + frame * 7u;
    const uint32_t b = 128;
    return (r << 16) | (g << 8) | b;
}

void DrawTest_buildScene() {
    if (!stripsMade) {
        for (uint16_t i = 0; i < IMAGE_COUNT; ++i) {
            sprtbl[i].surface = makeStrip(i);
            if (sprtbl[i].surface == nullptr) {
                fprintf(stderr, "cannot make a test strip\n");
                abort();
            }
            sprtbl[i].frameRect = {0, 0, Test_strips[i].w, Test_strips[i].frameH};
        }
        background = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0x00FF0000, 0x0000FF00,
                                          0x000000FF, 0);
        SDL_FillRect(background, nullptr, DRAWTEST_BG);
        stripsMade = true;
    }
    bg = background;
    Game_init();
    Game_setState(&theGame, STATE_WAIT);
    fflush(stdout);
}

SDL_Surface* DrawTest_useScreen(int w, int h) {
    if (testScreen != nullptr) {
        SDL_FreeSurface(testScreen);
    }
    testScreen =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    screen = testScreen;
    return testScreen;
}

SDL_Surface* DrawTest_background() {
    return background;
}

uint32_t DrawTest_pixel(SDL_Surface* s, int x, int y) {
    if (s == nullptr || x < 0 || y < 0 || x >= s->w || y >= s->h) {
        return 0xFFFFFFFF;
    }
    const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    const uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
    uint8_t r, g, b;
    SDL_GetRGB(p, s->format, &r, &g, &b);
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | b;
}

bool DrawTest_same(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d < -3 || d > 3) {
            return false;
        }
    }
    return (a >> 24) == (b >> 24);
}

int DrawTest_count(SDL_Surface* s, uint32_t rgb) {
    int n = 0;
    for (int y = 0; y < s->h; ++y) {
        for (int x = 0; x < s->w; ++x) {
            if (DrawTest_same(DrawTest_pixel(s, x, y), rgb)) {
                ++n;
            }
        }
    }
    return n;
}

std::vector<DrawTest_Run> DrawTest_runs(SDL_Surface* s, int y, int x0, int x1) {
    std::vector<DrawTest_Run> runs;
    for (int x = x0; x <= x1; ++x) {
        const uint32_t c = DrawTest_pixel(s, x, y);
        if (!runs.empty() && runs.back().last == x - 1 && DrawTest_same(runs.back().colour, c)) {
            runs.back().last = x;
        } else {
            runs.push_back({x, x, c});
        }
    }
    return runs;
}
