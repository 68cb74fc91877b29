// The assets carried by the executable, their lookup by name, and the image
// table loaded from them.
#include <gtest/gtest.h>

#include "platform/images.h"
#include "tests/support/test_env.h"

using namespace testing::internal;

TEST(Assets, LookupFoldsCaseMatchesWholeNamesAndReportsWhatItOpens) {
    // AZ.BMP ends the array, so that a read past its end is caught by the sanitizer.
    static const uint8_t bytes[] = {0x89, 0x50, 0x0a, 0x1a, 0xff, 0x42, 0x4d};
    const Asset assets[] = {{"BIG.PNG", bytes, bytes + 5},
                            {"AZ.BMP", bytes + 5, bytes + 7},
                            {"NONE.WAV", bytes, bytes},
                            {"PAST.END", bytes, bytes + 1}}; // beyond the catalogue's count
    const AssetCatalogue mine = {assets, 3};
    RES_catalogue = &mine;
    // What follows the address on standard output; null: no such asset.
    const char* const rows[][2] = {{"big.png", ", size: 5\nBytes: 89 50 a 1a\n"},
                                   {"BiG.PnG", ", size: 5\nBytes: 89 50 a 1a\n"},
                                   {"Az.bmp", ", size: 2\nBytes: 42 4d\n"},
                                   {"NONE.WAV", ", size: 0\nBytes:\n"},
                                   {"big", nullptr},
                                   {"big.pn", nullptr},
                                   {"big.png ", nullptr},
                                   {"assets/big.png", nullptr},
                                   {"zbig.png", nullptr},
                                   {"big.png.png", nullptr},
                                   {"past.end", nullptr}};
    for (auto& row : rows) {
        SCOPED_TRACE(row[0]);
        const Asset* found = RES_find(row[0]);
        CaptureStdout();
        CaptureStderr();
        SDL_RWops* rw = RES_toSDL_RWops(row[0]);
        fflush(stdout);
        std::string out = GetCapturedStdout(), err = GetCapturedStderr();
        if (!row[1]) {
            EXPECT_EQ(out + err + (rw || found ? "found" : ""),
                      "Error finding resource " + std::string(row[0]) + "!\n");
            continue;
        }
        ASSERT_NE(found, nullptr);
        auto address = std::to_string(reinterpret_cast<uintptr_t>(found->begin));
        EXPECT_EQ(out + err, "Resource: " + std::string(row[0]) + ", buffer: " + address + row[1]);
        ASSERT_NE(rw, nullptr);
        EXPECT_EQ(SDL_RWseek(rw, 0, RW_SEEK_END), found->end - found->begin);
        SDL_RWclose(rw);
    }
    EXPECT_EQ(RES_find(nullptr), nullptr);
    RES_catalogue = &RES_linked;
}

TEST(ImageTable, LoadsEveryStripAsFramesOfItsCatalogueSize) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    ASSERT_NE(SDL_SetVideoMode(640, 480, 0, SDL_SWSURFACE), nullptr);
    CaptureStdout();
    load_sprites(sprtbl, IMAGE_COUNT);
    EXPECT_EQ(GetCapturedStdout().find("Error"), std::string::npos);
    for (uint16_t i = 0; i < IMAGE_COUNT; i++) {
        const Test_Strip& s = Test_strips[i];
        const SDL_Surface* image = sprtbl[i].surface;
        const SDL_Rect& r = sprtbl[i].frameRect;
        ASSERT_NE(image, nullptr) << s.name;
        // Run-length acceleration for all but the strips drawn turned.
        int rle = i == IMG_FLY || i == IMG_SCRATCH ? 0 : SDL_RLEACCELOK;
        EXPECT_EQ((std::vector<int>{image->format->BitsPerPixel, image->format->Amask != 0,
                                    image->w, image->h, r.x, r.y, r.w, r.h, sprtbl[i].frameCount,
                                    int(image->flags & (SDL_SRCALPHA | SDL_RLEACCELOK))}),
                  (std::vector<int>{32, 1, s.w, s.frameH * s.frames, 0, 0, s.w, s.frameH, s.frames,
                                    SDL_SRCALPHA | rle}))
            << s.name;
        SDL_FreeSurface(sprtbl[i].surface);
        sprtbl[i].surface = nullptr;
    }
    SDL_Quit();
}
