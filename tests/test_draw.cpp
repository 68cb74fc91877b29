// The play screen and the number display, checked on solid-colour strips: a
// pixel tells which strip and frame was drawn there. Screen positions below
// are worked out by hand from the world positions: world y Y is screen row
// 480 - Y (floored), and an image is centred on its position with half its
// size rounded down.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "tests/support/draw_scene.h"

namespace {

constexpr fixed px(int v) {
    return v * 65536;
}
constexpr uint32_t BLACK = 0x000000;

uint32_t colour(uint16_t row, uint16_t frame = 0) {
    return DrawTest_colour(row, frame);
}

::testing::AssertionResult runsAre(SDL_Surface* s, int y, int x0, int x1,
                                   const std::vector<DrawTest_Run>& expected) {
    const std::vector<DrawTest_Run> got = DrawTest_runs(s, y, x0, x1);
    bool same = got.size() == expected.size();
    for (size_t i = 0; same && i < got.size(); ++i) {
        same = got[i].first == expected[i].first && got[i].last == expected[i].last &&
               DrawTest_same(got[i].colour, expected[i].colour);
    }
    if (same) {
        return ::testing::AssertionSuccess();
    }
    auto text = [](const std::vector<DrawTest_Run>& runs) {
        std::string t;
        char b[48];
        for (const DrawTest_Run& r : runs) {
            snprintf(b, sizeof b, "[%d..%d %06x] ", r.first, r.last, r.colour);
            t += b;
        }
        return t;
    };
    return ::testing::AssertionFailure()
           << "row " << y << "\n  got:      " << text(got) << "\n  expected: " << text(expected);
}

std::string textOf(fixed v) {
    char t[16] = "garbage";
    printFixed(t, v);
    return t;
}

// ---------------------------------------------------------------- number text

TEST(PrintFixed, Examples) {
    EXPECT_EQ(textOf(0), "0");
    EXPECT_EQ(textOf(0x8000), ".5");
    EXPECT_EQ(textOf(px(7)), "7");
    EXPECT_EQ(textOf(px(7) + 0x4000), "7.2");
    EXPECT_EQ(textOf(px(10)), "10");
    EXPECT_EQ(textOf(px(100)), "100");
    // 105.3: 0.3 x 65536 = 19660.8, of which 19660 / 6553 = 3.
    EXPECT_EQ(textOf(px(105) + 19660), "105.3");
    EXPECT_EQ(textOf(px(250)), "250");
    EXPECT_EQ(textOf(px(999) + 65535), "999.9");
    EXPECT_EQ(textOf(-(px(3) + 0x8000)), "0");
    EXPECT_EQ(textOf(6553), ".1");
}

TEST(PrintFixed, KeepsInnerZerosAndDropsZeroTenths) {
    EXPECT_EQ(textOf(px(101)), "101");
    EXPECT_EQ(textOf(px(100) + 0x8000), "100.5");
    EXPECT_EQ(textOf(px(20)), "20");
    EXPECT_EQ(textOf(px(5) + 6552), "5");
    EXPECT_EQ(textOf(px(5) + 6553), "5.1");
    EXPECT_EQ(textOf(6552), "0");
    EXPECT_EQ(textOf(px(123)), "123");
    EXPECT_EQ(textOf(px(123) + 26214), "123.4");
    // 297.155, a whole throw's distance.
    EXPECT_EQ(textOf(19474378), "297.1");
}

TEST(PrintFixed, NegativeValuesShowZero) {
    EXPECT_EQ(textOf(-1), "0");
    EXPECT_EQ(textOf(-0x8000), "0");
    EXPECT_EQ(textOf(-px(150)), "0");
    EXPECT_EQ(textOf(INT32_MIN), "0");
}

TEST(PrintFixed, ThousandAndMoreShowTheLargestNumber) {
    EXPECT_EQ(textOf(px(1000)), "999.9");
    EXPECT_EQ(textOf(px(1000) - 1), "999.9");
    EXPECT_EQ(textOf(px(1234) + 0x8000), "999.9");
    EXPECT_EQ(textOf(px(32767)), "999.9");
    EXPECT_EQ(textOf(INT32_MAX), "999.9");
    // Never a character outside the font, never more than five of them.
    for (int64_t v = px(990); v <= INT32_MAX; v += 7777777) {
        const std::string t = textOf(static_cast<fixed>(v));
        ASSERT_LE(t.size(), 5u) << v;
        for (char c : t) {
            ASSERT_TRUE((c >= '0' && c <= '9') || c == '.') << v << " gives " << t;
        }
    }
}

// ------------------------------------------------------------- glyph drawing

class DrawFixed : public ::testing::Test {
  protected:
    void SetUp() override {
        DrawTest_buildScene();
        s = DrawTest_useScreen(640, 480);
        carrier = &spr[SPR_GLYPH];
        carrier->y.value = px(100); // row 380; glyphs of 27 rows span 367..393
    }
    void draw(fixed v, Animation* font, uint16_t point, uint8_t centre, fixed x) {
        carrier->x.value = x;
        Game_drawFixed(v, carrier, font, point, 0, centre, &view, 480);
    }
    SDL_Surface* s = nullptr;
    Sprite* carrier = nullptr;
    View view = {0, 0};
    Animation* large = &ani[ANI_FONT];
    Animation* small = &ani[ANI_SFONT];
};

TEST_F(DrawFixed, SmallFontCentredFiveHundred) {
    // Glyph centres at 290, 300 and 310, each glyph 10 wide.
    draw(px(500), small, 0, 1, px(300));
    EXPECT_TRUE(runsAre(s, 380, 280, 320,
                        {{280, 284, BLACK},
                         {285, 294, colour(IMG_SFONT, 5)},
                         {295, 314, colour(IMG_SFONT, 0)},
                         {315, 320, BLACK}}));
    // 20 rows: 370 to 389.
    EXPECT_TRUE(DrawTest_same(DrawTest_pixel(s, 290, 370), colour(IMG_SFONT, 5)));
    EXPECT_TRUE(DrawTest_same(DrawTest_pixel(s, 290, 369), BLACK));
    EXPECT_TRUE(DrawTest_same(DrawTest_pixel(s, 290, 389), colour(IMG_SFONT, 5)));
    EXPECT_TRUE(DrawTest_same(DrawTest_pixel(s, 290, 390), BLACK));
}

TEST_F(DrawFixed, LargeFontCentredStartsNineteenAndAHalfLeft) {
    // "12.5": first centre 280.5, floored 280, minus 6.
    draw(px(12) + 0x8000, large, 10, 1, px(300));
    EXPECT_TRUE(runsAre(s, 380, 268, 330,
                        {{268, 273, BLACK},
                         {274, 286, colour(IMG_FONT, 1)},
                         {287, 299, colour(IMG_FONT, 2)},
                         {300, 312, colour(IMG_FONT, 10)},
                         {313, 325, colour(IMG_FONT, 5)},
                         {326, 330, BLACK}}));
    // Left one glyph width past the last glyph: 280.5 + 4 x 13.
    EXPECT_EQ(carrier->x.value, px(332) + 0x8000);
    EXPECT_EQ(carrier->image, sprtbl[IMG_FONT].surface);
    EXPECT_EQ(carrier->src.y, 5 * 27);
    EXPECT_EQ(large->running, 0);
}

TEST_F(DrawFixed, NotCentredRunsRightFromTheCarrier) {
    // "123.4" from 213.5: five glyphs, the fourth the point.
    draw(px(123) + 26214, large, 10, 0, px(213) + 0x8000);
    EXPECT_TRUE(runsAre(s, 380, 200, 280,
                        {{200, 206, BLACK},
                         {207, 219, colour(IMG_FONT, 1)},
                         {220, 232, colour(IMG_FONT, 2)},
                         {233, 245, colour(IMG_FONT, 3)},
                         {246, 258, colour(IMG_FONT, 10)},
                         {259, 271, colour(IMG_FONT, 4)},
                         {272, 280, BLACK}}));
}

TEST_F(DrawFixed, WholeNumberHasNoPoint) {
    draw(px(123), large, 10, 0, px(213) + 0x8000);
    EXPECT_TRUE(runsAre(s, 380, 200, 280,
                        {{200, 206, BLACK},
                         {207, 219, colour(IMG_FONT, 1)},
                         {220, 232, colour(IMG_FONT, 2)},
                         {233, 245, colour(IMG_FONT, 3)},
                         {246, 280, BLACK}}));
}

TEST_F(DrawFixed, ZeroHalfAndNegative) {
    draw(0, large, 10, 0, px(100));
    EXPECT_TRUE(runsAre(s, 380, 80, 130,
                        {{80, 93, BLACK}, {94, 106, colour(IMG_FONT, 0)}, {107, 130, BLACK}}));

    SDL_FillRect(s, nullptr, 0);
    draw(0x8000, large, 10, 1, px(100)); // ".5" centred: 6.5 px to the left
    EXPECT_TRUE(runsAre(s, 380, 80, 130,
                        {{80, 86, BLACK},
                         {87, 99, colour(IMG_FONT, 10)},
                         {100, 112, colour(IMG_FONT, 5)},
                         {113, 130, BLACK}}));

    SDL_FillRect(s, nullptr, 0);
    draw(-(px(3) + 0x8000), large, 10, 1, px(100));
    EXPECT_TRUE(runsAre(s, 380, 80, 130,
                        {{80, 93, BLACK}, {94, 106, colour(IMG_FONT, 0)}, {107, 130, BLACK}}));
}

TEST_F(DrawFixed, TooLargeShowsOnlyDigitGlyphs) {
    draw(px(1500), large, 10, 0, px(100));
    EXPECT_TRUE(runsAre(s, 380, 90, 165,
                        {{90, 93, BLACK},
                         {94, 132, colour(IMG_FONT, 9)},
                         {133, 145, colour(IMG_FONT, 10)},
                         {146, 158, colour(IMG_FONT, 9)},
                         {159, 165, BLACK}}));
}

TEST_F(DrawFixed, DigitBaseAndPointFrameChooseTheFrames) {
    // A base of 1 shifts every digit one frame on; the point takes frame 0.
    carrier->x.value = px(100);
    Game_drawFixed(0x8000, carrier, large, 0, 1, 0, &view, 480);
    EXPECT_TRUE(runsAre(s, 380, 90, 125,
                        {{90, 93, BLACK},
                         {94, 106, colour(IMG_FONT, 0)},
                         {107, 119, colour(IMG_FONT, 6)},
                         {120, 125, BLACK}}));
}

TEST_F(DrawFixed, DrawsThroughTheView) {
    view.x = -px(100);
    draw(px(7), large, 10, 0, 0); // world 0 is screen column 100
    EXPECT_TRUE(runsAre(s, 380, 90, 110,
                        {{90, 93, BLACK}, {94, 106, colour(IMG_FONT, 7)}, {107, 110, BLACK}}));
}

TEST_F(DrawFixed, MissingCarrierOrFontDrawsNothing) {
    Game_drawFixed(px(5), nullptr, large, 10, 0, 1, &view, 480);
    carrier->x.value = px(300);
    Game_drawFixed(px(5), carrier, nullptr, 10, 0, 1, &view, 480);
    EXPECT_EQ(DrawTest_count(s, BLACK), 640 * 480);
    EXPECT_EQ(carrier->x.value, px(300));
}

// ------------------------------------------------------------ the play screen

class PlayScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        DrawTest_buildScene();
        s = DrawTest_useScreen(640, 480);
    }
    uint32_t at(int x, int y) { return DrawTest_pixel(s, x, y); }
    bool shows(int x, int y, uint32_t c) { return DrawTest_same(at(x, y), c); }
    // On a screen wider than the background picture, the part right of it
    // is cleared to the background's colour first.
    void drawWide() {
        SDL_FillRect(s, nullptr, DRAWTEST_BG);
        Game_draw(game);
    }
    GameRecord* game = &theGame;
    Sprite* bird = &spr[SPR_BIRD];
    SDL_Surface* s = nullptr;
};

TEST_F(PlayScreen, StartScreenInOrder) {
    Game_draw(game);

    // Bird (548, 405) in a 48 x 72 frame: columns 524..571, rows 39..110,
    // in front of the ice block (columns 460..634, rows 42..455).
    EXPECT_TRUE(shows(548, 75, colour(IMG_PREPJUMP, 0)));
    EXPECT_TRUE(shows(524, 75, colour(IMG_PREPJUMP, 0)));
    EXPECT_TRUE(shows(571, 75, colour(IMG_PREPJUMP, 0)));
    EXPECT_TRUE(shows(523, 75, colour(IMG_ICE)));
    EXPECT_TRUE(shows(572, 75, colour(IMG_ICE)));
    EXPECT_TRUE(shows(548, 200, colour(IMG_ICE)));
    // Grumm (533, 83): columns 443..622, rows 330..463, over ice and rock.
    EXPECT_TRUE(shows(548, 400, colour(IMG_GRUMM, 0)));
    EXPECT_TRUE(shows(450, 400, colour(IMG_GRUMM, 0)));
    // Rock (383, 97): columns 311..454, rows 335..430, over the small tree
    // (columns 315..373, rows 241..344).
    EXPECT_TRUE(shows(440, 400, colour(IMG_ROCK)));
    EXPECT_TRUE(shows(340, 340, colour(IMG_ROCK)));
    EXPECT_TRUE(shows(340, 300, colour(IMG_STREE)));
    // Tree (49, 169): columns 2..95, rows 228..393.
    EXPECT_TRUE(shows(49, 300, colour(IMG_TREE)));
    EXPECT_TRUE(shows(1, 300, DRAWTEST_BG));
    // Board (213.5, 125): columns 141..285, rows 316..393, over its shadow
    // (185.5, 97: columns 101..269, rows 371..394).
    EXPECT_TRUE(shows(200, 380, colour(IMG_SIGN)));
    EXPECT_TRUE(shows(110, 380, colour(IMG_SIGNSHAD)));
    EXPECT_TRUE(shows(200, 394, colour(IMG_SIGNSHAD)));
    // TOP (175.5, 132): columns 154..196, rows 341..355, on the board.
    EXPECT_TRUE(shows(175, 348, colour(IMG_TOP)));
    EXPECT_TRUE(shows(150, 348, colour(IMG_SIGN)));
    // Best distance 0: one glyph, columns 207..219, on the board.
    EXPECT_TRUE(runsAre(s, 348, 197, 230,
                        {{197, 206, colour(IMG_SIGN)},
                         {207, 219, colour(IMG_FONT, 0)},
                         {220, 230, colour(IMG_SIGN)}}));
    // Nothing of the flight or the result: the parked sign (0, 1.1) would
    // reach into rows 439..479 at columns 0..72.
    EXPECT_TRUE(shows(30, 460, DRAWTEST_BG));
    EXPECT_TRUE(shows(300, 400, DRAWTEST_BG));
    EXPECT_EQ(DrawTest_count(s, colour(IMG_SHADOW)), 0);
    EXPECT_EQ(DrawTest_count(s, colour(IMG_SCRATCH)), 0);
    EXPECT_EQ(DrawTest_count(s, colour(IMG_SSIGN)), 0);
}

TEST_F(PlayScreen, BestDistanceStartsOnTheBoard) {
    game->bestDistance = 19474378; // 297.155
    Game_draw(game);
    EXPECT_TRUE(runsAre(s, 348, 200, 280,
                        {{200, 206, colour(IMG_SIGN)},
                         {207, 219, colour(IMG_FONT, 2)},
                         {220, 232, colour(IMG_FONT, 9)},
                         {233, 245, colour(IMG_FONT, 7)},
                         {246, 258, colour(IMG_FONT, 10)},
                         {259, 271, colour(IMG_FONT, 1)},
                         {272, 280, colour(IMG_SIGN)}}));
}

TEST_F(PlayScreen, FlightFrame) {
    game->state = STATE_FLIGHT;
    Spr_setAni(bird, &ani[ANI_FLY], 0, 0);
    bird->x.value = -px(1000);
    bird->y.value = px(200);
    bird->angle.value = 0x0800; // turned: drawn through the rotation routine
    game->scratchCount = 2;
    // A stretched mark from -950 to -1050, centred under the bird, 172 px wide.
    game->scratch[0] = {-px(950), -px(1050), 0, (100 + 72) * 65536 / 72};
    // A mark of one contact at -800, natural width.
    game->scratch[1] = {-px(800), -px(800), 0, 0x10000};
    Game_draw(game);

    // The view's x is -1157.538: the bird is held at screen x 157.538.
    EXPECT_TRUE(shows(157, 280, colour(IMG_FLY, 0)));
    // Marker 100 at world -631.298, screen 526.24: sign columns 484..568,
    // rows 396..430; its number centred on 534.74 in rows 400..419.
    EXPECT_TRUE(runsAre(s, 410, 480, 572,
                        {{480, 483, DRAWTEST_BG},
                         {484, 518, colour(IMG_SSIGN)},
                         {519, 528, colour(IMG_SFONT, 1)},
                         {529, 548, colour(IMG_SFONT, 0)},
                         {549, 568, colour(IMG_SSIGN)},
                         {569, 572, DRAWTEST_BG}}));
    // Bird shadow under the bird: columns 130..184, rows 433..442; the
    // stretched mark (rows 436..443) lies over it.
    EXPECT_TRUE(shows(157, 434, colour(IMG_SHADOW)));
    EXPECT_TRUE(shows(131, 434, colour(IMG_SHADOW)));
    EXPECT_TRUE(shows(157, 440, colour(IMG_SCRATCH)));
    EXPECT_TRUE(shows(90, 440, colour(IMG_SCRATCH)));
    EXPECT_TRUE(shows(225, 440, colour(IMG_SCRATCH)));
    EXPECT_TRUE(shows(60, 440, DRAWTEST_BG));
    EXPECT_TRUE(shows(255, 440, DRAWTEST_BG));
    // The natural mark at screen 357.538: columns 321..392.
    EXPECT_TRUE(runsAre(
        s, 440, 315, 400,
        {{315, 320, DRAWTEST_BG}, {321, 392, colour(IMG_SCRATCH)}, {393, 400, DRAWTEST_BG}}));
    // The start area and the grumm are out of view.
    for (uint16_t row :
         {IMG_ICE, IMG_TREE, IMG_STREE, IMG_ROCK, IMG_SIGN, IMG_TOP, IMG_SIGNSHAD, IMG_GRUMM}) {
        EXPECT_EQ(DrawTest_count(s, colour(row)), 0) << "image row " << row;
    }
}

TEST_F(PlayScreen, ViewFollowsTheBirdPastItsColumn) {
    game->state = STATE_FLIGHT;
    Spr_setAni(bird, &ani[ANI_FLY], 0, 0);
    bird->y.value = px(200);

    // At 548 the view stays at 0: the 72-wide frame spans columns 512..583.
    bird->x.value = px(548);
    Game_draw(game);
    EXPECT_TRUE(runsAre(s, 280, 505, 590,
                        {{505, 511, colour(IMG_ICE)},
                         {512, 583, colour(IMG_FLY, 0)},
                         {584, 590, colour(IMG_ICE)}}));

    // At -1000 the bird's centre is at screen 157.538: columns 121..192.
    bird->x.value = -px(1000);
    Game_draw(game);
    EXPECT_TRUE(runsAre(
        s, 280, 110, 200,
        {{110, 120, DRAWTEST_BG}, {121, 192, colour(IMG_FLY, 0)}, {193, 200, DRAWTEST_BG}}));
    EXPECT_EQ(DrawTest_count(s, colour(IMG_ICE)), 0);
}

TEST_F(PlayScreen, StartAreaHiddenFromAFullScreenWidthOn) {
    // A wide screen shows what lies right of column 640.
    s = DrawTest_useScreen(1400, 480);
    game->state = STATE_FLIGHT;
    bird->y.value = px(300);

    // View exactly -640 px.
    bird->x.value = -0x02800000 + 0x009D89B9;
    drawWide();
    EXPECT_TRUE(shows(1187, 249, DRAWTEST_BG)); // ice at 547.5 + 640
    EXPECT_TRUE(shows(1023, 383, DRAWTEST_BG)); // rock
    EXPECT_TRUE(shows(689, 300, DRAWTEST_BG));  // tree
    EXPECT_TRUE(shows(984, 300, DRAWTEST_BG));  // small tree
    EXPECT_TRUE(shows(853, 380, DRAWTEST_BG));  // board
    EXPECT_EQ(DrawTest_count(s, colour(IMG_TOP)), 0);
    EXPECT_TRUE(shows(1173, 400, colour(IMG_GRUMM, 0))); // drawn in every frame

    // One step less: -639.99998 px.
    bird->x.value += 1;
    drawWide();
    EXPECT_TRUE(shows(1187, 249, colour(IMG_ICE)));
    EXPECT_TRUE(shows(1023, 383, colour(IMG_ROCK)));
    EXPECT_TRUE(shows(689, 300, colour(IMG_TREE)));
    EXPECT_TRUE(shows(984, 300, colour(IMG_STREE)));
    EXPECT_TRUE(shows(853, 380, colour(IMG_SIGN)));
    EXPECT_GT(DrawTest_count(s, colour(IMG_TOP)), 0);
}

// World x of markers 100, 450 and 500: 548 px less the distance times
// 0x000BCB01 (772865) raw.
constexpr fixed MARKER_100_X = 548 * 65536 - 100 * 772865;
constexpr fixed MARKER_450_X = 548 * 65536 - 450 * 772865;
constexpr fixed MARKER_500_X = 548 * 65536 - 500 * 772865;
static_assert(MARKER_100_X == -41372772);

TEST_F(PlayScreen, MarkerAtNineHundredSixtyIsSkipped) {
    s = DrawTest_useScreen(1100, 480);
    game->state = STATE_FLIGHT;
    bird->y.value = px(300);

    // Marker 100 at screen x exactly 960: the view is its x less 960 px.
    bird->x.value = MARKER_100_X - px(960) + 0x009D89B9;
    drawWide();
    EXPECT_TRUE(shows(960, 413, DRAWTEST_BG));
    EXPECT_TRUE(shows(957, 410, DRAWTEST_BG));

    // At 959.99998 it is drawn: sign columns 917..1001, its "1" at 953..962.
    bird->x.value += 1;
    drawWide();
    EXPECT_TRUE(shows(959, 425, colour(IMG_SSIGN)));
    EXPECT_TRUE(shows(917, 413, colour(IMG_SSIGN)));
    EXPECT_TRUE(shows(916, 413, DRAWTEST_BG));
    EXPECT_TRUE(shows(953, 410, colour(IMG_SFONT, 1)));
    EXPECT_TRUE(shows(962, 410, colour(IMG_SFONT, 1)));
}

TEST_F(PlayScreen, MarkerAtMinusThreeHundredTwentyIsSkipped) {
    game->state = STATE_FLIGHT;
    bird->y.value = px(300);
    Sprite* marker = &spr[SPR_MARKER];
    Sprite* glyph = &spr[SPR_GLYPH];

    // Marker 500 at screen x exactly -320: the last marker placed is 450.
    bird->x.value = MARKER_500_X + px(320) + 0x009D89B9;
    Game_draw(game);
    EXPECT_EQ(marker->x.value, MARKER_450_X);

    // At -319.99998 marker 500 is placed and its number drawn: the carrier
    // ends one glyph past "500", centred 8.5 px right of the marker.
    bird->x.value -= 1;
    Game_draw(game);
    EXPECT_EQ(marker->x.value, MARKER_500_X);
    EXPECT_EQ(marker->y.value, 0x00427FFF);
    EXPECT_EQ(glyph->x.value, MARKER_500_X + 0x00088000 - px(10) + px(30));
    EXPECT_EQ(glyph->y.value, 0x0045FFFE);
}

TEST_F(PlayScreen, SignShadowOnlyOnceTheSignHasLanded) {
    game->state = STATE_RESULT;
    Spr_setAni(bird, &ani[ANI_LOOK], 0, 0);
    bird->x.value = px(295);
    bird->y.value = 0x00337FFF;
    Sprite* sign = &spr[SPR_SIGN];
    sign->x.value = px(300);
    game->lastDistance = 19474378; // 297.155

    // Shadow 28 px left of the sign at 54 px: columns 188..356, rows 414..437.
    for (fixed y : {0x00520000, 0x0051FFFE}) {
        sign->y.value = y;
        Game_draw(game);
        EXPECT_TRUE(shows(200, 420, DRAWTEST_BG)) << std::hex << y;
    }
    sign->y.value = 0x0051FFFF;
    Game_draw(game);
    EXPECT_TRUE(shows(200, 420, colour(IMG_SIGNSHAD)));
    EXPECT_TRUE(shows(188, 420, colour(IMG_SIGNSHAD)));
    EXPECT_TRUE(shows(187, 420, DRAWTEST_BG));
    EXPECT_EQ(spr[SPR_SIGNSHADOW].x.value, px(272));
    EXPECT_EQ(spr[SPR_SIGNSHADOW].y.value, 0x0035FFFF);
}

TEST_F(PlayScreen, ResultFrame) {
    game->state = STATE_RESULT;
    Spr_setAni(bird, &ani[ANI_LOOK], 0, 0);
    bird->x.value = px(295);
    bird->y.value = 0x00337FFF;
    Sprite* sign = &spr[SPR_SIGN];
    sign->x.value = px(300);
    sign->y.value = 0x0051FFFF;
    game->lastDistance = 19474378; // "297.1"
    Game_draw(game);

    // Sign (300, 82): columns 228..372, rows 359..436, over the rock. The
    // distance is centred on 300 at 89 px (row 391): 26 px to the left.
    EXPECT_TRUE(runsAre(s, 391, 260, 340,
                        {{260, 267, colour(IMG_SIGN)},
                         {268, 280, colour(IMG_FONT, 2)},
                         {281, 293, colour(IMG_FONT, 9)},
                         {294, 306, colour(IMG_FONT, 7)},
                         {307, 319, colour(IMG_FONT, 10)},
                         {320, 332, colour(IMG_FONT, 1)},
                         {333, 340, colour(IMG_SIGN)}}));
    EXPECT_TRUE(shows(372, 391, colour(IMG_SIGN)));
    EXPECT_TRUE(shows(373, 391, colour(IMG_ROCK)));
    // The sign over its shadow, the bird (columns 262..328, rows 414..442)
    // over both, the grumm still there.
    EXPECT_TRUE(shows(350, 420, colour(IMG_SIGN)));
    EXPECT_TRUE(shows(295, 430, colour(IMG_LOOK, 0)));
    EXPECT_TRUE(shows(262, 441, colour(IMG_LOOK, 0)));
    EXPECT_TRUE(shows(548, 400, colour(IMG_GRUMM, 0)));
}

TEST_F(PlayScreen, BirdShadowOnlyInFlightAndResult) {
    bird->x.value = px(300);
    bird->y.value = px(200);
    spr[SPR_SIGN].x.value = px(100);
    spr[SPR_SIGN].y.value = px(300);
    // Shadow at the bird's x on the snow: columns 273..327, rows 433..442.
    for (uint32_t state = STATE_WAIT; state <= STATE_RESULT; ++state) {
        game->state = state;
        Game_draw(game);
        const bool expected = state == STATE_FLIGHT || state == STATE_RESULT;
        EXPECT_EQ(shows(300, 438, colour(IMG_SHADOW)), expected) << "state " << state;
        EXPECT_EQ(shows(300, 438, DRAWTEST_BG), !expected) << "state " << state;
    }
    EXPECT_TRUE(shows(273, 433, colour(IMG_SHADOW)));
    EXPECT_TRUE(shows(327, 442, colour(IMG_SHADOW)));
    EXPECT_TRUE(shows(272, 438, DRAWTEST_BG));
}

TEST_F(PlayScreen, EveryScratchMarkAtItsOwnWidth) {
    s = DrawTest_useScreen(2600, 480);
    game->state = STATE_FLIGHT;
    bird->y.value = px(300);

    game->scratchCount = 0;
    drawWide();
    EXPECT_EQ(DrawTest_count(s, colour(IMG_SCRATCH)), 0);

    // Mark i: 8i px long, centred at 700 + 180i, drawn 72 + 8i px wide.
    game->scratchCount = 10;
    for (int i = 0; i < 10; ++i) {
        const fixed centre = px(700 + 180 * i);
        const fixed half = px(4 * i);
        game->scratch[i] = {centre + half, centre - half, 0, (8 * i + 72) * 65536 / 72};
    }
    drawWide();
    for (int i = 0; i < 10; ++i) {
        const int centre = 700 + 180 * i;
        int left = centre;
        int right = centre;
        while (shows(left - 1, 440, colour(IMG_SCRATCH))) {
            --left;
        }
        while (shows(right + 1, 440, colour(IMG_SCRATCH))) {
            ++right;
        }
        // Smoothing may soften a pixel at either end.
        EXPECT_NEAR(right - left + 1, 72 + 8 * i, 2) << "mark " << i;
        EXPECT_NEAR((left + right) / 2.0, centre, 1.5) << "mark " << i;
    }
}

TEST_F(PlayScreen, ScratchMarkCentreIsTheFlooredHalfSum) {
    game->scratchCount = 1;
    game->scratch[0] = {-3, 0, 0, 0x10000};
    Game_draw(game);
    EXPECT_EQ(spr[SPR_SCRATCH].x.value, -2);
    EXPECT_EQ(spr[SPR_SCRATCH].zoomX.value, 0x10000);

    // Two ends whose sum leaves 32 bits still give their middle.
    game->scratch[0] = {INT32_MAX, INT32_MAX - 2, 0, 0x30000};
    Game_draw(game);
    EXPECT_EQ(spr[SPR_SCRATCH].x.value, INT32_MAX - 1);
    EXPECT_EQ(spr[SPR_SCRATCH].zoomX.value, 0x30000);
}

TEST_F(PlayScreen, CountBeyondTenDrawsTheTenMarksOnly) {
    for (int i = 0; i < SCRATCH_MAX; ++i) {
        game->scratch[i] = {px(100 + i), px(100 + i), 0, 0x10000};
    }
    game->scratchCount = 200;
    Game_draw(game);
    EXPECT_EQ(spr[SPR_SCRATCH].x.value, px(109));
}

TEST_F(PlayScreen, MissingBackgroundPaintsSkyHorizonAndSnow) {
    Game_draw(game);                    // a good frame first
    SDL_FillRect(s, nullptr, 0xFF00FF); // what a stale frame would show
    bg = nullptr;

    testing::internal::CaptureStdout();
    Game_draw(game);
    const std::string first = testing::internal::GetCapturedStdout();
    EXPECT_EQ(first.rfind("Error blitting title: ", 0), 0u) << first;

    EXPECT_EQ(DrawTest_count(s, 0xFF00FF), 0);
    EXPECT_EQ(at(420, 0), 0xE3F0FFu); // the sky colour of the picture's first row
    EXPECT_EQ(at(20, 479), 0xFFFFFFu);
    // The horizon (rows 295..297) is darker than the sky above and the snow below.
    auto sum = [](uint32_t c) { return (c >> 16) + ((c >> 8) & 0xFF) + (c & 0xFF); };
    EXPECT_LT(sum(at(420, 296)), sum(at(420, 294)));
    EXPECT_LT(sum(at(420, 296)), sum(at(420, 298)));
    // The scene is drawn on it as usual.
    EXPECT_TRUE(shows(548, 75, colour(IMG_PREPJUMP, 0)));

    // The message once, not every frame; again after a frame that worked.
    testing::internal::CaptureStdout();
    Game_draw(game);
    Game_draw(game);
    bg = DrawTest_background();
    Game_draw(game);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(shows(420, 0, DRAWTEST_BG));

    bg = nullptr;
    testing::internal::CaptureStdout();
    Game_draw(game);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Error blitting title: ", 0), 0u);
    bg = DrawTest_background();
}

TEST_F(PlayScreen, NoRecordDrawsNothing) {
    SDL_FillRect(s, nullptr, 0xFF00FF);
    Game_draw(nullptr);
    EXPECT_EQ(DrawTest_count(s, 0xFF00FF), 640 * 480);
}

} // namespace
