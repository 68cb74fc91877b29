// The main loop: frame pacing and the handling of the player's input.
#include <gtest/gtest.h>

#include <cstring>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "platform/assets.h"
#include "tests/support/test_frames.h"

namespace {

TEST(FrameTiming, ShortFrameSleepsOutItsTarget) {
    Test_Clock clock;
    Test_useFakeClock(&clock);
    SDL_Surface* shown = screen;
    screen = nullptr; // nothing to flip
    clock.now = 5000;
    Frame_start();
    EXPECT_EQ(start_time, 5000u);
    clock.now += 5; // the frame's work took 5 ms
    Frame_end(16);
    EXPECT_EQ(end_time, 5005u);
    EXPECT_EQ(delta_time, 11);
    ASSERT_EQ(clock.sleeps.size(), 1u);
    EXPECT_EQ(clock.sleeps[0], 11u);
    screen = shown;
    Test_useFakeClock(nullptr);
}

TEST(FrameTiming, LateFrameIsFlippedAtOnce) {
    Test_Clock clock;
    Test_useFakeClock(&clock);
    SDL_Surface* shown = screen;
    screen = nullptr;
    Frame_start();
    clock.now += 20;
    Frame_end(16);
    EXPECT_EQ(delta_time, -4);
    EXPECT_TRUE(clock.sleeps.empty());
    // Exactly on time: nothing left to sleep either.
    Frame_start();
    clock.now += 16;
    Frame_end(16);
    EXPECT_EQ(delta_time, 0);
    EXPECT_TRUE(clock.sleeps.empty());
    // The tick counter wraps after 49.7 days; the difference still holds.
    clock.now = 0xFFFFFFFEu;
    Frame_start();
    clock.now = 3;
    Frame_end(3000);
    EXPECT_EQ(delta_time, 2995);
    screen = shown;
    Test_useFakeClock(nullptr);
}

// The loop runs on the real scene, drawn into the headless display.
class MainLoop : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        screen = SDL_SetVideoMode(640, 480, 0, SDL_SWSURFACE);
        ASSERT_NE(screen, nullptr);
        testing::internal::CaptureStdout();
        load_sprites(sprtbl, IMAGE_COUNT);
        Game_init();
        testing::internal::GetCapturedStdout();
    }
    static void TearDownTestSuite() {
        for (ImageEntry& row : sprtbl) {
            SDL_FreeSurface(row.surface);
            row.surface = nullptr;
        }
        screen = nullptr;
        SDL_Quit();
    }
    void SetUp() override {
        SDL_Event stale;
        while (SDL_PollEvent(&stale)) {
        }
        Game_setState(&theGame, STATE_WAIT);
        for (SoundEntry& s : snd) {
            s.playing = 0;
        }
    }

    // actionInput as each frame's rules saw it.
    std::vector<int> actions(const std::vector<std::vector<SDL_Event>>& script) {
        std::vector<int> seen;
        Test_runLoop(&theGame, script, [&](int) { seen.push_back(actionInput); });
        return seen;
    }
};

TEST_F(MainLoop, ReleaseActsForExactlyOneFrame) {
    std::vector<int> seen = actions({{Test_keyDown(SDLK_SPACE)}, {}, {Test_keyUp(SDLK_SPACE)}, {}});
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 1, 0}));
    seen = actions({{Test_buttonDown(SDL_BUTTON_LEFT)}, {Test_buttonUp(SDL_BUTTON_LEFT)}, {}});
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 0}));
}

TEST_F(MainLoop, SpaceAndLeftButtonInOneFrameActOnce) {
    std::vector<int> seen = actions({{Test_keyUp(SDLK_SPACE), Test_buttonUp(SDL_BUTTON_LEFT)}, {}});
    EXPECT_EQ(seen, (std::vector<int>{1, 0}));
}

TEST_F(MainLoop, OtherButtonsWheelAndKeysDoNothing) {
    std::vector<int> seen =
        actions({{Test_buttonUp(SDL_BUTTON_RIGHT)},
                 {Test_buttonUp(SDL_BUTTON_MIDDLE)},
                 {Test_buttonUp(SDL_BUTTON_WHEELUP), Test_buttonUp(SDL_BUTTON_WHEELDOWN)},
                 {Test_keyUp(SDLK_a), Test_keyUp(SDLK_LCTRL)},
                 {Test_keyDown(SDLK_ESCAPE), Test_keyDown(SDLK_RETURN)}});
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST_F(MainLoop, EscapeLeavesBeforeLaterEventsAndDrawsNothing) {
    Test_Clock clock;
    Test_useFakeClock(&clock);
    SDL_Event escape = Test_keyUp(SDLK_ESCAPE), space = Test_keyUp(SDLK_SPACE);
    SDL_PushEvent(&escape);
    SDL_PushEvent(&space);
    Game_loop(&theGame);
    Test_useFakeClock(nullptr);
    EXPECT_TRUE(clock.sleeps.empty()); // the frame was never finished
    EXPECT_EQ(actionInput, 0);
    SDL_Event left;
    ASSERT_EQ(SDL_PollEvent(&left), 1); // the Space release is still queued
    EXPECT_EQ(left.type, SDL_KEYUP);
    EXPECT_EQ(left.key.keysym.sym, SDLK_SPACE);
}

TEST_F(MainLoop, ReturnIsAppliedBeforeTheFrameRules) {
    Game_setState(&theGame, STATE_READY);
    snd[SND_HEPP].playing = 0;
    // A press and a Return in one frame: the rules already see the wait
    // state, in which a press does nothing; had they seen the ready state,
    // the bird would have dived with its "hepp".
    int stateSeen = -1;
    Test_runLoop(&theGame, {{Test_keyUp(SDLK_SPACE), Test_keyUp(SDLK_RETURN)}},
                 [&](int) { stateSeen = static_cast<int>(theGame.state); });
    EXPECT_EQ(stateSeen, STATE_WAIT);
    EXPECT_EQ(snd[SND_HEPP].playing, 0);
}

TEST_F(MainLoop, ReturnRestartsTheThrowFromAnyState) {
    Game_setState(&theGame, STATE_READY);
    spr[SPR_BIRD].x.value = -0x01000000;
    spr[SPR_BIRD].y.value = 0x00500000;
    Test_runLoop(&theGame, {{}, {Test_keyUp(SDLK_RETURN)}, {}}, nullptr);
    EXPECT_EQ(theGame.state, STATE_WAIT);
    EXPECT_EQ(spr[SPR_BIRD].x.value, 0x02240000);
}

TEST(MainLoopDeath, ClosedWindowEndsTheProcessWithStatusZero) {
    SDL_Event quit{};
    quit.type = quit.quit.type = SDL_QUIT;
    EXPECT_EXIT(Game_handleEvent(&theGame, &quit), testing::ExitedWithCode(0), "");
}

} // namespace
