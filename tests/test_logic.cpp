// The rules of a throw, run frame by frame through the main loop's fixed step
// with scripted presses and a scripted random source.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/support/scene.h"

namespace {

GameRecord* const game = &theGame;
Sprite* const bird = &spr[SPR_BIRD];
Sprite* const sign = &spr[SPR_SIGN];

std::string f(double v) { // as printf's %f writes it
    return std::to_string(v);
}

// State, bird x y, speeds, angle, stuck, scratch marks, bird and grumm
// animations, gravity.
std::string pose() {
    char t[128];
    snprintf(t, sizeof t, "%u %d %d %d %d %d %d %d %d %d %d", game->state, bird->x.value,
             bird->y.value, bird->x.speed, bird->y.speed, bird->angle.value, game->stuck,
             game->scratchCount, int(bird->ani - ani), int(spr[SPR_GRUMM].ani - ani),
             intpl[INT_BIRD_GRAVITY].running);
    return t;
}

// Events by fall frame (frame 0: the bird left the ice): the state entered,
// the bird (at its first hit, its angle) or the sign hitting the snow, gravity
// let go, the bird sticking, the sounds started; what was printed; and the
// pictures the bird and the grumm showed: each animation bound in turn with
// the strip frames shown on its first and last frame ("5:0-5").
struct Throw {
    std::string events, out, pictures[2];
};

// Plays on: state 0 lasts 70 frames, the first press comes on the 71st, the
// second on fall frame `second` (none when 0); a negative `second` presses
// every frame up to fall frame -second.
Throw play(int second, int frames) {
    Throw t;
    testing::internal::CaptureStdout();
    for (int f = 1, fall = -70; f <= frames; f++, fall++) {
        const uint32_t state = game->state, stuck = game->stuck;
        const bool falling = intpl[INT_BIRD_GRAVITY].running;
        const int32_t angle = bird->angle.value;
        Scene_frame(fall == 0 || fall == second || (second < 0 && fall <= -second));
        std::string e = game->state != state ? " s" + std::to_string(game->state) : "";
        if (coll[COL_BIRD].hit) {
            e += t.events.find("hit") == std::string::npos ? " hit@" + std::to_string(angle)
                                                           : " hit";
        }
        e += std::string(coll[COL_SIGN].hit ? " sign" : "") +
             (falling && !intpl[INT_BIRD_GRAVITY].running ? " rest" : "") +
             (game->stuck && !stuck ? " stuck" : "");
        const std::string sounds = Scene_sounds();
        e += sounds.empty() ? "" : " " + sounds;
        t.events += e.empty() ? "" : (t.events.empty() ? "" : ",") + std::to_string(fall) + e;
        for (int i = 0; i < 2; i++) {
            const Sprite* s = i ? &spr[SPR_GRUMM] : bird;
            const std::string a = std::to_string(s->ani - ani) + ":",
                              frame = std::to_string(s->src.y / s->src.h);
            std::string& p = t.pictures[i];
            if (p.compare(p.rfind(' ') + 1, a.size(), a) != 0) { // npos + 1: from the start
                p += (p.empty() ? "" : " ") + a + frame + "-" + frame;
            }
            p.replace(p.rfind('-') + 1, std::string::npos, frame);
        }
    }
    fflush(stdout);
    t.out = testing::internal::GetCapturedStdout();
    return t;
}

// Every throw starts so: the bird made ready, then dropped by the first press.
const std::string START = "-1 s1 ready.wav,0 s2 hepp.wav lift.wav,";
// A throw the club misses: the bird goes in head-first and the grumm swings at it.
const char* const MISS = "53 hit@0 rest stuck beat.wav,96 s5,156 sign beat.wav";

TEST(Logic, WholeThrows) {
    struct Row {
        int second, frames;
        const char* events; // after START
        fixed last = 0;
        const char* pose = "5 35913728 4128767 0 0 0 1 0 3 7 0";
    };
    // The sign drops from 528 and passes its landing line at 82 on the 60th
    // frame of the result: 16252 * 60 * 61 / 2 > 446 * 65536 > 16252 * 59 * 60 / 2.
    const Row rows[] = {
        {42, 71 + 470,
         "42 s3 beat.wav,48 s4 hui.wav,180 hit@-8688 bounce.wav,240 hit bounce.wav,"
         "267 hit bounce.wav,278 hit bounce.wav,281 hit rest,405 s5,465 sign beat.wav",
         19474378, "5 -193755674 3375103 0 0 0 0 3 4 7 0"},
        {41, 71 + 280,
         "41 s3 beat.wav,47 s4 hui.wav,199 hit@-9946 rest stuck beat.wav,215 s5,275 sign beat.wav",
         14201481, "5 -131570217 4128767 0 0 0 1 0 3 7 0"},
        // Presses are ignored while waiting, even on the 70th frame, and lost
        // while the club goes up (15 frames); it is up on the 16th.
        {-15, 71 + 160, MISS},
        {16, 71 + 130, "16 s3 beat.wav,53 hit@0 rest stuck beat.wav,69 s5,129 sign beat.wav"},
        {46, 71 + 150, "46 s3 beat.wav,53 hit@0 rest stuck beat.wav,89 s5,149 sign beat.wav"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.second);
        Scene_new();
        game->bestDistance = game->lastDistance = 14201481; // a throw before
        const Throw t = play(r.second, r.frames);
        EXPECT_EQ(t.events, START + r.events);
        // Every animation from its first picture to its end picture (a struck bird flies).
        EXPECT_EQ(t.pictures[0], std::string("0:0-23 1:24-32 ") + (r.last ? "2:0-20 " : "") +
                                     (game->stuck ? "3:0-5" : "4:0-5"));
        EXPECT_EQ(t.pictures[1], "5:0-5 6:6-20 7:21-30");
        EXPECT_EQ(pose(), r.pose);
        EXPECT_EQ(game->lastDistance, r.last);
        EXPECT_EQ(game->bestDistance, std::max(r.last, 14201481));
        EXPECT_EQ(sign->x.value, bird->x.value + 5 * 65536);
        EXPECT_EQ(sign->y.value, 0x0051FFFF);
    }
}

TEST(Logic, StrikeWindowSpeedsAndStickOrBounce) {
    // Strikes on the 43rd to 51st frame of the fall: angle, its cosine and
    // sine (truncated), and the speed of a second draw of 0, 127 and 255.
    const int32_t dir[9][3] = {{12739, 22438, 61574}, {11523, 29448, 58546}, {10278, 36211, 54623},
                               {9007, 42582, 49816},  {7707, 48444, 44136},  {6380, 53653, 37633},
                               {5025, 58076, 30365},  {3643, 61579, 22427},  {2233, 64039, 13923}};
    // 30.625 * (1 + k / 65536) with k = (draw - 127) * 32.
    const fixed speed[3] = {1882580, 2007040, 2132480};
    for (int press = 30; press <= 47; press++) {
        SCOPED_TRACE(press);
        Scene_new();
        // The first draw is thrown away; only the low 8 bits of the second count.
        Scene_rand = {{255 - press % 3 * 127, 0x7F00 | (press % 3 * 127 + press % 3 / 2)}, 2, 0};
        // The club strikes 6 to 8 frames after the press, on the first in the window.
        const int first = std::max(press + 6, 43),
                  strike = first <= std::min(press + 8, 51) ? first : 0;
        const Throw t = play(press, 71 + (strike ? strike : 60));
        ASSERT_EQ(game->state, strike ? STATE_FLIGHT : STATE_SWING);
        if (strike == 0) {
            continue;
        }
        const auto [a, c, s] = dir[strike - 43];
        const fixed v = speed[press % 3], vx = -fixmul(c, v), vy = fixmul(s, v);
        char expected[96];
        snprintf(expected, sizeof expected, "4 35913728 %d %d %d %d 0 0 2 6 1 0",
                 405 * 65536 - 16777 * strike * (strike + 1) / 2, vx, vy, a);
        EXPECT_EQ(pose() + " " + std::to_string(ani[ANI_FLY].frame), expected); // flying from 0
        EXPECT_EQ(Scene_rand.calls, 2);
        EXPECT_EQ(t.out, "ang: " + f(a * 360 / 65536.0) + "\nsine: " + f(s / 65536.0) +
                             ", cosine: " + f(c / 65536.0) + "\nspeed o (x, y): " + f(v / 65536.0) +
                             " (" + f(vx / 65536.0) + ", " + f(vy / 65536.0) + ")\n");
        // The steep ones come down at or below the stick angle and stick.
        const std::string rest = play(0, 400).events;
        const int32_t landing = atoi(rest.c_str() + rest.find('@') + 1);
        EXPECT_EQ(rest.find(" stuck") < rest.find(",", rest.find('@')), strike <= 47) << rest;
        EXPECT_EQ(landing <= -9102, strike <= 47) << landing;
    }
}

TEST(Logic, StrikeEdges) {
    // The window's heights themselves strike, a step outside does not.
    const fixed rows[4][2] = {
        {0x003DB850, 4}, {0x00AA4937, 4}, {0x003DB850 - 1, 3}, {0x00AA4937 + 1, 3}};
    for (const auto& r : rows) {
        Scene_new();
        play(20, 71 + 20);
        bird->y.value = r[0];
        ani[ANI_SWING].frame = 2;
        testing::internal::CaptureStdout();
        Game_doGame(game);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(game->state, uint32_t(r[1])) << r[0];
    }
}

TEST(Logic, SingleFlightFrames) {
    // A bird at x 300 px in flight; gravity adds -16777 before the move.
    const struct {
        fixed y, vx, vy;
        int32_t angle;
        bool gravity;
        const char *pose, *sounds;
    } rows[] = {
        // Sliding: friction 717649 leaves -1248431, drag 5289 on that -1243142.
        {0x00337FFF, -1966080, 0, 0, false, "4 17694720 3375103 -1243142 0 0 0 1 0 5 0", ""},
        // Friction and drag stop a bird without turning it round: angle 0.
        {0x00337FFF, -100, 0, 0, false, "5 19660700 3375103 0 0 0 0 1 4 7 0", ""},
        {200 * 65536, 150, -100, 0, false, "5 19660950 3375103 0 0 0 0 0 4 7 0", ""},
        // Straight down; rising to the left at -45.0228 degrees (-8196.15 units, truncated).
        {200 * 65536, 0, -65536, 0, false, "4 19660800 13041664 0 -65365 -16384 0 0 0 5 0", ""},
        {200 * 65536, -65536, 65536, 0, false, "4 19595264 13172736 -65313 65365 8196 0 0 0 5 0",
         ""},
        // A bounce at -3.0 just above the stick angle: 73925 back up less its
        // drag of 174; at the stick angle itself the bird sticks.
        {0x350000, -1966080, -0x30000, -9101, false,
         "4 17694720 3473408 -1243142 73751 618 0 1 0 5 0", "bounce.wav"},
        {0x350000, -1966080, -0x30000 + 16777, -9102, true, "4 17694720 4128767 0 0 0 1 0 3 5 0",
         "beat.wav"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.pose);
        Scene_new();
        game->state = STATE_FLIGHT;
        bird->x.value = 300 * 65536;
        bird->y.value = r.y;
        bird->x.speed = r.vx;
        bird->y.speed = r.vy;
        bird->angle.value = r.angle;
        (r.gravity ? Int_start : Int_stop)(&intpl[INT_BIRD_GRAVITY]);
        testing::internal::CaptureStdout(); // "fly ang:", written as the strike's "ang:"
        Game_step(game);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(pose(), r.pose);
        EXPECT_EQ(Scene_sounds(), r.sounds);
    }
}

TEST(Logic, ReturnFromEveryState) {
    // Waiting, ready, dropping, mid-swing, in flight with a mark, stuck, the
    // sign still falling: {second press, frames, state}.
    const int rows[7][3] = {{0, 30, 0},        {0, 70, 1},        {0, 76, 2},       {20, 96, 3},
                            {42, 71 + 200, 4}, {41, 71 + 205, 4}, {42, 71 + 425, 5}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r[1]);
        Scene_new();
        play(r[0], r[1]);
        ASSERT_EQ(game->state, uint32_t(r[2]));
        game->bestDistance = 424242;
        Game_setState(game, STATE_WAIT); // what a Return release does
        EXPECT_EQ(pose(), "0 35913728 26542080 0 0 0 0 0 0 5 0");
        EXPECT_FALSE(ani[ANI_LIFT].running || ani[ANI_SWING].running || ani[ANI_LOWER].running);
        EXPECT_EQ(sign->y.value, 0x00011999);
        EXPECT_EQ(game->bestDistance, 424242);
        // A whole new wait, and a miss plays out as in a fresh game: not hung
        // on a stale swing, the sign not dropping too fast.
        EXPECT_EQ(play(0, 71 + 160).events, START + MISS);
    }
}

TEST(Logic, PressesDuringTheResultWaitForTheSign) {
    // Pressing every frame of a result: the next throw starts in the frame
    // the sign lands.
    Scene_new();
    play(0, 71 + 96);
    int n = 1;
    for (Scene_frame(1); game->state == STATE_RESULT && n < 100; n++) {
        Scene_frame(1);
    }
    EXPECT_EQ(n, 60);
    EXPECT_EQ(game->state, STATE_WAIT);
}

} // namespace
