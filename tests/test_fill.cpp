// The browser build's own versions of the SDL and SDL_gfx calls its SDL
// lacks, held against the real calls of classic SDL 1.2 and SDL_gfx: the
// game's sounds loaded, converted and mixed, broken WAV files refused, and
// the sprite frames turned and zoomed.
#include <gtest/gtest.h>

#include <SDL/SDL_image.h>
#include <SDL/SDL_rotozoom.h>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/web/sdl_fill.h"
#include "tests/support/test_env.h"

static const char* const soundNames[] = {
#define SOUND(id, name) name,
#include "game/catalogue.def"
};

static std::vector<uint8_t> assetBytes(const char* name) {
    const Asset* a = RES_find(name);
    return a ? std::vector<uint8_t>(a->begin, a->end) : std::vector<uint8_t>();
}

struct Wav {
    SDL_AudioSpec spec{};
    uint8_t* data = nullptr;
    uint32_t length = 0;
    bool loaded = false;
    ~Wav() { SDL_free(data); }
};

// Loads `bytes` with classic SDL (real) or with Fill_loadWav, from a heap
// block of exactly their size, so that a read past the end is caught.
static void load(const std::vector<uint8_t>& bytes, Wav* w, bool real) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
    memcpy(exact.get(), bytes.data(), bytes.size());
    const uint32_t n = static_cast<uint32_t>(bytes.size());
    w->loaded = real ? SDL_LoadWAV_RW(SDL_RWFromConstMem(exact.get(), n), 1, &w->spec, &w->data,
                                      &w->length) == &w->spec
                     : Fill_loadWav(exact.get(), n, &w->spec, &w->data, &w->length) == &w->spec;
}

static void expectSameWav(const std::vector<uint8_t>& bytes) {
    Wav real, mine;
    load(bytes, &real, true);
    load(bytes, &mine, false);
    ASSERT_TRUE(real.loaded && mine.loaded) << SDL_GetError();
    EXPECT_EQ(memcmp(&real.spec, &mine.spec, sizeof real.spec), 0);
    EXPECT_EQ(mine.spec.samples, 4096);
    ASSERT_EQ(real.length, mine.length);
    EXPECT_EQ(memcmp(real.data, mine.data, real.length), 0);
}

// A WAV file of 16-bit mono PCM at 11025 Hz holding the given samples, with
// `extra` chunks placed before its format chunk and between it and the data.
static std::vector<uint8_t> makeWav(std::vector<uint8_t> samples, bool extra = false) {
    auto u32 = [](uint32_t v) {
        return std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16),
                                    uint8_t(v >> 24)};
    };
    auto chunk = [&](const char* id, std::vector<uint8_t> body) {
        std::vector<uint8_t> c(id, id + 4), n = u32(uint32_t(body.size()));
        c.insert(c.end(), n.begin(), n.end());
        c.insert(c.end(), body.begin(), body.end());
        return c;
    };
    std::vector<uint8_t> fmt = {1, 0, 1, 0};
    for (auto v : {u32(11025), u32(22050), std::vector<uint8_t>{2, 0, 16, 0}}) {
        fmt.insert(fmt.end(), v.begin(), v.end());
    }
    std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
    for (auto c :
         {extra ? chunk("LIST", {1, 2, 3, 4}) : std::vector<uint8_t>(), chunk("fmt ", fmt),
          extra ? chunk("junk", {9, 9}) : std::vector<uint8_t>(), chunk("data", samples)}) {
        body.insert(body.end(), c.begin(), c.end());
    }
    return chunk("RIFF", body);
}

TEST(FillWav, TheGameSoundsLoadAsSdlLoadsThem) {
    for (const char* name : soundNames) {
        SCOPED_TRACE(name);
        expectSameWav(assetBytes(name));
    }
    // Chunks to skip, and an odd byte cut off the last sample.
    expectSameWav(makeWav({1, 2, 3, 4, 5, 6, 7}, true));
}

TEST(FillWav, BrokenFilesFailWithoutReadingPastTheirEnd) {
    const std::vector<uint8_t> good = makeWav({1, 2, 3, 4});
    auto changed = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + long(at));
        return b;
    };
    // fmt at 12 (body at 20), data at 36 (body at 44).
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"truncated header", std::vector<uint8_t>(good.begin(), good.begin() + 30)},
        {"data longer than the file", changed(40, {5, 0, 0, 0})},
        {"chunk length near 4 GiB", changed(16, {0xf8, 0xff, 0xff, 0xff})},
        {"not RIFF", changed(0, {'R', 'I', 'F', 'X'})},
        {"not WAVE", changed(8, {'A', 'V', 'I', ' '})},
        {"not PCM", changed(20, {2, 0})},
        {"24-bit", changed(34, {24})},
        {"format chunk too short", changed(16, {8, 0, 0, 0})},
        {"no data chunk", std::vector<uint8_t>(good.begin(), good.begin() + 36)},
        {"one byte", {0}}};
    Wav ok;
    load(good, &ok, false);
    EXPECT_TRUE(ok.loaded);
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        Wav w;
        load(bytes, &w, false);
        EXPECT_FALSE(w.loaded);
        EXPECT_EQ(w.data, nullptr);
    }
}

// Builds and runs a conversion with SDL's calls or with ours.
struct Converted {
    int built;
    SDL_AudioCVT cvt;
    std::vector<uint8_t> out;
};

static Converted convert(const std::vector<uint8_t>& in, const std::array<uint16_t, 6>& pair,
                         bool real) {
    Converted c{};
    c.built = (real ? SDL_BuildAudioCVT : Fill_buildCVT)(&c.cvt, pair[0], uint8_t(pair[1]), pair[2],
                                                         pair[3], uint8_t(pair[4]), pair[5]);
    if (c.built < 0) {
        return c;
    }
    std::vector<uint8_t> buf(in.size() * size_t(c.cvt.len_mult));
    std::copy(in.begin(), in.end(), buf.begin());
    c.cvt.buf = buf.data();
    c.cvt.len = int(in.size());
    EXPECT_EQ((real ? SDL_ConvertAudio : Fill_convert)(&c.cvt), 0);
    c.out.assign(buf.begin(), buf.begin() + c.cvt.len_cvt);
    return c;
}

TEST(FillAudio, ConversionsMatchSdl) {
    constexpr uint16_t S16 = AUDIO_S16LSB, U8 = AUDIO_U8;
    // Source and target: format, channels, rate; the sound's own bytes taken
    // as the source's format.
    const uint16_t pairs[][6] = {{S16, 1, 11025, S16, 1, 22050}, {S16, 1, 22050, S16, 1, 22050},
                                 {S16, 1, 11025, S16, 2, 22050}, {S16, 1, 11025, S16, 1, 44100},
                                 {S16, 1, 22050, S16, 1, 11025}, {S16, 2, 22050, S16, 1, 22050},
                                 {S16, 2, 44100, S16, 1, 11025}, {S16, 2, 11025, S16, 2, 22050},
                                 {S16, 1, 22050, S16, 2, 11025}, {S16, 1, 22050, S16, 1, 22000},
                                 {U8, 1, 11025, U8, 2, 22050},   {U8, 2, 22050, U8, 1, 11025},
                                 {U8, 1, 44100, U8, 1, 11025},   {U8, 2, 11025, U8, 2, 22050}};
    for (const char* name : soundNames) {
        Wav w;
        load(assetBytes(name), &w, false);
        ASSERT_TRUE(w.loaded);
        const std::vector<uint8_t> in(w.data, w.data + w.length);
        // First as the game converts it for its device.
        std::vector<std::array<uint16_t, 6>> rows = {
            {w.spec.format, w.spec.channels, uint16_t(w.spec.freq), S16, 1, 22050}};
        for (const auto& pair : pairs) {
            rows.push_back(std::to_array(pair));
        }
        for (const auto& p : rows) {
            SCOPED_TRACE(testing::Message() << name << ": " << p[0] << "/" << p[1] << "/" << p[2]
                                            << " -> " << p[3] << "/" << p[4] << "/" << p[5]);
            const Converted real = convert(in, p, true), mine = convert(in, p, false);
            EXPECT_EQ(real.built, mine.built);
            EXPECT_EQ(real.cvt.len_mult, mine.cvt.len_mult);
            EXPECT_EQ(real.cvt.len_ratio, mine.cvt.len_ratio);
            EXPECT_EQ(real.cvt.len_cvt, mine.cvt.len_cvt);
            EXPECT_TRUE(real.out == mine.out);
        }
    }
    // What we leave out: a change of format, rates not a power of two apart
    // (SDL plays those on at the wrong rate), more channels.
    const std::array<uint16_t, 6> refused[] = {{U8, 1, 11025, S16, 1, 11025},
                                               {S16, 1, 11025, S16, 1, 16000},
                                               {S16, 1, 11025, S16, 1, 48000},
                                               {S16, 1, 11025, S16, 4, 11025},
                                               {S16, 4, 11025, S16, 4, 22050}};
    for (const auto& p : refused) {
        EXPECT_EQ(convert({0, 0}, p, false).built, -1) << p[0] << "/" << p[2] << "/" << p[5];
    }
}

TEST(FillAudio, MixingMatchesSdlAndClipsBothWays) {
    // No device open: SDL mixes as 16-bit signed then, as the game's device.
    const int16_t a[] = {0, 1, -1, 100, -100, 20000, -20000, 32767, -32768, 32767, -32768, 12345};
    const int16_t b[] = {5, -7, 32767, -32768, 32767, 20000, -20000, 1, -1, 32767, -32768, -999};
    for (int volume : {128, 127, 100, 64, 3, 1, 0}) {
        SCOPED_TRACE(volume);
        for (uint32_t len : {uint32_t(sizeof a), uint32_t(sizeof a - 1)}) {
            std::vector<uint8_t> real(sizeof a), mine(sizeof a);
            memcpy(real.data(), b, sizeof b);
            memcpy(mine.data(), b, sizeof b);
            SDL_MixAudio(real.data(), reinterpret_cast<const uint8_t*>(a), len, volume);
            Fill_mixAudio(mine.data(), reinterpret_cast<const uint8_t*>(a), len, volume);
            EXPECT_TRUE(real == mine);
        }
    }
}

TEST(FillVideo, TheBackgroundInTheDisplayFormatAsSdlMakesIt) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    EXPECT_EQ(Fill_displayFormat(nullptr), nullptr); // no display yet
    SDL_Surface* bg = SDL_LoadBMP_RW(RES_toSDL_RWops("bg.bmp"), 1);
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(Fill_displayFormat(bg), nullptr);
    ASSERT_NE(SDL_SetVideoMode(640, 480, 0, SDL_SWSURFACE), nullptr);
    SDL_Surface* real = SDL_DisplayFormat(bg);
    SDL_Surface* mine = Fill_displayFormat(bg);
    ASSERT_TRUE(real && mine);
    EXPECT_EQ(mine->flags, real->flags);
    const SDL_PixelFormat *f = mine->format, *g = real->format;
    EXPECT_TRUE(f->BitsPerPixel == g->BitsPerPixel && f->Rmask == g->Rmask &&
                f->Gmask == g->Gmask && f->Bmask == g->Bmask);
    // The headless display has 8 bits: the same palette, then.
    ASSERT_TRUE(!f->palette == !g->palette);
    if (f->palette) {
        ASSERT_EQ(f->palette->ncolors, g->palette->ncolors);
        EXPECT_EQ(memcmp(f->palette->colors, g->palette->colors, 4u * f->palette->ncolors), 0);
    }
    ASSERT_EQ(mine->pitch, real->pitch);
    EXPECT_EQ(memcmp(mine->pixels, real->pixels, size_t(real->pitch) * real->h), 0);
    SDL_FreeSurface(mine);
    SDL_FreeSurface(real);
    SDL_FreeSurface(bg);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// The frames of a strip, each a surface over the strip's pixels as the game
// cuts them.
static std::vector<SDL_Surface*> frames(SDL_Surface* strip, int frameH) {
    std::vector<SDL_Surface*> out;
    const SDL_PixelFormat* f = strip->format;
    for (int y = 0; y + frameH <= strip->h; y += frameH) {
        out.push_back(SDL_CreateRGBSurfaceFrom(
            static_cast<uint8_t*>(strip->pixels) + y * strip->pitch, strip->w, frameH, 32,
            strip->pitch, f->Rmask, f->Gmask, f->Bmask, f->Amask));
    }
    return out;
}

TEST(FillVideo, TurnedAndZoomedFramesMatchSdlGfx) {
    const double angles[] = {0, 0.0005, 0.3, 1, 9.9976, -10, 45, -45, 74.4049, 90, -90, 170, -135};
    const double zooms[][2] = {{1, 1}, {2.5, 1}, {0.5, 1}, {1, 2.5}, {0.7, 0.7}};
    int largest = 0;
    uint64_t differing = 0, pixels = 0;
    for (const Test_Strip& strip : Test_strips) {
        if (strcmp(strip.name, "fly.png") != 0 && strcmp(strip.name, "scratch.png") != 0) {
            continue;
        }
        SDL_Surface* decoded = IMG_Load_RW(RES_toSDL_RWops(strip.name), 1);
        ASSERT_NE(decoded, nullptr);
        ASSERT_EQ(decoded->format->BitsPerPixel, 32);
        for (SDL_Surface* frame : frames(decoded, strip.frameH)) {
            for (double angle : angles) {
                for (const auto& zoom : zooms) {
                    SCOPED_TRACE(testing::Message() << strip.name << " angle " << angle << " zoom "
                                                    << zoom[0] << "," << zoom[1]);
                    SDL_Surface* real = rotozoomSurfaceXY(frame, angle, zoom[0], zoom[1], 1);
                    SDL_Surface* mine = Fill_rotozoom(frame, angle, zoom[0], zoom[1], 1);
                    ASSERT_TRUE(real && mine);
                    ASSERT_EQ(mine->w, real->w);
                    ASSERT_EQ(mine->h, real->h);
                    EXPECT_EQ(memcmp(mine->format, real->format, sizeof *real->format), 0);
                    EXPECT_TRUE(mine->flags & SDL_SRCALPHA);
                    for (int y = 0; y < real->h; ++y) {
                        const uint8_t* a = static_cast<uint8_t*>(real->pixels) + y * real->pitch;
                        const uint8_t* b = static_cast<uint8_t*>(mine->pixels) + y * mine->pitch;
                        for (int x = 0; x < real->w * 4; ++x) {
                            largest = std::max(largest, std::abs(a[x] - b[x]));
                            differing += x % 4 == 0 && memcmp(a + x, b + x, 4) != 0;
                        }
                    }
                    pixels += uint64_t(real->w) * uint64_t(real->h);
                    SDL_FreeSurface(real);
                    SDL_FreeSurface(mine);
                }
            }
            SDL_FreeSurface(frame);
        }
        SDL_FreeSurface(decoded);
    }
    printf("rotozoom: %llu pixels, %llu differing, largest channel difference %d\n",
           (unsigned long long)pixels, (unsigned long long)differing, largest);
    // SDL_gfx's arithmetic, step for step: the very same pixels.
    EXPECT_GT(pixels, 0u);
    EXPECT_EQ(largest, 0);
}
