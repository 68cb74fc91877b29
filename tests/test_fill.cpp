// The browser build's own versions of the SDL and SDL_gfx calls its SDL
// lacks, held against the real calls of classic SDL 1.2 and SDL_gfx.
#include <gtest/gtest.h>

#include <SDL/SDL_image.h>
#include <SDL/SDL_rotozoom.h>
#include <array>
#include <cstring>
#include <vector>

#include "platform/web/sdl_fill.h"
#include "tests/support/test_env.h"

static std::vector<uint8_t> soundBytes(const char* name) {
    const Asset* a = RES_find(name);
    return std::vector<uint8_t>(a->begin, a->end);
}

// A WAV file loaded by classic SDL (real) or Fill_loadWav from a heap block of
// exactly its size, so that a read past the end is caught; or from its first `size`.
struct Wav {
    SDL_AudioSpec wave{};
    uint8_t* data = nullptr;
    uint32_t length = 0;
    bool loaded;
    Wav(std::vector<uint8_t> bytes, bool real, size_t size = SIZE_MAX) {
        const uint32_t n = uint32_t(std::min(size, bytes.size()));
        loaded = (real ? SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(n)), 1, &wave, &data,
                                        &length)
                       : Fill_loadWav(bytes.data(), n, &wave, &data, &length)) == &wave;
    }
    ~Wav() { SDL_free(data); }
};

// 16-bit mono PCM at 11025 Hz, samples 0x0201 and 0x0403: the format chunk at
// 12 (its body at 20), the data chunk at 36 (its body at 44).
static const std::vector<uint8_t> goodWav = {
    'R', 'I', 'F', 'F', 40,  0,   0,   0,   'W',  'A',  'V', 'E', 'f',  'm',  't', ' ',
    16,  0,   0,   0,   1,   0,   1,   0,   0x11, 0x2b, 0,   0,   0x22, 0x56, 0,   0,
    2,   0,   16,  0,   'd', 'a', 't', 'a', 4,    0,    0,   0,   1,    2,    3,   4};

TEST(FillWav, BrokenFilesFailWithoutReadingPastTheirEnd) {
    const std::tuple<const char*, long, std::vector<uint8_t>> cases[] = {
        {"not RIFF", 3, {'X'}},
        {"data longer than the file", 40, {5, 0, 0, 0}},
        {"chunk length near 4 GiB", 16, {0xf8, 0xff, 0xff, 0xff}},
        {"format chunk too short", 16, {8, 0, 0, 0}},
        {"not PCM", 20, {2, 0}},
        {"24-bit", 34, {24}},
        {"empty data chunk", 40, {0}}};
    for (const auto& [what, at, bytes] : cases) {
        std::vector<uint8_t> broken = goodWav;
        std::copy(bytes.begin(), bytes.end(), broken.begin() + at);
        SDL_ClearError();
        const Wav w(broken, false);
        EXPECT_TRUE(!w.loaded && w.data == nullptr && *SDL_GetError()) << what;
    }
    // Cut short anywhere, though the bytes after the cut are there to be read.
    for (size_t n = 0; n < goodWav.size(); ++n) {
        EXPECT_FALSE(Wav(goodWav, false, n).loaded) << n;
    }
}

using Pair = std::array<uint16_t, 6>; // source and target format, channels, rate

// A conversion built and run with SDL's calls or with ours: what the build
// returned, the plan's fields, then the whole buffer (with room to spare).
static std::vector<double> convert(const std::vector<uint8_t>& in, const Pair& p, bool real) {
    SDL_AudioCVT cvt;
    memset(&cvt, 0x55, sizeof cvt);
    const int built = (real ? SDL_BuildAudioCVT : Fill_buildCVT)(&cvt, p[0], uint8_t(p[1]), p[2],
                                                                 p[3], uint8_t(p[4]), p[5]);
    std::vector<double> out = {double(built)};
    if (built >= 0) {
        std::vector<uint8_t> buf(in.size() * size_t(cvt.len_mult) + 8);
        std::copy(in.begin(), in.end(), buf.begin());
        cvt.buf = buf.data();
        cvt.len = int(in.size());
        out.push_back((real ? SDL_ConvertAudio : Fill_convert)(&cvt));
        out.insert(out.end(), {double(cvt.needed), double(cvt.len_mult), cvt.len_ratio,
                               double(cvt.len_cvt), double(cvt.filter_index)});
        out.insert(out.end(), buf.begin(), buf.end());
    }
    return out;
}

// The fills do what classic SDL 1.2 does; sdl12-compat loads and converts
// sounds through SDL 2, whose loader and resampler differ.
TEST(FillAudio, SoundsLoadAndConvertAsSdlDoes) {
    if (Test_sdl12compat()) {
        GTEST_SKIP() << "compared with classic SDL 1.2's own";
    }
    constexpr uint16_t S16 = AUDIO_S16LSB, U8 = AUDIO_U8;
    // Stereo, chunks to skip and a partial frame cut off; then the game's sounds.
    std::vector<std::vector<uint8_t>> files = {goodWav};
    files[0][22] = 2;
    files[0][40] = 3;
    files[0].insert(files[0].begin() + 36, {'j', 'u', 'n', 'k', 2, 0, 0, 0, 9, 9});
    files[0].insert(files[0].begin() + 12, {'L', 'I', 'S', 'T', 4, 0, 0, 0, 1, 2, 3, 4});
    for (const char* name : sounds) {
        files.push_back(soundBytes(name));
    }
    // Each sound taken as each source format; first, as the game converts it for its device.
    Pair pairs[] = {{S16, 1, 11025, S16, 1, 22050}, {S16, 1, 22050, S16, 1, 11025},
                    {S16, 1, 11025, S16, 2, 22050}, {S16, 2, 44100, S16, 1, 11025},
                    {S16, 1, 22050, S16, 2, 11025}, {S16, 1, 22050, S16, 1, 22000},
                    {U8, 1, 11025, U8, 2, 22050},   {U8, 2, 22050, U8, 1, 11025}};
    for (const auto& bytes : files) {
        SCOPED_TRACE(&bytes - files.data());
        const Wav real(bytes, true), mine(bytes, false);
        ASSERT_TRUE(real.loaded && mine.loaded) << SDL_GetError();
        EXPECT_EQ(memcmp(&real.wave, &mine.wave, sizeof real.wave), 0);
        EXPECT_TRUE(real.length == mine.length && !memcmp(real.data, mine.data, real.length));
        const std::vector<uint8_t> in(mine.data, mine.data + mine.length);
        pairs[0] = {mine.wave.format, mine.wave.channels, uint16_t(mine.wave.freq), S16, 1, 22050};
        for (const Pair& p : pairs) {
            EXPECT_TRUE(convert(in, p, true) == convert(in, p, false)) << testing::PrintToString(p);
        }
    }
    // Left out: a change of format, rates not a power of two apart (SDL
    // plays those on at the wrong rate), more channels.
    for (const Pair& p : {Pair{U8, 1, 11025, S16, 1, 11025}, Pair{S16, 1, 11025, S16, 1, 16000},
                          Pair{S16, 1, 11025, S16, 4, 11025}, Pair{S16, 4, 11025, S16, 4, 22050}}) {
        EXPECT_EQ(convert({0, 0}, p, false)[0], -1) << testing::PrintToString(p);
    }
}

TEST(FillAudio, MixingMatchesSdlAndClipsBothWays) {
    // No device open: SDL mixes as 16-bit signed then, as the game's device.
    const int16_t a[] = {0, 1, -1, 100, -100, 20000, -20000, 32767, -32768, 32767, -32768, 12345};
    const int16_t b[] = {5, -7, 32767, -32768, 32767, 20000, -20000, 1, -1, 32767, -32768, -999};
    const uint8_t *src = reinterpret_cast<const uint8_t*>(a),
                  *dst = reinterpret_cast<const uint8_t*>(b);
    // An odd length: the last byte, half a sample, is left alone.
    for (int volume : {128, 100, 1, 0}) {
        std::vector<uint8_t> real(dst, dst + sizeof b), mine = real;
        SDL_MixAudio(real.data(), src, sizeof a - 1, volume);
        Fill_mixAudio(mine.data(), src, sizeof a - 1, volume);
        EXPECT_TRUE(real == mine) << volume;
    }
}

TEST(FillVideo, TheBackgroundInTheDisplayFormatAsSdlMakesIt) {
    SDL_ClearError();
    EXPECT_TRUE(Fill_displayFormat(nullptr) == nullptr && *SDL_GetError()); // no display yet
    SDL_Surface* bg = SDL_LoadBMP_RW(RES_toSDL_RWops("bg.bmp"), 1);
    ASSERT_TRUE(bg && SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && SDL_SetVideoMode(640, 480, 0, 0));
    SDL_SetColorKey(bg, SDL_SRCCOLORKEY | SDL_RLEACCEL, 0); // passed on
    SDL_Surface *real = SDL_DisplayFormat(bg), *mine = Fill_displayFormat(bg);
    ASSERT_TRUE(real && mine && mine->flags == real->flags && mine->pitch == real->pitch);
    EXPECT_EQ(memcmp(mine->pixels, real->pixels, size_t(real->pitch) * real->h), 0);
    for (SDL_Surface* s : {real, mine, bg}) {
        SDL_FreeSurface(s);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(FillVideo, TurnedAndZoomedFramesMatchSdlGfx) {
    const double angles[] = {0, 0.0005, 1, 10, -10, 45, 74.4049, 90, 170};
    const double zooms[][2] = {{1, 1}, {2.5, 1}, {0.5, 1}, {0.7, 0.7}, {0.1, 0.1}};
    auto check = [&](SDL_Surface* frame) {
        for (double angle : angles) {
            for (const auto& zoom : zooms) {
                SCOPED_TRACE(testing::Message() << frame->w << "x" << frame->h << " " << angle
                                                << " " << zoom[0] << " " << zoom[1]);
                SDL_Surface* real = rotozoomSurfaceXY(frame, angle, zoom[0], zoom[1], 1);
                SDL_Surface* mine = Fill_rotozoom(frame, angle, zoom[0], zoom[1], 1);
                ASSERT_TRUE(real && mine && mine->w == real->w && mine->h == real->h &&
                            mine->pitch == real->pitch);
                EXPECT_EQ(memcmp(mine->format, real->format, sizeof *real->format), 0);
                EXPECT_TRUE((mine->flags & SDL_SRCALPHA) && !mine->locked && !frame->locked);
                EXPECT_EQ(memcmp(mine->pixels, real->pixels, size_t(real->pitch) * real->h), 0);
                SDL_FreeSurface(real);
                SDL_FreeSurface(mine);
            }
        }
        SDL_FreeSurface(frame);
    };
    // Every fifth frame of the skier, and the scratch.
    for (const Test_Strip& strip : {Test_strips[IMG_FLY], Test_strips[IMG_SCRATCH]}) {
        SDL_Surface* s = IMG_Load_RW(RES_toSDL_RWops(strip.name), 1);
        ASSERT_TRUE(s && s->format->BitsPerPixel == 32);
        for (int y = 0; y < strip.frameH * strip.frames; y += 5 * strip.frameH) {
            check(SDL_CreateRGBSurfaceFrom(static_cast<uint8_t*>(s->pixels) + y * s->pitch, s->w,
                                           strip.frameH, 32, s->pitch, s->format->Rmask,
                                           s->format->Gmask, s->format->Bmask, s->format->Amask));
        }
        SDL_FreeSurface(s);
    }
    // A sound's bytes as noise, odd in size and with more noise after it.
    std::vector<uint8_t> noise = soundBytes("hui.wav");
    check(
        SDL_CreateRGBSurfaceFrom(&noise[4000], 13, 7, 32, 52, 0xff, 0xff00, 0xff0000, 0xff000000));
}
