// Failures the player could meet, through the real start-up: a sound whose
// bytes are no WAV the loader can read, and a machine without an audio
// device.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "platform/assets.h"
#include "tests/support/test_env.h"
#include "tests/support/test_frames.h"

namespace {

// Start-up with `name` carrying `bytes` instead of its sound, on a clock that
// stands still so that the two screens cost no time.
void startWithSound(const char* name, const uint8_t* bytes, size_t size) {
    static Test_Catalogue catalogue;
    Test_makeCatalogue(&catalogue, name, bytes, size);
    RES_catalogue = &catalogue.catalogue;
    static Test_Clock clock;
    Test_useFakeClock(&clock);
    char* argv[] = {nullptr};
    SDL_main(0, argv);
}

// A little-endian 16- or 32-bit number written into a byte vector.
void put(std::vector<uint8_t>& v, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++) {
        v[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// A canonical 44-byte header and `samples` mono 16-bit samples at 22050 Hz.
std::vector<uint8_t> wav(uint32_t samples, uint16_t formatTag = 1) {
    std::vector<uint8_t> v(44 + samples * 2, 0);
    memcpy(&v[0], "RIFF", 4);
    put(v, 4, static_cast<uint32_t>(v.size() - 8), 4);
    memcpy(&v[8], "WAVEfmt ", 8);
    put(v, 16, 16, 4);
    put(v, 20, formatTag, 2);
    put(v, 22, 1, 2);         // channels
    put(v, 24, 22050, 4);     // samples per second
    put(v, 28, 22050 * 2, 4); // bytes per second
    put(v, 32, 2, 2);         // block align
    put(v, 34, 16, 2);        // bits per sample
    memcpy(&v[36], "data", 4);
    put(v, 40, samples * 2, 4);
    return v;
}

// The whole of standard error: the loading message alone, with the layer's
// reason after the colon.
const char* const BOUNCE_MESSAGE = "^Error: Could not open bounce\\.wav: [^\n]+\n$";

TEST(BrokenSoundDeath, BytesThatAreNoWaveEndTheProgramWithMinusOne) {
    static const uint8_t text[] = "this is a text file, not a sound";
    EXPECT_EXIT(startWithSound("BOUNCE.WAV", text, sizeof text), testing::ExitedWithCode(255),
                BOUNCE_MESSAGE);
}

TEST(BrokenSoundDeath, BareRiffTagEndsTheProgramWithMinusOne) {
    // Four bytes: the tag that opens every WAV and nothing after it.
    static const uint8_t tag[4] = {'R', 'I', 'F', 'F'};
    EXPECT_EXIT(startWithSound("BOUNCE.WAV", tag, sizeof tag), testing::ExitedWithCode(255),
                BOUNCE_MESSAGE);
}

TEST(BrokenSoundDeath, HeaderCutShortEndsTheProgramWithMinusOne) {
    // The format chunk stops in the middle.
    static std::vector<uint8_t> cut = wav(100);
    cut.resize(30);
    EXPECT_EXIT(startWithSound("BOUNCE.WAV", cut.data(), cut.size()), testing::ExitedWithCode(255),
                BOUNCE_MESSAGE);
}

TEST(BrokenSoundDeath, UnknownSampleEncodingEndsTheProgramWithMinusOne) {
    // Format tag 0x55 (compressed) is none the loader knows.
    static const std::vector<uint8_t> compressed = wav(100, 0x55);
    EXPECT_EXIT(startWithSound("BOUNCE.WAV", compressed.data(), compressed.size()),
                testing::ExitedWithCode(255), BOUNCE_MESSAGE);
}

TEST(BrokenSound, AWellFormedStandInLoads) {
    // The same hand-made header with ordinary samples is accepted, so the
    // failures above come from the broken bytes and not from the header.
    const std::vector<uint8_t> good = wav(100);
    Test_Catalogue catalogue;
    Test_makeCatalogue(&catalogue, "BOUNCE.WAV", good.data(), good.size());
    RES_catalogue = &catalogue.catalogue;
    SoundEntry entry{};
    const char* const name[] = {"bounce.wav"};
    load_sounds(&entry, name, 1);
    RES_catalogue = &RES_linked;
    ASSERT_NE(entry.data, nullptr);
    EXPECT_EQ(entry.length, 200u);
    EXPECT_EQ(entry.spec.freq, 22050);
    EXPECT_EQ(entry.spec.channels, 1);
    unload_sounds(&entry, 1);
}

// --- The real executable without an audio device ---------------------------

TEST(NoAudioDevice, TheGameStartsPlaysSilentlyAndEndsLikeAClosedWindow) {
    Test_ProgramRun run =
        Test_runProgram({"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=no-such-driver"});
    ASSERT_TRUE(WIFEXITED(run.status)) << "ended by signal " << WTERMSIG(run.status);
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.out << run.err;
    // Only the device's failure is reported, once.
    EXPECT_EQ(run.err.rfind("Couldn't open audio: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    // No sound is loaded; everything else is, and the game record is built.
    EXPECT_EQ(run.out.find("Resource: beat.wav"), std::string::npos);
    EXPECT_EQ(run.out.find(".wav"), std::string::npos);
    EXPECT_NE(run.out.find("Resource: signshad.png"), std::string::npos);
    EXPECT_NE(run.out.find("height2ang: 0.001648\nang.max: 74.404907\n"), std::string::npos);
    EXPECT_NE(run.out.find("Resource: bg.bmp"), std::string::npos);
    EXPECT_EQ(run.out.find("Error"), std::string::npos) << run.out;
    // Both screens were shown for their time before the first frame ended it.
    EXPECT_GE(run.seconds, 6.0);
}

} // namespace
