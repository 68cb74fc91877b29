// The mixer driven directly on buffers, and the loading of the real sounds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "tests/support/sound_catalogue.h"
#include "tests/support/test_env.h"

namespace {

constexpr int BUFFER = 2048; // what the device asks for: 1024 samples of 2 bytes

// A game record whose sound link points at six entries of the test's own.
// The audio subsystem is down, so SDL_MixAudio mixes signed 16-bit samples.
class Mixer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        memset(entries, 0, sizeof entries);
        record.snd = entries;
    }
    void TearDown() override {
        for (auto& d : owned) {
            free(d);
        }
    }

    // Gives entry i a sound of `bytes` bytes whose sample k is `first + k`.
    uint8_t* give(int i, uint32_t bytes, int16_t first = 1) {
        uint8_t* d = static_cast<uint8_t*>(malloc(bytes));
        for (uint32_t k = 0; k < bytes / 2; k++) {
            Test_setSample(d, k, static_cast<int16_t>(first + static_cast<int16_t>(k)));
        }
        owned.push_back(d);
        entries[i].data = d;
        entries[i].length = bytes;
        return d;
    }

    // One callback on a silent buffer of `len` bytes.
    std::vector<uint8_t> mix(int len = BUFFER) {
        std::vector<uint8_t> out(static_cast<size_t>(len), 0);
        my_audio_callback(&record, out.data(), len);
        return out;
    }

    void expectInvariant() {
        for (int i = 0; i < SOUND_COUNT; i++) {
            EXPECT_EQ(entries[i].playPos + entries[i].remaining,
                      entries[i].data + entries[i].length)
                << "sound " << i;
        }
    }

    SoundEntry entries[SOUND_COUNT];
    GameRecord record{};
    std::vector<uint8_t*> owned;
};

bool silent(const std::vector<uint8_t>& b, size_t from = 0) {
    for (size_t k = from; k < b.size(); k++) {
        if (b[k] != 0) {
            return false;
        }
    }
    return true;
}

TEST_F(Mixer, ShortSoundIsMixedOnceAndEndsInTheSameCall) {
    uint8_t* d = give(2, 1000);
    Snd_play(&entries[2]);
    auto out = mix();
    EXPECT_EQ(entries[2].playing, 0);
    EXPECT_EQ(entries[2].remaining, 0u);
    EXPECT_EQ(entries[2].playPos, d + 1000);
    EXPECT_EQ(memcmp(out.data(), d, 1000), 0);
    EXPECT_TRUE(silent(out, 1000));
    EXPECT_TRUE(silent(mix()));
    expectInvariant();
}

TEST_F(Mixer, SoundOfTwoBuffersTakesTwoCallsAndAThirdToEnd) {
    uint8_t* d = give(0, 4096);
    Snd_play(&entries[0]);

    auto first = mix();
    EXPECT_EQ(entries[0].playing, 1);
    EXPECT_EQ(entries[0].remaining, 2048u);
    EXPECT_EQ(memcmp(first.data(), d, 2048), 0);

    auto second = mix();
    EXPECT_EQ(entries[0].playing, 1); // nothing left, but still marked
    EXPECT_EQ(entries[0].remaining, 0u);
    EXPECT_EQ(memcmp(second.data(), d + 2048, 2048), 0);

    auto third = mix();
    EXPECT_EQ(entries[0].playing, 0);
    EXPECT_EQ(entries[0].playPos, d + 4096);
    EXPECT_TRUE(silent(third));
    expectInvariant();
}

TEST_F(Mixer, RestartPlaysFromTheFirstByteAgain) {
    uint8_t* d = give(5, 6144);
    Snd_play(&entries[5]);
    mix();
    mix();
    EXPECT_EQ(entries[5].remaining, 2048u);

    Snd_play(&entries[5]);
    EXPECT_EQ(entries[5].playPos, d);
    EXPECT_EQ(entries[5].remaining, 6144u);
    EXPECT_EQ(entries[5].playing, 1);
    auto out = mix();
    EXPECT_EQ(memcmp(out.data(), d, 2048), 0);
    expectInvariant();
}

TEST_F(Mixer, RestartAfterTheEndPlaysAgain) {
    uint8_t* d = give(1, 100);
    Snd_play(&entries[1]);
    mix();
    ASSERT_EQ(entries[1].playing, 0);
    Snd_play(&entries[1]);
    auto out = mix();
    EXPECT_EQ(memcmp(out.data(), d, 100), 0);
    EXPECT_EQ(entries[1].playing, 0);
}

TEST_F(Mixer, TwoSoundsAreSummedWithClipping) {
    uint8_t* a = give(1, 10);
    uint8_t* b = give(4, 6);
    const int16_t av[5] = {1000, 30000, -30000, -20000, 7};
    const int16_t bv[3] = {2000, 10000, -10000};
    for (int k = 0; k < 5; k++) {
        Test_setSample(a, k, av[k]);
    }
    for (int k = 0; k < 3; k++) {
        Test_setSample(b, k, bv[k]);
    }
    Snd_play(&entries[4]);
    Snd_play(&entries[1]);

    auto out = mix();
    // Both start at the start of the buffer; beyond b's end only a sounds.
    EXPECT_EQ(Test_sample(out.data(), 0), 3000);
    EXPECT_EQ(Test_sample(out.data(), 1), 32767);
    EXPECT_EQ(Test_sample(out.data(), 2), -32768);
    EXPECT_EQ(Test_sample(out.data(), 3), -20000);
    EXPECT_EQ(Test_sample(out.data(), 4), 7);
    EXPECT_TRUE(silent(out, 10));
    EXPECT_EQ(entries[1].playing, 0);
    EXPECT_EQ(entries[4].playing, 0);
}

TEST_F(Mixer, SixSoundsAtOnceAndOnlyFlagOneCounts) {
    for (int i = 0; i < SOUND_COUNT; i++) {
        give(i, 4, 100);
        Snd_play(&entries[i]);
    }
    entries[3].playing = 2; // not exactly 1: left alone
    auto out = mix();
    // Samples 100 and 101 from five sounds.
    EXPECT_EQ(Test_sample(out.data(), 0), 500);
    EXPECT_EQ(Test_sample(out.data(), 1), 505);
    EXPECT_EQ(entries[3].remaining, 4u);
    EXPECT_EQ(entries[3].playing, 2);
}

TEST_F(Mixer, InvariantHoldsThroughPlayback) {
    const uint32_t lengths[SOUND_COUNT] = {2, 2048, 2050, 4096, 9000, 20736};
    for (int i = 0; i < SOUND_COUNT; i++) {
        give(i, lengths[i]);
        Snd_play(&entries[i]);
    }
    for (int call = 0; call < 20; call++) {
        if (call == 3) {
            Snd_play(&entries[5]);
        }
        mix(call % 2 ? 2048 : 1024);
        expectInvariant();
    }
    for (int i = 0; i < SOUND_COUNT; i++) {
        EXPECT_EQ(entries[i].playing, 0) << "sound " << i;
    }
}

TEST_F(Mixer, NullArgumentsAreHarmless) {
    Snd_play(nullptr);
    load_sounds(nullptr, sounds, SOUND_COUNT);
    load_sounds(entries, nullptr, SOUND_COUNT);
    unload_sounds(nullptr, SOUND_COUNT);
    for (int i = 0; i < SOUND_COUNT; i++) {
        EXPECT_EQ(entries[i].data, nullptr);
    }
    GameRecord empty{};
    std::vector<uint8_t> out(BUFFER, 0);
    my_audio_callback(&empty, out.data(), BUFFER);
    my_audio_callback(nullptr, out.data(), BUFFER);
    EXPECT_TRUE(silent(out));
}

// Every test below brings the audio subsystem up and takes it down again.
class Device : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* d = getenv("SDL_AUDIODRIVER");
        driver = d ? d : "";
        memset(entries, 0, sizeof entries);
        record.snd = entries;
    }
    void TearDown() override {
        close_Audio();
        SDL_Quit();
        RES_catalogue = &RES_linked;
        if (driver.empty()) {
            unsetenv("SDL_AUDIODRIVER");
        } else {
            setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
        }
    }
    std::string driver;
    SoundEntry entries[SOUND_COUNT];
    GameRecord record{};
};

TEST_F(Device, RealSoundsAreConvertedToTheDeviceFormat) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(init_Audio(&record), 1);
    ASSERT_NE(hardware_spec, nullptr);
    EXPECT_EQ(hardware_spec->freq, 22050);
    EXPECT_EQ(hardware_spec->format, AUDIO_S16LSB);
    EXPECT_EQ(hardware_spec->channels, 1);
    EXPECT_EQ(hardware_spec->samples, 1024);
    EXPECT_EQ(hardware_spec->size, 2048u);
    EXPECT_EQ(hardware_spec->userdata, &record);

    load_sounds(entries, sounds, SOUND_COUNT);
    // 11025 Hz sounds double; LIFT is already at the device's rate.
    const uint32_t expected[SOUND_COUNT] = {20736, 46080, 147456, 13824, 18432, 12672};
    for (int i = 0; i < SOUND_COUNT; i++) {
        ASSERT_NE(entries[i].data, nullptr) << sounds[i];
        EXPECT_EQ(entries[i].length, expected[i]) << sounds[i];
        EXPECT_EQ(entries[i].playing, 0) << sounds[i];
    }
    // The record keeps the stored format.
    EXPECT_EQ(entries[0].spec.freq, 11025);
    EXPECT_EQ(entries[5].spec.freq, 22050);

    uint32_t liftLength = 0;
    const uint8_t* lift = Test_wavSamples("LIFT.WAV", &liftLength);
    ASSERT_NE(lift, nullptr);
    ASSERT_EQ(liftLength, 12672u);
    EXPECT_EQ(memcmp(entries[5].data, lift, liftLength), 0);
    // Copied, not the asset bytes themselves: they are read-only.
    EXPECT_NE(entries[5].data, lift);

    close_Audio();
    EXPECT_EQ(hardware_spec, nullptr);
    unload_sounds(entries, SOUND_COUNT);
}

TEST_F(Device, MissingSoundEndsTheProgram) {
    // The first sound and the last: either ends the loading with -1.
    SDL_AudioSpec device{};
    device.freq = 22050;
    device.format = AUDIO_S16LSB;
    device.channels = 1;
    hardware_spec = &device;
    struct Case {
        const char* missing;
        const char* message;
    };
    for (const Case& c : {Case{"BEAT.WAV", "Error: Could not open beat.wav"},
                          Case{"lift.wav", "Error finding resource lift.wav!\nError: Could not "
                                           "open lift.wav: "}}) {
        Test_Catalogue catalogue;
        Test_makeCatalogue(&catalogue, c.missing);
        RES_catalogue = &catalogue.catalogue;
        EXPECT_EXIT(load_sounds(entries, sounds, SOUND_COUNT), ::testing::ExitedWithCode(255),
                    c.message);
    }
    hardware_spec = nullptr;
}

TEST_F(Device, WithoutADeviceEverythingIsHarmless) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SDL_Init(SDL_INIT_AUDIO);
    ::testing::internal::CaptureStderr();
    uint8_t opened = init_Audio(&record);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(hardware_spec, nullptr);
    EXPECT_EQ(err.rfind("Couldn't open audio: ", 0), 0u) << err;
    EXPECT_EQ(err.back(), '\n');

    // The game goes on: sounds are started but never loaded, then released.
    Snd_play(&entries[1]);
    Snd_play(&entries[1]);
    EXPECT_EQ(entries[1].playing, 1);
    EXPECT_EQ(entries[1].playPos, nullptr);
    unload_sounds(entries, SOUND_COUNT);
    close_Audio();
    close_Audio();
}

TEST_F(Device, PlayIsHarmlessWithTheSubsystemUpButNoDeviceOpen) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    uint8_t data[8] = {};
    entries[0].data = data;
    entries[0].length = 8;
    Snd_play(&entries[0]);
    EXPECT_EQ(entries[0].playPos, data);
    EXPECT_EQ(entries[0].remaining, 8u);
}

TEST_F(Device, CloseThenPlayIsHarmless) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(init_Audio(&record), 1);
    close_Audio();
    Snd_play(&entries[2]);
    EXPECT_EQ(entries[2].playing, 1);
}

} // namespace
