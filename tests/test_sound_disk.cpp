// The game's sounds reach the device: SDL's disk driver writes every buffer
// the callback fills to a file, which is then compared with the sound.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "tests/support/sound_catalogue.h"

namespace {

constexpr size_t BUFFER = 2048;
constexpr long POLLS = 10000000; // upper bound on waiting for the sound to end

std::vector<uint8_t> readFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        return bytes;
    }
    uint8_t chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    fclose(f);
    return bytes;
}

TEST(SoundDisk, ReadySoundIsWrittenByTheDevice) {
    const std::string path =
        ::testing::TempDir() + "snowpunt_sound_" + std::to_string(getpid()) + ".raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);

    GameRecord record{};
    record.snd = snd;
    ASSERT_EQ(init_Audio(&record), 1);
    load_sounds(snd, sounds, SOUND_COUNT);
    SDL_PauseAudio(0);

    SoundEntry& ready = snd[1];
    ASSERT_EQ(ready.length, 46080u); // 23040 stored bytes at 11025 Hz, doubled
    const std::vector<uint8_t> expected(ready.data, ready.data + ready.length);
    Snd_play(&ready);

    // The disk driver calls back as fast as it can write; the sound spans 23
    // buffers. Wait until the callback has let it go.
    bool ended = false;
    for (long poll = 0; poll < POLLS && !ended; poll++) {
        SDL_LockAudio();
        ended = ready.playing == 0;
        SDL_UnlockAudio();
        if (!ended) {
            std::this_thread::yield();
        }
    }
    // Closing waits for the audio thread, which writes the buffer it has just
    // filled before it stops, and closes the file.
    close_Audio();
    unload_sounds(snd, SOUND_COUNT);
    SDL_Quit();
    ASSERT_TRUE(ended);

    const std::vector<uint8_t> file = readFile(path);
    remove(path.c_str());
    ASSERT_GE(file.size(), expected.size());
    EXPECT_EQ(file.size() % BUFFER, 0u);

    // The sound is not silent, and the first buffer holding it starts with
    // its first byte: find where its first non-zero byte landed.
    size_t firstLoud = 0;
    while (firstLoud < expected.size() && expected[firstLoud] == 0) {
        firstLoud++;
    }
    ASSERT_LT(firstLoud, expected.size());
    size_t heard = 0;
    while (heard < file.size() && file[heard] == 0) {
        heard++;
    }
    ASSERT_LT(heard, file.size()) << "the file holds only silence";
    ASSERT_GE(heard, firstLoud);
    const size_t start = heard - firstLoud;
    EXPECT_EQ(start % BUFFER, 0u);
    ASSERT_LE(start + expected.size(), file.size());

    // Sample for sample the converted sound, then silence to the end.
    size_t mismatches = 0;
    for (uint32_t k = 0; k < expected.size() / 2; k++) {
        if (Test_sample(&file[start], k) != Test_sample(expected.data(), k)) {
            mismatches++;
        }
    }
    EXPECT_EQ(mismatches, 0u);
    size_t after = 0;
    for (size_t k = start + expected.size(); k < file.size(); k++) {
        after += file[k] != 0;
    }
    EXPECT_EQ(after, 0u);
}

} // namespace
