// The assets carried by the executable, their lookup by name, and the image
// table loaded from them.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "platform/assets.h"
#include "tests/support/test_env.h"

namespace {

std::vector<uint8_t> readAll(SDL_RWops* rw) {
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    int n;
    while ((n = SDL_RWread(rw, chunk, 1, sizeof chunk)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

std::vector<uint8_t> openAsset(const char* name) {
    testing::internal::CaptureStdout();
    SDL_RWops* rw = RES_toSDL_RWops(name);
    testing::internal::GetCapturedStdout();
    if (!rw) {
        return {};
    }
    std::vector<uint8_t> bytes = readAll(rw);
    SDL_RWclose(rw);
    return bytes;
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}
uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

class Assets : public testing::Test {
  protected:
    void SetUp() override { RES_catalogue = &RES_linked; }
};

TEST_F(Assets, FullScreenPicturesAreBottomUp24BitBitmaps) {
    for (const char* name : {"promo1.bmp", "ti.bmp", "bg.bmp"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> b = openAsset(name);
        ASSERT_EQ(b.size(), 921654u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(le32(b, 2), 921654u); // file size
        EXPECT_EQ(le32(b, 10), 54u);    // pixels follow the 54-byte header
        EXPECT_EQ(le32(b, 14), 40u);    // information header
        EXPECT_EQ(le32(b, 18), 640u);
        EXPECT_EQ(le32(b, 22), 480u); // positive height: rows stored bottom-up
        EXPECT_EQ(le16(b, 26), 1u);
        EXPECT_EQ(le16(b, 28), 24u);
        EXPECT_EQ(le32(b, 30), 0u); // uncompressed
    }
}

TEST_F(Assets, BackgroundRowsFollowTheCatalogue) {
    std::vector<uint8_t> b = openAsset("bg.bmp");
    ASSERT_EQ(b.size(), 921654u);
    // RGB of screen row y (counted from the top), checked along the whole row.
    auto rowColour = [&](int y) {
        size_t at = 54 + size_t(479 - y) * 640 * 3;
        uint32_t first = uint32_t(b[at + 2]) << 16 | b[at + 1] << 8 | b[at];
        for (int x = 1; x < 640; x++) {
            size_t p = at + size_t(x) * 3;
            uint32_t c = uint32_t(b[p + 2]) << 16 | b[p + 1] << 8 | b[p];
            if (c != first) {
                return 0xFFFFFFFFu;
            }
        }
        return first;
    };
    EXPECT_EQ(rowColour(0), 0xE3F0FFu);   // pale blue sky
    EXPECT_EQ(rowColour(294), 0x3389B6u); // deep blue at the horizon
    EXPECT_EQ(rowColour(297), 0xC8DFF0u); // the snow begins
    EXPECT_EQ(rowColour(479), 0xFFFFFFu); // white in front
    for (int y = 0; y < 480; y++) {
        ASSERT_NE(rowColour(y), 0xFFFFFFFFu) << "row " << y << " is not one colour";
    }
}

TEST_F(Assets, SpriteStripsAreRgbaPngsOfTheirCatalogueSize) {
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Test_Strip& s : Test_strips) {
        SCOPED_TRACE(s.name);
        std::vector<uint8_t> b = openAsset(s.name);
        ASSERT_GE(b.size(), 33u);
        EXPECT_EQ(memcmp(b.data(), signature, 8), 0);
        EXPECT_EQ(memcmp(b.data() + 12, "IHDR", 4), 0);
        EXPECT_EQ(be32(b, 16), s.w);
        EXPECT_EQ(be32(b, 20), uint32_t(s.frameH) * s.frames); // whole frames, stacked
        EXPECT_EQ(b[24], 8);                                   // bits per channel
        EXPECT_EQ(b[25], 6);                                   // RGB with alpha
        EXPECT_EQ(b[28], 0);                                   // not interlaced
    }
}

TEST_F(Assets, SoundsAreMono16BitPcmOfTheirCatalogueLength) {
    struct Wav {
        const char* name;
        uint32_t rate, bytes;
    };
    const Wav wavs[] = {{"beat.wav", 11025, 10368},  {"ready.wav", 11025, 23040},
                        {"hui.wav", 11025, 73728},   {"hepp.wav", 11025, 6912},
                        {"bounce.wav", 11025, 9216}, {"lift.wav", 22050, 12672}};
    for (const Wav& w : wavs) {
        SCOPED_TRACE(w.name);
        std::vector<uint8_t> b = openAsset(w.name);
        ASSERT_EQ(b.size(), 44u + w.bytes);
        EXPECT_EQ(memcmp(b.data(), "RIFF", 4), 0);
        EXPECT_EQ(le32(b, 4), 36u + w.bytes);
        EXPECT_EQ(memcmp(b.data() + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(le32(b, 16), 16u);
        EXPECT_EQ(le16(b, 20), 1u); // PCM
        EXPECT_EQ(le16(b, 22), 1u); // mono
        EXPECT_EQ(le32(b, 24), w.rate);
        EXPECT_EQ(le32(b, 28), w.rate * 2);
        EXPECT_EQ(le16(b, 32), 2u); // block alignment
        EXPECT_EQ(le16(b, 34), 16u);
        EXPECT_EQ(memcmp(b.data() + 36, "data", 4), 0);
        EXPECT_EQ(le32(b, 40), w.bytes);
    }
}

TEST_F(Assets, ExecutableCarriesExactlyTheCatalogue) {
    EXPECT_EQ(RES_linked.count, 26);
    for (uint16_t i = 0; i < RES_linked.count; i++) {
        std::string name = RES_linked.assets[i].name;
        SCOPED_TRACE(name);
        EXPECT_TRUE(std::regex_match(name, std::regex("[A-Z0-9]{1,8}\\.(PNG|BMP|WAV)")));
        EXPECT_GE(RES_linked.assets[i].end - RES_linked.assets[i].begin, 4);
    }
}

TEST_F(Assets, LookupFoldsCaseButMatchesWholeNames) {
    const Asset* upper = RES_find("FLY.PNG");
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(RES_find("fly.png"), upper);
    EXPECT_EQ(RES_find("Fly.pNg"), upper);
    EXPECT_NE(RES_find("TOP.png"), nullptr);
    EXPECT_STREQ(RES_find("grumm.png")->name, "GRUMM.PNG");
    EXPECT_EQ(RES_find("fly"), nullptr);
    EXPECT_EQ(RES_find("fly.pn"), nullptr);
    EXPECT_EQ(RES_find("fly.png "), nullptr);
    EXPECT_EQ(RES_find("assets/fly.png"), nullptr);
}

TEST_F(Assets, OpeningWritesTwoDiagnosticLines) {
    struct Case {
        const char* name;
        const char* bytes;
        uint32_t size;
    };
    const Asset* wav = RES_find("hui.wav");
    ASSERT_NE(wav, nullptr);
    const Case cases[] = {
        {"bg.bmp", "42 4d 36 10", 921654},
        {"grumm.png", "89 50 4e 47",
         static_cast<uint32_t>(RES_find("grumm.png")->end - RES_find("grumm.png")->begin)},
        {"HUI.wav", "52 49 46 46", 73772}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Asset* found = RES_find(c.name);
        ASSERT_NE(found, nullptr);
        fflush(stdout);
        testing::internal::CaptureStdout();
        SDL_RWops* rw = RES_toSDL_RWops(c.name);
        fflush(stdout);
        std::string out = testing::internal::GetCapturedStdout();
        ASSERT_NE(rw, nullptr);
        std::string expected = std::string("Resource: ") + c.name + ", buffer: " +
                               std::to_string(reinterpret_cast<uintptr_t>(found->begin)) +
                               ", size: " + std::to_string(c.size) + "\nBytes: " + c.bytes + "\n";
        EXPECT_EQ(out, expected);
        EXPECT_EQ(SDL_RWseek(rw, 0, RW_SEEK_END), static_cast<int>(c.size));
        SDL_RWclose(rw);
    }
}

TEST_F(Assets, MissingNameYieldsNullWithMessageOnStandardErrorOnly) {
    fflush(stdout);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    SDL_RWops* rw = RES_toSDL_RWops("nosuch.png");
    fflush(stdout);
    std::string err = testing::internal::GetCapturedStderr();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(rw, nullptr);
    EXPECT_EQ(err, "Error finding resource nosuch.png!\n");
    EXPECT_EQ(out, "");
}

TEST_F(Assets, TwoStreamsOverOneAssetAreIndependent) {
    testing::internal::CaptureStdout();
    SDL_RWops* a = RES_toSDL_RWops("sign.png");
    SDL_RWops* b = RES_toSDL_RWops("SIGN.PNG");
    testing::internal::GetCapturedStdout();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    uint8_t head[8], other[4];
    ASSERT_EQ(SDL_RWread(a, head, 1, 8), 8);
    EXPECT_EQ(SDL_RWtell(b), 0);
    ASSERT_EQ(SDL_RWread(b, other, 1, 4), 4);
    EXPECT_EQ(memcmp(head, other, 4), 0);
    EXPECT_EQ(SDL_RWtell(a), 8);
    // The bytes belong to the executable: a stream may not write them.
    EXPECT_LE(SDL_RWwrite(a, head, 1, 1), 0);
    SDL_RWclose(a);
    SDL_RWclose(b);
    EXPECT_EQ(openAsset("sign.png").size(),
              static_cast<uint32_t>(RES_find("sign.png")->end - RES_find("sign.png")->begin));
}

TEST_F(Assets, AssetShorterThanFourBytesShowsOnlyWhatItHas) {
    // Separate arrays, so that a read past the end is caught by the sanitizer.
    static const uint8_t two[2] = {0x42, 0x4d};
    static const uint8_t none[1] = {0};
    const Asset assets[] = {{"TWO.BMP", two, two + 2}, {"NONE.WAV", none, none}};
    const AssetCatalogue module = {assets, 2};
    RES_catalogue = &module;
    testing::internal::CaptureStdout();
    SDL_RWops* a = RES_toSDL_RWops("two.bmp");
    SDL_RWops* b = RES_toSDL_RWops("none.wav");
    fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(a, nullptr);
    EXPECT_NE(out.find(", size: 2\nBytes: 42 4d\n"), std::string::npos) << out;
    EXPECT_NE(out.find(", size: 0\nBytes:\n"), std::string::npos) << out;
    SDL_RWclose(a);
    if (b) {
        SDL_RWclose(b);
    }
    RES_catalogue = &RES_linked;
}

// The image table is loaded into the display's format, which needs a video mode.
class ImageTable : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(640, 480, 0, SDL_SWSURFACE), nullptr);
        RES_catalogue = &RES_linked;
    }
    void TearDown() override {
        RES_catalogue = &RES_linked;
        SDL_Quit();
    }
};

TEST_F(ImageTable, LoadsEveryStripWithItsFrameRectangle) {
    ImageEntry table[IMAGE_COUNT];
    memcpy(table, sprtbl, sizeof table);
    testing::internal::CaptureStdout();
    load_sprites(table, IMAGE_COUNT);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;
    for (uint16_t i = 0; i < IMAGE_COUNT; i++) {
        const Test_Strip& s = Test_strips[i];
        SCOPED_TRACE(s.name);
        EXPECT_STREQ(table[i].fileName, s.name);
        ASSERT_NE(table[i].surface, nullptr);
        EXPECT_EQ(table[i].surface->format->BitsPerPixel, 32);
        EXPECT_NE(table[i].surface->format->Amask, 0u);
        EXPECT_EQ(table[i].surface->w, s.w);
        EXPECT_EQ(table[i].surface->h, s.frameH * s.frames);
        EXPECT_EQ(table[i].frameRect.x, 0);
        EXPECT_EQ(table[i].frameRect.y, 0);
        EXPECT_EQ(table[i].frameRect.w, s.w);
        EXPECT_EQ(table[i].frameRect.h, s.frameH);
        EXPECT_EQ(table[i].frameCount, s.frames);
        // Run-length acceleration for all but the strips drawn turned.
        bool turned = i == IMG_FLY || i == IMG_SCRATCH;
        EXPECT_EQ(table[i].surfaceFlags, turned ? 0x00010000u : 0x00014000u);
        SDL_FreeSurface(table[i].surface);
    }
    // The catalogue's example rows.
    EXPECT_EQ(table[IMG_GRUMM].frameRect.h, 134);
    EXPECT_EQ(table[IMG_PREPJUMP].frameRect.h, 72);
    EXPECT_EQ(table[IMG_TOP].frameRect.w, 43);
}

TEST_F(ImageTable, NullTableOrNoRowsLoadsNothing) {
    ImageEntry row = {"fly.png", SDL_SRCALPHA, 21, nullptr, {0, 0, 0, 0}};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    load_sprites(nullptr, 17);
    load_sprites(&row, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(row.surface, nullptr);
}

TEST_F(ImageTable, MissingOrBrokenStripIsReportedAndLaterRowsStillLoad) {
    static const uint8_t garbage[] = "this is not a picture at all";
    Test_Catalogue broken;
    Test_makeCatalogue(&broken, "rock.png", garbage, sizeof garbage);
    RES_catalogue = &broken.catalogue;
    ImageEntry table[] = {
        {"nosuch.png", SDL_SRCALPHA, 1, nullptr, {0, 0, 0, 0}},
        {"rock.png", SDL_SRCALPHA | SDL_RLEACCEL, 1, nullptr, {0, 0, 0, 0}},
        {"stick.png", SDL_SRCALPHA | SDL_RLEACCEL, 6, nullptr, {0, 0, 0, 0}},
    };
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    load_sprites(table, 3);
    std::string err = testing::internal::GetCapturedStderr();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(err, "Error finding resource nosuch.png!\n");
    EXPECT_TRUE(
        std::regex_search(out, std::regex("^Error loading title image nosuch\\.png: .*!\n")))
        << out;
    EXPECT_TRUE(std::regex_search(out, std::regex("\nError loading title image rock\\.png: .*!\n")))
        << out;
    EXPECT_TRUE(
        std::regex_search(out, std::regex("Resource: stick\\.png, buffer: [0-9]+, size: ")));
    EXPECT_EQ(table[0].surface, nullptr);
    EXPECT_EQ(table[1].surface, nullptr);
    EXPECT_EQ(table[1].frameRect.w, 0);
    EXPECT_EQ(table[1].frameRect.h, 0);
    ASSERT_NE(table[2].surface, nullptr);
    EXPECT_EQ(table[2].frameRect.h, 48);
    SDL_FreeSurface(table[2].surface);
}

} // namespace
