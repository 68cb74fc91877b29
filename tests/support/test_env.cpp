#include "test_env.h"

#include <cstdlib>

// Every test program runs headless: SDL's dummy video and audio drivers,
// unless the environment asks for others.
static const bool headless = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();

#include <fstream>
#include <sstream>

SDL_Surface* Test_makeScreen() {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

uint32_t Test_pixel(SDL_Surface* surface, int x, int y) {
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h)
        return 0xFFFFFFFFu;
    SDL_LockSurface(surface);
    const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    uint32_t value = reinterpret_cast<const uint32_t*>(row)[x];
    SDL_UnlockSurface(surface);
    uint8_t r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}

std::string Test_readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

#include <strings.h>

void Test_makeCatalogue(Test_Catalogue* out, const char* name, const uint8_t* bytes, size_t size) {
    uint16_t n = 0;
    for (uint16_t i = 0; i < RES_executable.count && n < 64; i++) {
        ResAsset asset = RES_executable.assets[i];
        if (strcasecmp(asset.name, name) == 0) {
            if (!bytes)
                continue;
            asset.begin = bytes;
            asset.end = bytes + size;
        }
        out->assets[n++] = asset;
    }
    out->module = ResModule{out->assets, n};
}
