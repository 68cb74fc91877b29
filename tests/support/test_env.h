// Helpers shared by the test programs.
#pragma once

#include <SDL/SDL.h>
#include <string>

// A 640 x 480 opaque 32-bit software surface (XRGB) to draw pixel checks into
// (the headless display is 8-bit).
SDL_Surface* Test_makeScreen();

// Pixel (x, y) of a 32-bit surface as 0xRRGGBB.
uint32_t Test_pixel(SDL_Surface* surface, int x, int y);

// Text of a whole file, or empty when it cannot be read.
std::string Test_readFile(const std::string& path);

#include "game/game.h"
#include "platform/assets.h"

// The sprite strips of the catalogue, by image table row: the name the table
// opens each by, its frame size and its frame count (the strip is frameH x
// frames pixels high).
struct Test_Strip {
    const char* name;
    uint16_t w;
    uint16_t frameH;
    uint16_t frames;
};
extern const Test_Strip Test_strips[IMAGE_COUNT];

// A catalogue like the executable's, with one asset left out or with its
// bytes replaced; `bytes` null leaves the asset out. Pointing RES_catalogue
// at `catalogue` makes the lookup search it.
struct Test_Catalogue {
    Asset assets[64];
    AssetCatalogue catalogue;
};
void Test_makeCatalogue(Test_Catalogue* out, const char* name, const uint8_t* bytes = nullptr,
                        size_t size = 0);

#include <sys/wait.h>
#include <vector>

// The real executable, run headless with the given SDL_ variables (the
// test's own SDL_ variables are left out) and ended the way a closed window
// ends it: a termination signal, which the multimedia layer turns into the
// quit event, sent as soon as the program has its handler for it. The quit
// is handled by the first frame of play, after both start-up screens.
struct Test_ProgramRun {
    int status = -1;    // wait status
    std::string out;    // standard output
    std::string err;    // standard error
    double seconds = 0; // from start to end
};
Test_ProgramRun Test_runProgram(const std::vector<std::string>& sdlEnv);
