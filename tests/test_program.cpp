// The whole program: start-up with its two timed screens, the fatal and the
// survivable failures of start-up, and the real executable run headless.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
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

// The order in which start-up opens the assets.
const std::vector<std::string> OPEN_ORDER = {
    "promo1.bmp",   "ti.bmp",    "beat.wav",    "ready.wav", "hui.wav",    "hepp.wav",
    "bounce.wav",   "lift.wav",  "fly.png",     "font.png",  "ice.png",    "look.png",
    "prepjump.png", "rock.png",  "scratch.png", "sfont.png", "shadow.png", "sign.png",
    "ssign.png",    "stick.png", "stree.png",   "TOP.png",   "tree.png",   "grumm.png",
    "signshad.png", "bg.bmp"};

std::vector<std::string> openedAssets(const std::string& out) {
    std::vector<std::string> names;
    std::regex line("Resource: ([^,]+), buffer: [0-9]+, size: [0-9]+\nBytes: [0-9a-f]+ [0-9a-f]+ "
                    "[0-9a-f]+ [0-9a-f]+\n");
    for (auto it = std::sregex_iterator(out.begin(), out.end(), line); it != std::sregex_iterator();
         ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

// SDL_main run in this process on a fake clock. The game plays `frames`
// frames, then Escape is released.
struct MainRun {
    std::string out;
    std::vector<uint32_t> sleeps;
    int result = -1;
};

void releaseStartupResources() {
    for (ImageEntry& row : sprtbl) {
        SDL_FreeSurface(row.surface);
        row.surface = nullptr;
        row.frameRect = SDL_Rect{0, 0, 0, 0};
    }
    SDL_FreeSurface(bg);
    bg = nullptr;
    screen = nullptr;
    RES_catalogue = &RES_linked;
}

MainRun runMain(int frames, const std::function<void(Test_Clock&)>& adjust = nullptr) {
    MainRun run;
    Test_Clock clock;
    int played = 0;
    clock.onSleep = [&](uint32_t ms) {
        if (ms > 16) {
            return; // one of the two start-up windows
        }
        if (++played == frames) {
            SDL_Event escape = Test_keyUp(SDLK_ESCAPE);
            SDL_PushEvent(&escape);
        }
    };
    if (adjust) {
        adjust(clock);
    }
    Test_useFakeClock(&clock);
    fflush(stdout);
    testing::internal::CaptureStdout();
    char name[] = "snowpunt";
    char* argv[] = {name, nullptr};
    run.result = SDL_main(1, argv);
    fflush(stdout);
    run.out = testing::internal::GetCapturedStdout();
    Test_useFakeClock(nullptr);
    run.sleeps = clock.sleeps;
    releaseStartupResources();
    return run;
}

TEST(StartUp, ShowsBothScreensForTheirTimeLoadsEverythingAndEndsInOrder) {
    MainRun run = runMain(3);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(openedAssets(run.out), OPEN_ORDER);
    // The clock stood still while loading, so each screen sleeps its whole
    // 3000 ms; then three game frames of 16 ms.
    EXPECT_EQ(run.sleeps, (std::vector<uint32_t>{3000, 3000, 16, 16, 16}));
    EXPECT_NE(run.out.find("height2ang: 0.001648\nang.max: 74.404907\n"), std::string::npos);
    EXPECT_LT(run.out.find("ang.max"), run.out.find("Resource: bg.bmp"));
    EXPECT_EQ(run.out.find("Error"), std::string::npos) << run.out;
}

TEST(StartUp, SlowLoadingIsNotPaddedOut) {
    // The second window's loading takes 5000 ms: the title stays up for
    // those 5000 ms and the game starts at once.
    MainRun run = runMain(1, [](Test_Clock& clock) {
        clock.onRead = [&clock](int reads) {
            if (reads == 3) { // the reading that closes the second window
                clock.now += 5000;
            }
        };
    });
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.sleeps, (std::vector<uint32_t>{3000, 16}));
}

TEST(StartUp, MissingPromoStillKeepsItsWindow) {
    Test_Catalogue catalogue;
    Test_makeCatalogue(&catalogue, "PROMO1.BMP");
    RES_catalogue = &catalogue.catalogue;
    testing::internal::CaptureStderr();
    MainRun run = runMain(1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(run.result, 0);
    EXPECT_NE(err.find("Error finding resource promo1.bmp!\n"), std::string::npos);
    EXPECT_TRUE(std::regex_search(run.out, std::regex("^Error loading image: [^\n]*Error blitting "
                                                      "image: [^\n]*Resource: ti\\.bmp")))
        << run.out;
    EXPECT_EQ(run.sleeps.at(0), 3000u);
}

TEST(StartUp, BrokenTitleAndBackgroundAreReportedAndThePlayGoesOn) {
    static const uint8_t notABitmap[] = "BM but nothing else that a bitmap needs";
    Test_Catalogue catalogue;
    Test_makeCatalogue(&catalogue, "TI.BMP", notABitmap, sizeof notABitmap);
    Asset* background = nullptr;
    for (uint16_t i = 0; i < catalogue.catalogue.count; i++) {
        if (std::string(catalogue.assets[i].name) == "BG.BMP") {
            background = &catalogue.assets[i];
        }
    }
    ASSERT_NE(background, nullptr);
    background->begin = notABitmap;
    background->end = notABitmap + sizeof notABitmap;
    RES_catalogue = &catalogue.catalogue;
    MainRun run = runMain(5);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(std::regex_search(
        run.out, std::regex("Resource: ti\\.bmp[^\n]*\nBytes[^\n]*\nError loading image: ")));
    EXPECT_NE(run.out.find("Error loading bg image!\n"), std::string::npos);
    EXPECT_EQ(run.sleeps.size(), 7u); // both windows and five frames
}

TEST(StartUp, MissingStripIsReportedAndThePlayGoesOn) {
    Test_Catalogue catalogue;
    Test_makeCatalogue(&catalogue, "GRUMM.PNG");
    RES_catalogue = &catalogue.catalogue;
    testing::internal::CaptureStderr();
    MainRun run = runMain(80);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(run.result, 0);
    EXPECT_NE(err.find("Error finding resource grumm.png!\n"), std::string::npos);
    EXPECT_TRUE(
        std::regex_search(run.out, std::regex("Error loading title image grumm\\.png: .*!\n")));
    EXPECT_TRUE(std::regex_search(run.out, std::regex("Resource: signshad\\.png")));
}

// The fatal paths end the process; they run in a child process.
TEST(StartUpDeath, MultimediaLayerThatCannotStartEndsWithMinusOne) {
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            dup2(2, 1); // the message goes to standard output
            char* argv[] = {nullptr};
            SDL_main(0, argv);
        },
        testing::ExitedWithCode(255), "^Could not initialize SDL: .+\\.\n");
}

SDL_Surface* noMode(int, int, int, uint32_t) {
    SDL_SetError("no such mode");
    return nullptr;
}

TEST(StartUpDeath, VideoModeThatCannotBeSetEndsWithOne) {
    EXPECT_EXIT(
        {
            Startup_setVideoMode = noMode;
            char* argv[] = {nullptr};
            SDL_main(0, argv);
        },
        testing::ExitedWithCode(1), "^Couldn't set 640x480x32 video mode: no such mode\n$");
}

TEST(StartUpDeath, MissingSoundEndsWithMinusOne) {
    EXPECT_EXIT(
        {
            static Test_Catalogue catalogue;
            Test_makeCatalogue(&catalogue, "HEPP.WAV");
            RES_catalogue = &catalogue.catalogue;
            Test_Clock clock;
            Test_useFakeClock(&clock);
            char* argv[] = {nullptr};
            SDL_main(0, argv);
        },
        testing::ExitedWithCode(255),
        "Error finding resource hepp.wav!\nError: Could not open hepp.wav: .*\n");
}

TEST(Executable, PassesBothScreensAndEndsLikeAClosedWindow) {
    Test_ProgramRun run = Test_runProgram({"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(WIFEXITED(run.status)) << "ended by signal " << WTERMSIG(run.status);
    EXPECT_EQ(WEXITSTATUS(run.status), 0);
    EXPECT_GE(run.seconds, 6.0);
    EXPECT_EQ(openedAssets(run.out), OPEN_ORDER) << run.out;
    EXPECT_NE(run.out.find("height2ang: 0.001648\nang.max: 74.404907\n"), std::string::npos);
}

} // namespace
