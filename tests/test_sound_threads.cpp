// Starting sounds on one thread while another mixes them, as the game logic
// and the audio thread do. Built with ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <thread>

#include "platform/audio.h"
#include "tests/support/test_env.h"

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
