// Starting sounds on one thread while another mixes them, as the game logic
// and the audio thread do. Built with ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"

namespace {

constexpr int PLAYS = 200000; // Snd_play calls on the game thread
constexpr int MIXES = 20000;  // callback calls on the mixing thread
constexpr int BUFFER = 2048;

// What the mixer may find in a sound: its run lies inside its data and ends
// exactly at the data's end.
bool consistent(const SoundEntry& s) {
    return s.playPos >= s.data && s.playPos + s.remaining == s.data + s.length &&
           (s.playing == 0 || s.playing == 1);
}

TEST(SoundThreads, PlayWhileMixingNeverShowsAHalfRestartedSound) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);

    // Lengths chosen so that sounds end inside buffers, on buffer edges and
    // after several buffers.
    const uint32_t lengths[SOUND_COUNT] = {1000, 2048, 4096, 6000, 10368, 12672};
    static uint8_t storage[SOUND_COUNT][12672];
    static SoundEntry entries[SOUND_COUNT];
    for (int i = 0; i < SOUND_COUNT; i++) {
        memset(storage[i], 0x11 * (i + 1), sizeof storage[i]);
        entries[i] = SoundEntry{};
        entries[i].data = storage[i];
        entries[i].playPos = storage[i] + lengths[i];
        entries[i].length = lengths[i];
    }
    GameRecord record{};
    record.snd = entries;

    // The open device supplies the lock that its own audio thread takes
    // around the callback. It stays paused: the mixing thread below stands in
    // for the audio thread and takes the same lock, so the run is bounded by
    // iterations and not by time.
    ASSERT_EQ(init_Audio(&record), 1);

    std::atomic<int> ready{0};
    int inconsistent = 0;
    int mixedWhilePlaying = 0;
    std::thread mixer([&] {
        std::vector<uint8_t> buffer(BUFFER);
        ready.fetch_add(1);
        while (ready.load() < 2) {
        }
        for (int call = 0; call < MIXES; call++) {
            memset(buffer.data(), 0, buffer.size());
            SDL_LockAudio();
            for (const SoundEntry& s : entries) {
                if (!consistent(s)) {
                    inconsistent++;
                }
                if (s.playing == 1) {
                    mixedWhilePlaying++;
                }
            }
            my_audio_callback(&record, buffer.data(), BUFFER);
            for (const SoundEntry& s : entries) {
                if (!consistent(s)) {
                    inconsistent++;
                }
            }
            SDL_UnlockAudio();
        }
    });

    // Every sound already plays when the mixer starts, so its first call
    // mixes them all whatever the scheduling.
    for (SoundEntry& s : entries) {
        Snd_play(&s);
    }
    ready.fetch_add(1);
    while (ready.load() < 2) {
    }
    for (int k = 0; k < PLAYS; k++) {
        Snd_play(&entries[k % SOUND_COUNT]);
    }
    mixer.join();

    EXPECT_EQ(inconsistent, 0);
    EXPECT_GE(mixedWhilePlaying, SOUND_COUNT);
    for (const SoundEntry& s : entries) {
        EXPECT_TRUE(consistent(s));
    }

    close_Audio();
    SDL_Quit();
}

} // namespace
