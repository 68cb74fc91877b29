// The scratch marks the bird leaves in the snow.
#include <gtest/gtest.h>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"

namespace {

GameRecord* const game = &theGame;
Sprite* const bird = &spr[SPR_BIRD];

constexpr fixed NEAR_SNOW = 0x00384CCB; // highest bird centre that still scrapes
constexpr fixed IN_THE_AIR = 100 * 65536;

class Scratch : public testing::Test {
  protected:
    void SetUp() override {
        spr[SPR_SCRATCH].src.w = 72;
        game->scratchCount = 0;
        for (ScratchMark& m : game->scratch) {
            m = ScratchMark{};
        }
        bird->x.value = 300 * 65536;
        bird->y.value = IN_THE_AIR;
    }
    // One frame of the flight with the bird at (x, y).
    uint8_t touch(int32_t xPixels, fixed y, uint8_t hit) {
        bird->x.value = xPixels * 65536;
        bird->y.value = y;
        return Scratch_do(game, hit);
    }
};

TEST_F(Scratch, SingleContactIsAMarkOfNaturalWidth) {
    EXPECT_EQ(touch(300, 0x00337FFF, 1), 1);
    ASSERT_EQ(game->scratchCount, 1);
    EXPECT_EQ(game->scratch[0].startX, 300 * 65536);
    EXPECT_EQ(game->scratch[0].endX, 300 * 65536);
    EXPECT_EQ(game->scratch[0].active, 1);
    EXPECT_EQ(game->scratch[0].scaleX, 0x10000);
    // Up in the air again: finished.
    EXPECT_EQ(touch(290, IN_THE_AIR, 0), 0);
    EXPECT_EQ(game->scratch[0].active, 0);
    EXPECT_EQ(game->scratch[0].endX, 300 * 65536);
    EXPECT_EQ(game->scratchCount, 1);
}

TEST_F(Scratch, MarkFollowsTheBirdAndStretches) {
    touch(300, 0x00337FFF, 1);
    // Near the snow without a hit still scrapes, up to the threshold itself.
    EXPECT_EQ(touch(264, NEAR_SNOW, 0), 1);
    EXPECT_EQ(game->scratch[0].endX, 264 * 65536);
    // (36 + 72) / 72 = 1.5
    EXPECT_EQ(game->scratch[0].scaleX, 0x18000);
    EXPECT_EQ(touch(228, 0x00337FFF, 0), 1);
    EXPECT_EQ(game->scratchCount, 1);
    EXPECT_EQ(game->scratch[0].startX, 300 * 65536);
    EXPECT_EQ(game->scratch[0].endX, 228 * 65536);
    EXPECT_EQ(game->scratch[0].scaleX, 0x20000);
}

TEST_F(Scratch, ScaleTruncatesTowardZero) {
    touch(300, 0x00337FFF, 1);
    game->scratch[0].endX = 300 * 65536 - 1;
    Scratch_scale(game);
    // (1 + 72 * 65536) / (72 * 65536) * 65536 = 65536 + 1/72
    EXPECT_EQ(game->scratch[0].scaleX, 0x10000);
    game->scratch[0].endX = 300 * 65536 - 100 * 65536;
    Scratch_scale(game);
    // 172 / 72 * 65536 = 156558.2...
    EXPECT_EQ(game->scratch[0].scaleX, 156558);
}

TEST_F(Scratch, DirectionDoesNotMatter) {
    touch(228, 0x00337FFF, 1);
    touch(300, 0x00337FFF, 0);
    EXPECT_EQ(game->scratch[0].scaleX, 0x20000);
}

TEST_F(Scratch, JustAboveTheThresholdIsInTheAir) {
    EXPECT_EQ(touch(300, NEAR_SNOW + 1, 0), 0);
    EXPECT_EQ(game->scratchCount, 0);
}

TEST_F(Scratch, TouchingOtherThanOneIsNoContact) {
    EXPECT_EQ(touch(300, IN_THE_AIR, 2), 0);
    EXPECT_EQ(game->scratchCount, 0);
    touch(300, 0x00337FFF, 1);
    EXPECT_EQ(touch(280, IN_THE_AIR, 2), 0);
    EXPECT_EQ(game->scratch[0].active, 0);
    EXPECT_EQ(game->scratch[0].endX, 300 * 65536);
}

TEST_F(Scratch, EachNewContactAfterAFlightIsANewMark) {
    touch(300, 0x00337FFF, 1);
    touch(280, IN_THE_AIR, 0);
    touch(250, 0x00337FFF, 1);
    touch(240, 0x00337FFF, 0);
    ASSERT_EQ(game->scratchCount, 2);
    EXPECT_EQ(game->scratch[0].endX, 300 * 65536);
    EXPECT_EQ(game->scratch[1].startX, 250 * 65536);
    EXPECT_EQ(game->scratch[1].endX, 240 * 65536);
    EXPECT_EQ(game->scratch[1].active, 1);
}

TEST_F(Scratch, TenMarksAtMost) {
    for (int i = 0; i < 10; i++) {
        touch(1000 - 50 * i, 0x00337FFF, 1);
        touch(990 - 50 * i, IN_THE_AIR, 0);
    }
    ASSERT_EQ(game->scratchCount, 10);
    ScratchMark tenth = game->scratch[9];
    EXPECT_EQ(touch(100, 0x00337FFF, 1), 1);
    EXPECT_EQ(game->scratchCount, 10);
    EXPECT_EQ(game->scratch[9].startX, tenth.startX);
    EXPECT_EQ(game->scratch[9].endX, tenth.endX);
    EXPECT_EQ(game->scratch[9].active, 0);
}

TEST_F(Scratch, TenthMarkStillActiveKeepsGrowing) {
    for (int i = 0; i < 9; i++) {
        touch(1000 - 50 * i, 0x00337FFF, 1);
        touch(990 - 50 * i, IN_THE_AIR, 0);
    }
    touch(500, 0x00337FFF, 1);
    ASSERT_EQ(game->scratchCount, 10);
    EXPECT_EQ(touch(428, 0x00337FFF, 0), 1);
    EXPECT_EQ(game->scratch[9].startX, 500 * 65536);
    EXPECT_EQ(game->scratch[9].endX, 428 * 65536);
    EXPECT_EQ(game->scratch[9].scaleX, 0x20000);
    EXPECT_EQ(game->scratchCount, 10);
}

TEST_F(Scratch, ResetEmptiesTheListButKeepsTheEntries) {
    touch(300, 0x00337FFF, 1);
    touch(250, 0x00337FFF, 0);
    Scratch_reset(game);
    EXPECT_EQ(game->scratchCount, 0);
    EXPECT_EQ(game->scratch[0].startX, 300 * 65536);
    EXPECT_EQ(game->scratch[0].endX, 250 * 65536);
    // The old active entry is not extended: a new mark starts in its place.
    touch(200, 0x00337FFF, 1);
    EXPECT_EQ(game->scratchCount, 1);
    EXPECT_EQ(game->scratch[0].startX, 200 * 65536);
    EXPECT_EQ(game->scratch[0].scaleX, 0x10000);
}

TEST_F(Scratch, ZeroImageWidthKeepsTheNaturalZoom) {
    spr[SPR_SCRATCH].src.w = 0;
    touch(300, 0x00337FFF, 1);
    touch(200, 0x00337FFF, 0);
    EXPECT_EQ(game->scratch[0].endX, 200 * 65536);
    EXPECT_EQ(game->scratch[0].scaleX, 0x10000);
}

TEST_F(Scratch, ScaleOnAnEmptyListTouchesNothing) {
    game->scratch[0].scaleX = 12345;
    Scratch_scale(game);
    EXPECT_EQ(game->scratch[0].scaleX, 12345);
    EXPECT_EQ(game->scratchCount, 0);
}

TEST_F(Scratch, NoGame) {
    EXPECT_EQ(Scratch_do(nullptr, 1), 0);
    Scratch_scale(nullptr);
    Scratch_reset(nullptr);
}

} // namespace
