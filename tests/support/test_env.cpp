#include "tests/support/test_env.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <strings.h>
#include <unistd.h>

// Every test program runs headless: SDL's dummy drivers, unless the
// environment asks for others.
static const int headless =
    setenv("SDL_VIDEODRIVER", "dummy", 0) | setenv("SDL_AUDIODRIVER", "dummy", 0);

// A test program the game ends during a test (a stray exit) fails instead of
// passing with the game's status; a death test's child may end. The test
// record is made first, so that it is still there when this runs.
static const pid_t testProcess = getpid();
static const int watched =
    (testing::UnitTest::GetInstance(), atexit([] {
         if (getpid() == testProcess && testing::UnitTest::GetInstance()->current_test_info()) {
             fputs("the test program ended before its tests were done\n", stderr);
             _exit(1);
         }
     }));

SDL_Surface* Test_makeScreen(int w) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, 480, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

uint32_t Test_pixel(SDL_Surface* s, int x, int y) {
    if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) {
        return 0xFFFFFFFFu;
    }
    SDL_LockSurface(s);
    uint32_t v = static_cast<const uint32_t*>(s->pixels)[y * s->pitch / 4 + x];
    SDL_UnlockSurface(s);
    uint8_t r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return uint32_t(r) << 16 | g << 8 | b;
}

const Test_Strip Test_strips[IMAGE_COUNT] = {
#define STRIP(id, name, width, frameHeight, frames, flags) {name, width, frameHeight, frames},
#include "game/catalogue.def"
};

const AssetCatalogue* Test_catalogue(const char* name, const char* bytes, size_t size) {
    static Asset assets[64];
    static AssetCatalogue catalogue;
    uint16_t n = 0;
    const uint8_t* b = reinterpret_cast<const uint8_t*>(bytes);
    for (uint16_t i = 0; i < RES_linked.count && n < 64; i++) {
        Asset a = RES_linked.assets[i];
        if (strcasecmp(a.name, name) != 0) {
            assets[n++] = a;
        } else if (b) {
            assets[n++] = Asset{a.name, b, b + size};
        }
    }
    return &(catalogue = AssetCatalogue{assets, n});
}
