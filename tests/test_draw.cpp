// The number text and the play screen, drawn with solid-colour strips so that
// a pixel tells which strip and frame is there. Positions are worked out by
// hand: world y Y is screen row 480 - Y (floored), and an image is centred on
// its position with half its size rounded down.
#include <gtest/gtest.h>

#include "tests/support/scene.h"
#include "tests/support/test_env.h"

namespace {

constexpr fixed px(int v) {
    return v * 65536;
}
// World x of distance marker d: 548 px less d times 772865 raw.
constexpr fixed marker(int d) {
    return 548 * 65536 - d * 772865;
}
constexpr fixed FOLLOW = 0x009D89B9; // the bird is held at screen x 157.538
GameRecord* const game = &theGame;
Sprite* const bird = &spr[SPR_BIRD];
Sprite* const sign = &spr[SPR_SIGN];

TEST(PrintFixed, Texts) {
    // A tenth is 6553 raw, not 6553.6; three integer places at most.
    const std::pair<fixed, const char*> rows[] = {{6552, "0"},
                                                  {6553, ".1"},
                                                  {px(15) + 6553, "15.1"},
                                                  {px(20), "20"},
                                                  {px(101), "101"},
                                                  {px(105) + 19660, "105.3"},
                                                  {px(1000) - 1, "999.9"},
                                                  {INT32_MAX, "999.9"},
                                                  {-1, "0"},
                                                  {INT32_MIN, "0"}};
    for (const auto& [value, text] : rows) {
        char t[16] = "garbage";
        printFixed(t, value);
        EXPECT_STREQ(t, text) << value;
    }
}

class Draw : public testing::Test {
  protected:
    void SetUp() override { Scene_new(); }
    // In flight; a screen wider than the background is cleared to its colour.
    void draw(fixed birdX, int width = 640, uint32_t state = STATE_FLIGHT) {
        SDL_FillRect(Scene_screen(width), nullptr, SCENE_BG);
        game->state = state;
        bird->x.value = birdX;
        Game_draw(game);
    }
};

TEST_F(Draw, StartScreen) {
    game->bestDistance = 19474378;
    draw(BIRD_START_X, 640, STATE_WAIT);
    // Bird (548, 405) before the ice (460..634, rows 42..455); grumm (533, 83)
    // over the rock (311..454, rows 335..430); the rock over the small tree
    // (315..373, rows 241..344); the tree (2..95, rows 228..393); the board
    // (141..285, rows 316..393) over its shadow (101..269, rows 371..394), TOP
    // (154..196, rows 341..355) and the best distance from 213.5 on it.
    EXPECT_EQ(Scene_runs(75, 523, 572), "523-523 ice 524-571 prepjump0 572-572 ice");
    EXPECT_EQ(Scene_runs(400, 310, 635),
              "310-310 bg 311-442 rock 443-622 grumm0 623-634 ice 635-635 bg");
    EXPECT_EQ(Scene_at(340, 340) + Scene_at(340, 300) + Scene_at(2, 300) + Scene_at(95, 300) +
                  Scene_at(96, 300),
              "rockstreetreetreebg");
    EXPECT_EQ(Scene_runs(380, 100, 286), "100-100 bg 101-140 signshad 141-285 sign 286-286 bg");
    EXPECT_EQ(Scene_runs(348, 153, 272),
              "153-153 sign 154-196 TOP 197-206 sign 207-219 font2 220-232 font9 233-245 font7 "
              "246-258 font10 259-271 font1 272-272 sign");
    // No bird shadow before the grumm, no parked sign (0, 1.1) at the bottom.
    EXPECT_EQ(Scene_at(200, 394) + Scene_at(548, 438) + Scene_at(30, 460), "signshadgrumm0bg");
}

TEST_F(Draw, FlightFrame) {
    game->scratchCount = 2; // centred under the bird 172 px wide; at -800 72 px wide
    game->scratch[0] = {-px(950), -px(1050), 0, (100 + 72) * 65536 / 72};
    game->scratch[1] = {-px(800), -px(800), 0, 0x10000};
    Spr_setAni(bird, &ani[ANI_FLY], 0, 0);
    bird->y.value = px(200);
    bird->angle.value = 0x0800; // turned: drawn through the rotation routine
    draw(-px(1000));
    // Marker 100 at screen 526.24 (484..568, rows 396..430), its number
    // centred on 534.74 (rows 400..419); the bird's shadow (130..184, rows
    // 433..442) under the stretched mark (rows 436..443).
    EXPECT_EQ(Scene_runs(410, 483, 569),
              "483-483 bg 484-518 ssign 519-528 sfont1 529-548 sfont0 549-568 ssign 569-569 bg");
    EXPECT_EQ(Scene_at(157, 280) + Scene_at(131, 434) + Scene_at(157, 440) + Scene_at(60, 440) +
                  Scene_at(90, 440) + Scene_at(225, 440) + Scene_at(255, 440),
              "fly0shadowscratchbgscratchscratchbg");
    EXPECT_EQ(Scene_runs(440, 320, 393), "320-320 bg 321-392 scratch 393-393 bg");
    EXPECT_FALSE(ani[ANI_FONT].running || ani[ANI_SFONT].running); // glyphs are bound, not stepped
}

TEST_F(Draw, ViewAndCulling) {
    const fixed gone = -px(640) + FOLLOW, at960 = marker(100) - px(960) + FOLLOW;
    // The view follows the bird past 157.538; the start area (ice, rock, trees,
    // board, grumm) is drawn while the view is right of -640 px, markers (100:
    // its number and sign) strictly inside (-320, 960) px.
    using Points = std::vector<std::pair<int, int>>;
    const Points area = {{1187, 249}, {1023, 383}, {689, 300}, {984, 300},
                         {815, 348},  {853, 380},  {1173, 400}},
                 marker100 = {{960, 413}, {957, 410}, {917, 413}, {959, 425},
                              {916, 413}, {953, 410}, {962, 410}};
    const std::tuple<fixed, Points, const char*> rows[] = {
        {px(548), {{511, 280}, {512, 280}, {583, 280}, {584, 280}}, "ice fly0 fly0 ice"},
        {-px(1000), {{120, 280}, {121, 280}, {192, 280}, {193, 280}}, "bg fly0 fly0 bg"},
        {gone, area, "bg bg bg bg bg bg grumm0"},
        {gone + 1, area, "ice rock tree stree TOP sign grumm0"},
        {at960, marker100, "bg bg bg bg bg bg bg"},
        {at960 + 1, marker100, "sfont1 sfont1 ssign ssign bg sfont1 sfont1"},
    };
    Spr_setAni(bird, &ani[ANI_FLY], 0, 0);
    bird->y.value = px(200);
    for (const auto& [birdX, at, what] : rows) {
        draw(birdX, 1400);
        std::string seen;
        for (auto [x, y] : at) {
            seen += (seen.empty() ? "" : " ") + Scene_at(x, y);
        }
        EXPECT_EQ(seen, what) << birdX;
    }
    // Marker 500 at screen x -320 exactly: skipped; a step right, its number
    // is drawn centred 8.5 px right of it.
    draw(marker(500) + px(320) + FOLLOW);
    EXPECT_EQ(spr[SPR_MARKER].x.value, marker(450));
    draw(marker(500) + px(320) + FOLLOW - 1);
    EXPECT_EQ(spr[SPR_GLYPH].x.value, marker(500) + 0x00088000 - px(10) + px(30));
}

TEST_F(Draw, ResultAndShadows) {
    Spr_setAni(bird, &ani[ANI_LOOK], 0, 0);
    bird->y.value = 0x00337FFF;
    sign->x.value = px(300);
    game->lastDistance = 19474378;
    // The sign's shadow (188..356, rows 414..437) once the sign has landed.
    for (fixed y : {0x00520000, 0x0051FFFE, 0x0051FFFF}) {
        sign->y.value = y;
        draw(px(295), 640, STATE_RESULT);
        EXPECT_EQ(Scene_at(188, 420) + Scene_at(187, 420), y == 0x0051FFFF ? "signshadbg" : "bgbg");
    }
    // The sign (228..372, rows 359..436) over the rock, its distance centred
    // on it at row 391; the bird (262..328, rows 414..442) over the sign.
    EXPECT_EQ(Scene_runs(391, 267, 373), "267-267 sign 268-280 font2 281-293 font9 294-306 font7 "
                                         "307-319 font10 320-332 font1 333-372 sign 373-373 rock");
    EXPECT_EQ(Scene_at(350, 420) + Scene_at(262, 441) + Scene_at(548, 400), "signlook0grumm0");
}

TEST_F(Draw, ScratchMarkCentresAndCount) {
    Scene_screen(); // to draw on: sdl12-compat crashes on a blit to none
    std::fill(game->scratch, game->scratch + SCRATCH_MAX, ScratchMark{0, 0, 0, 0x10000});
    // The ten marks only, the tenth last; each centred on the floored half sum
    // of its ends, even past 32 bits.
    game->scratchCount = 200;
    const std::pair<ScratchMark, fixed> rows[] = {
        {{-3, 0, 0, 0x10000}, -2}, {{INT32_MAX, INT32_MAX - 2, 0, 0x30000}, INT32_MAX - 1}};
    for (const auto& [mark, centre] : rows) {
        game->scratch[SCRATCH_MAX - 1] = mark;
        Game_draw(game);
        EXPECT_EQ(std::pair(spr[SPR_SCRATCH].x.value, spr[SPR_SCRATCH].zoomX.value),
                  std::pair(centre, mark.scaleX));
    }
}

TEST_F(Draw, MissingBackgroundPaintsSkyHorizonAndSnow) {
    SDL_FillRect(Scene_screen(), nullptr, 0xFF00FF); // what a stale frame would show
    bg = nullptr;
    testing::internal::CaptureStdout();
    Game_draw(game);
    Game_draw(game);
    bg = Scene_background; // a frame that works ends the failing streak
    Game_draw(game);
    bg = nullptr;
    Game_draw(game);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Error blitting title: "), 0u);
    EXPECT_EQ(out.find("Error blitting title: ", 1), out.rfind("Error blitting title: "));
    // Sky (227,240,255) to (51,137,182) over rows 0..294, horizon (38,92,128)
    // over 295..297, snow (200,223,240) to white over 298..479: each channel
    // linear, truncated toward zero.
    const uint32_t rows[][2] = {{0, 0xE3F0FF},   {147, 0x8BBDDB}, {294, 0x3389B6}, {295, 0x265C80},
                                {297, 0x265C80}, {298, 0xC8DFF0}, {388, 0xE3EFF7}, {479, 0xFFFFFF}};
    for (const auto& r : rows) {
        EXPECT_EQ(Test_pixel(screen, 639, r[0]), r[1]) << r[0];
        EXPECT_EQ(Test_pixel(screen, 0, r[0]), r[1]) << r[0];
    }
    EXPECT_EQ(Scene_at(548, 75), "prepjump0"); // the scene drawn on it
}

} // namespace
