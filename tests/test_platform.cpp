// The platform's pieces on their own: the assets carried by the executable
// and their lookup by name; the mixer run on buffers of the test's own; the
// six sounds converted for the device; and sounds started on one thread while
// another mixes them, as the game logic and the audio thread do (built with
// ThreadSanitizer as well). What start-up does with them, the image table and
// what reaches the device in play, is checked by the start-up test.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <malloc.h>
#include <thread>
#include <utility>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "tests/support/test_env.h"

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
                                   {"Az.bmp", ", size: 2\nBytes: 42 4d\n"},
                                   {"NONE.WAV", ", size: 0\nBytes:\n"},
                                   {"big.pn", nullptr},
                                   {"big.png ", nullptr},
                                   {"zbig.png", nullptr},
                                   {"past.end", nullptr}};
    for (auto& row : rows) {
        SCOPED_TRACE(row[0]);
        const Asset* found = RES_find(row[0]);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        SDL_RWops* rw = RES_toSDL_RWops(row[0]);
        fflush(stdout);
        std::string out = testing::internal::GetCapturedStdout(),
                    err = testing::internal::GetCapturedStderr();
        if (!row[1]) {
            EXPECT_EQ(out + err + (rw || found ? "found" : ""),
                      "Error finding resource " + std::string(row[0]) + "!\n");
            continue;
        }
        ASSERT_NE(found, nullptr);
        auto address = std::to_string(reinterpret_cast<uintptr_t>(found->begin));
        EXPECT_EQ(out + err, "Resource: " + std::string(row[0]) + ", buffer: " + address + row[1]);
        // SDL 2 makes no stream over zero bytes (classic SDL an empty one); no asset is empty.
        ASSERT_EQ(rw == nullptr, found->begin == found->end && Test_sdl12compat());
        EXPECT_EQ(rw ? SDL_RWseek(rw, 0, RW_SEEK_END) : 0, found->end - found->begin);
        if (rw) {
            SDL_RWclose(rw);
        }
    }
    EXPECT_EQ(RES_find(nullptr), nullptr);
    RES_catalogue = &RES_linked;
}

// With the audio subsystem down, SDL_MixAudio mixes signed 16-bit samples.
TEST(Mixer, ScriptsOfPlaysAndCallbacks) {
    ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    // The voices (sound `entry` of `bytes` bytes whose sample k is first + k,
    // started and flagged; entry 6 lies past the game's sounds), the callbacks run (voice 0 is
    // started again before call `again`), then the first samples of the last 2048-byte buffer, the
    // byte from which it is silent, and voice 0's flag and remaining bytes.
    struct Row {
        std::vector<std::array<int, 4>> voices;
        int calls, again;
        std::vector<int> out;
        int silentFrom, playing, remaining;
    };
    const Row rows[] = {
        {{{2, 1000, 1, 1}, {6, 2048, 9, 1}}, 1, 0, {1, 2, 3}, 1000, 0, 0}, // ends as it is mixed
        {{{0, 4096, 1, 1}}, 2, 0, {1025, 1026}, 2048, 1, 0},
        {{{0, 4096, 1, 1}}, 3, 0, {0}, 0, 0, 0}, // a third call finds it ended
        {{{5, 6144, 1, 1}}, 3, 3, {1, 2}, 2048, 1, 4096},
        {{{1, 100, 1, 1}}, 2, 2, {1, 2}, 100, 0, 0},
        {{{1, 10, 30000, 1}, {4, 6, 10000, 1}}, 1, 0, {32767, 32767, 32767, 30003}, 10, 0, 0},
        {{{3, 4, 100, 2}, {0, 4, 200, 1}}, 1, 0, {200, 201}, 4, 2, 4}, // a flag of 2 is no play
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(&r - rows);
        SoundEntry entries[SOUND_COUNT + 1] = {};
        theGame.snd = entries;
        std::vector<int16_t> data[SOUND_COUNT + 1];
        for (auto [entry, bytes, first, flag] : r.voices) {
            for (int k = 0; k < bytes / 2; k++) {
                data[entry].push_back(int16_t(first + k));
            }
            entries[entry].data = reinterpret_cast<uint8_t*>(data[entry].data());
            entries[entry].length = bytes;
            Snd_play(&entries[entry]);
            entries[entry].playing = uint8_t(flag);
        }
        std::vector<int16_t> out;
        for (int call = 1; call <= r.calls; call++) {
            if (call == r.again) {
                Snd_play(&entries[r.voices[0][0]]);
            }
            out.assign(1024, 0);
            my_audio_callback(&theGame, nullptr, 2048); // no buffer: nothing mixed
            my_audio_callback(&theGame, reinterpret_cast<uint8_t*>(out.data()), 2048);
            for (const SoundEntry& s : entries) {
                EXPECT_EQ(s.playPos + s.remaining, s.data + s.length) << "call " << call;
            }
        }
        EXPECT_EQ(std::vector<int>(out.begin(), out.begin() + long(r.out.size())), r.out);
        EXPECT_EQ(std::count(out.begin() + r.silentFrom / 2, out.end(), 0),
                  1024 - r.silentFrom / 2);
        EXPECT_TRUE(r.silentFrom == 0 || out[r.silentFrom / 2 - 1] != 0);
        const SoundEntry& s = entries[r.voices[0][0]];
        EXPECT_EQ((std::vector<int>{s.playing, int(s.remaining)}),
                  (std::vector<int>{r.playing, r.remaining}));
    }
}

TEST(Loading, EachSoundIsItsWaveConvertedForTheDeviceAndUnloadingGivesBackAllLoadingTakes) {
    theGame.snd = snd;
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) + init_Audio(&theGame), 1);
    ASSERT_NE(SDL_SetVideoMode(640, 480, 32, 0), nullptr);
    // Sounds and the scene loaded and given back: the heap as it was (after a first time).
    auto cycle = [](bool unload) {
        testing::internal::CaptureStdout();
        auto inUse = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; }; // heap and mapped
        const size_t heap = inUse();
        load_sounds(snd, sounds, SOUND_COUNT);
        load_scene(); // the strips, the record and the background
        for (ImageEntry& row : sprtbl) {
            SDL_FreeSurface(std::exchange(row.surface, nullptr));
        }
        SDL_FreeSurface(std::exchange(bg, nullptr));
        if (unload) {
            unload_sounds(snd, SOUND_COUNT);
        }
        const size_t left = inUse() - heap;
        testing::internal::GetCapturedStdout();
        return left;
    };
    cycle(false);
    // The device plays 22050 Hz: the sounds stored at 11025 Hz double.
    const uint32_t lengths[SOUND_COUNT] = {2 * 10368, 2 * 23040, 2 * 73728,
                                           2 * 6912,  2 * 9216,  12672}; // beat ... lift
    for (int i = 0; i < SOUND_COUNT; i++) {
        EXPECT_EQ(snd[i].length, lengths[i]) << sounds[i];
    }
    // Lift needs no conversion: its samples follow a 44-byte header.
    EXPECT_EQ(memcmp(snd[SND_LIFT].data, RES_find("lift.wav")->begin + 44, 12672), 0);
    unload_sounds(snd, SOUND_COUNT);
    EXPECT_EQ(cycle(true), 0u) << "exact with GLIBC_TUNABLES=glibc.malloc.tcache_count=0 (ctest)";
    load_sounds(snd, nullptr, SOUND_COUNT); // nothing to load without names or a table
    load_sprites(nullptr, IMAGE_COUNT);
    SoundEntry two[3] = {};
    two[2].data = static_cast<uint8_t*>(malloc(16));
    unload_sounds(two, 2);
    free(two[2].data); // a second free would abort
    close_Audio();
    EXPECT_TRUE(SDL_GetAudioStatus() == SDL_AUDIO_STOPPED && hardware_spec == nullptr);
    SDL_Quit();
}

TEST(SoundThreads, PlayWhileMixingNeverShowsAHalfRestartedSound) {
    // Sounds that end inside buffers, on buffer edges and after several.
    const uint32_t lengths[SOUND_COUNT] = {1000, 2048, 4096, 6000, 10368, 12672};
    static uint8_t storage[SOUND_COUNT][12672];
    SoundEntry entries[SOUND_COUNT] = {};
    for (int i = 0; i < SOUND_COUNT; i++) {
        entries[i].data = storage[i];
        entries[i].length = lengths[i];
        Snd_play(&entries[i]);
    }
    theGame.snd = entries;
    // The paused device's lock, taken by the thread below as by the audio thread.
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO) + init_Audio(&theGame), 1);
    int inconsistent = 0, mixedWhilePlaying = 0;
    std::thread mixer([&] {
        uint8_t buffer[2048] = {};
        for (int call = 0; call < 20000; call++) {
            SDL_LockAudio();
            my_audio_callback(&theGame, buffer, sizeof buffer);
            for (const SoundEntry& s : entries) {
                inconsistent += s.playPos < s.data || s.playPos + s.remaining != s.data + s.length;
                mixedWhilePlaying += s.playing == 1;
            }
            SDL_UnlockAudio();
        }
    });
    for (int k = 0; k < 200000; k++) {
        Snd_play(&entries[k % SOUND_COUNT]);
    }
    mixer.join();
    EXPECT_EQ(inconsistent, 0);
    EXPECT_GT(mixedWhilePlaying, 0);
    close_Audio();
    SDL_Quit();
}
