// The assets carried by the executable and their lookup by name. (The image
// table loaded from them is checked by the start-up test.)
#include <gtest/gtest.h>

#include "platform/assets.h"
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
                                   {"big.pn", nullptr},
                                   {"big.png ", nullptr},
                                   {"zbig.png", nullptr},
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
