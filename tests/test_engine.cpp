// The scene engine and the scratch marks.
#include <gtest/gtest.h>

#include <array>
#include <malloc.h>
#include <tuple>

#include "tests/support/test_env.h"

namespace {

using std::tuple;
using Box = std::array<int, 4>; // x0, y0, x1, y1 of the screen pixels of a colour
constexpr Box NONE{640, 480, -1, -1};
constexpr uint32_t RED = 0xFF0000, GREEN = 0x00FF00;

// An opaque 32-bit RGBA strip, green with rows y and below red.
SDL_Surface* strip(int w, int h, int y) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    SDL_Rect band{0, static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    SDL_FillRect(s, nullptr, 0xFF000000 | GREEN);
    SDL_FillRect(s, &band, 0xFF000000 | RED);
    return s;
}

Box box(SDL_Surface* screen, uint32_t colour) {
    Box b = NONE;
    for (int x = 0, y = 0; y < 480; x = (x + 1) % 640, y += x == 0) {
        if (Test_pixel(screen, x, y) == colour) {
            b = {std::min(b[0], x), std::min(b[1], y), std::max(b[2], x), y};
        }
    }
    return b;
}

constexpr fixed L = BIRD_LYING_Y, LOSS = 0xBE76, HALF = 0x8000, ONE = FIX_ONE;

// Axis, hit, the line, the tested channel after this frame's motion and after. Every
// test starts with a hit, which no axis keeps; the other channel must be left alone.
const int colRows[][9] = {
    {1, 1, L, LOSS, HALF, 0x320000, -0x30000, 0x350000, 73925},         // (3 px - loss) / 2 up
    {1, 1, L, LOSS, HALF, 0x330000, -HALF, L, 0},                       // slower than the loss
    {1, 1, L, LOSS, HALF, L - 1, -LOSS, L, 0},                          // a rebound of exactly 0
    {1, 1, L, LOSS, HALF, L + 1, LOSS, L, 0},                           // the same going up
    {1, 1, L, LOSS, HALF, L - 0x100 + HALF, HALF, L, 0},                // up, too slow to go on
    {1, 1, L, LOSS, HALF, 0x338000 - 1 - LOSS, -1 - LOSS, 0x338000, 0}, // 0.5 up is 0, off it
    {1, 1, L, LOSS, HALF, 0x337FFE + 1 + LOSS, 1 + LOSS, 0x337FFE, 0},  // 0.5 down is 0, not -1
    {1, 1, L, LOSS, HALF, 0x337FFE + 3 + LOSS, 3 + LOSS, 0x337FFE, -1}, // 1.5 down is -1
    {1, 1, L, LOSS, HALF, L - ONE, -ONE, L, 8389}, // leaving the line: (1 px - loss) / 2 back
    {1, 1, L, LOSS, HALF, L + ONE, ONE, L, -8389},
    {1, 0, L, LOSS, HALF, L, -0x30000, L, -0x30000}, // arriving on it is no crossing
    {1, 0, L, LOSS, HALF, L, 0x30000, L, 0x30000},
    {0, 1, 0x80000, 0, ONE, 0x90000, 0x20000, 0x70000, -0x20000}, // x axis, full bounce
    {2, 1, L, LOSS, HALF, L - 1, -0x100000, L - 1, -0x100000}};   // no axis

TEST(Engine, CollisionWithALineRoundingTowardZero) {
    EXPECT_EQ(tuple(fixmul(-1, HALF), fixmul(-3, HALF), fixmul(3, -HALF),
                    fixmul(-3 * ONE, ONE + HALF), wrap_add(INT32_MAX, 1), wrap_sub(INT32_MIN, 1)),
              tuple(0, -1, -1, -0x48000, INT32_MIN, INT32_MAX));
    for (const auto& [axis, hit, limit, loss, bounce, v, speed, v2, s2] : colRows) {
        Channel ch[2] = {{limit - 1, -0x100000}, {limit - 1, -0x100000}};
        Channel &tested = ch[axis == 0 ? 0 : 1], &other = ch[axis == 0 ? 1 : 0];
        tested = {v, speed};
        CollisionArea area{&ch[0], &ch[1], limit, loss, bounce};
        Collision c{axis, 1, &area};
        const int ret = Col_do(&c);
        EXPECT_EQ(tuple(ret, c.hit, tested.value, tested.speed, other.value, other.speed),
                  tuple(hit, hit, v2, s2, limit - 1, -0x100000));
    }
    Channel ch[2] = {{L - 1, -0x100000}, {L - 1, -0x100000}}; // would hit the line
    CollisionArea area{&ch[0], &ch[1], L, LOSS, HALF};
    Collision two[2] = {{2, 1, &area}, {1, 1, &area}};
    Col_doN(two, 1); // the first test only, which has no axis
    EXPECT_EQ(ch[1].value, L - 1);
}

// Ticks a frame, frames, loop, running, start frame (binding starts the tick
// count there too), the frame after each game frame ('-': stopped where it was).
const tuple<uint16_t, uint16_t, uint8_t, uint8_t, uint16_t, const char*> aniRows[] = {
    {3, 2, 0, 1, 0, "001112--"},   // the end frame stays once reached
    {3, 2, 1, 1, 0, "0011120001"}, // looping shows the end frame one game frame
    {3, 2, 1, 1, 2, "0001"},       // the restart counts ticks from zero again
    {0, 3, 0, 1, 0, "123-"},       // no ticks a frame steps like one
    {1, 1, 2, 1, 0, "1-"},         // only loop 1 restarts
    {3, 0, 1, 1, 0, "000"},        // nothing to step
    {3, 5, 1, 0, 1, "--"}};        // not running

TEST(Engine, AnimationsStepTheirSpritesFrames) {
    for (const auto& [ticks, count, loop, run, start, frames] : aniRows) {
        Sprite s{};
        SDL_Surface image{};
        Animation a{ticks, 7, count, 9, &image, {0, 1728, 48, 72}, nullptr, 0, loop};
        s.src.x = 5;
        Spr_setAni(&s, &a, start, run);
        EXPECT_TRUE(s.ani == &a && a.sprite == &s && s.image == &image && s.src.x == 0 &&
                    s.src.w == 48 && s.src.h == 72);
        int frame = start;
        for (const char* c = frames; *c != 0; c++) {
            Spr_doN(&s, 1);
            frame = *c == '-' ? frame : *c - '0';
            EXPECT_EQ(tuple(a.running, a.frame, s.src.y),
                      tuple(*c != '-', frame, 1728 + 72 * frame))
                << frames << " at " << c - frames;
        }
    }
}

// What the rotation routine was given: frame size, first pixel, arguments.
using Turn = std::tuple<int, int, uint32_t, double, double, double, int>;
Turn turn;
SDL_Surface* fakeRotozoom(SDL_Surface* frame, double degrees, double zx, double zy, int smooth) {
    const uint32_t first = *static_cast<uint32_t*>(frame->pixels) & 0xFFFFFF;
    turn = {frame->w, frame->h, first, degrees, zx, zy, smooth};
    return strip(7, 5, 0); // all red
}

// A sprite at (0, 0) seen from V is at column 100, row 100. Each row: the view, the
// angle and zoom, the first of the 8 rows shown of a strip 8 x 20 red from row 8 on;
// the frame handed to the rotation (height 0: none) and the turn; where red is drawn.
constexpr Box TURNED{97, 98, 103, 102}; // 7 x 5 centred on (100, 100)
constexpr View V{-0x640000, -0x17C0000};
const tuple<View, fixed, fixed, fixed, Sint16, int, double, double, double, Box> drawRows[] = {
    {{V.x + ONE, V.y + ONE}, 0, ONE, ONE, 8, 0, 0, 0, 0, {95, 97, 102, 104}},
    {{HALF, -480 * ONE - HALF}, 0, ONE, ONE, 8, 0, 0, 0, 0, {0, 0, 2, 2}}, // -0.5 is -1, not 0
    {V, -0x2000, ONE, ONE, 8, 8, 45, 1, 1, TURNED}, // each of angle and zooms alone turns it
    {V, 0, ONE, ONE + 1, 8, 8, 0, 1, 1 + 1 / 65536.0, TURNED},
    {V, 0, ONE - 1, ONE, 8, 8, 0, 1 - 1 / 65536.0, 1, TURNED},
    {V, 0x100, ONE, ONE, 16, 4, -1.40625, 1, 1, TURNED}, // cut at the strip's end
    {V, 0x100, ONE, ONE, 20, 0, 0, 0, 0, NONE}};         // nothing of it left

TEST(Engine, DrawnCentredOnItsPixelTurnedThroughTheRotationFreeingWhatItMakes) {
    screen = Test_makeScreen();
    Sprite s{};
    s.image = strip(8, 20, 8);
    auto* const saved = Spr_rotozoom;
    Spr_rotozoom = fakeRotozoom;
    for (const auto& [view, angle, zx, zy, srcY, frameH, degrees, ezx, ezy, red] : drawRows) {
        turn = {};
        std::tie(s.zoomX.value, s.zoomY.value, s.angle.value) = tuple(zx, zy, angle);
        s.src = {0, srcY, 8, 8};
        SDL_FillRect(screen, nullptr, 0);
        Spr_draw(&s, &view, 480);
        EXPECT_EQ(tuple(box(screen, RED), box(screen, GREEN)), tuple(red, NONE));
        EXPECT_EQ(turn, (frameH ? Turn{8, frameH, RED, degrees, ezx, ezy, 1} : Turn{}));
    }
    Spr_rotozoom = saved;
    s.src = {0, 0, 8, 8};
    size_t heap = 0;
    for (int i = 0; i < 40; i++) { // the first 20 fill the allocator's caches
        heap = i == 20 ? mallinfo2().uordblks : heap;
        Spr_draw(&s, &V, 480); // turned as the last row
    }
    EXPECT_EQ(mallinfo2().uordblks, heap);
    SDL_FreeSurface(s.image);
    SDL_FreeSurface(screen);
    screen = nullptr;
}

constexpr fixed NEAR = 0x00384CCB, AIR = 100 * 65536; // highest bird centre that scrapes
// Marks finished before, the image's width, up to three frames of the bird (x in
// pixels, y, touching); what the last returns, the marks and the last mark's start,
// end, activity and zoom.
struct ScratchRow {
    int before, width, steps[3][3], ret, count, start, end, active, scale;
};
const ScratchRow scratchRows[] = {
    {0, 72, {{300, L, 1}}, 1, 1, 300, 300, 1, ONE},
    {0, 72, {{300, L, 1}, {290, AIR, 0}}, 0, 1, 300, 300, 0, ONE},
    {0, 72, {{300, L, 1}, {280, AIR, 2}}, 0, 1, 300, 300, 0, ONE}, // 2 is no contact
    {0, 72, {{300, L, 1}, {264, NEAR, 0}, {228, L, 0}}, 1, 1, 300, 228, 1, 2 * ONE},
    {0, 72, {{228, L, 1}, {300, L, 0}}, 1, 1, 228, 300, 1, 2 * ONE},
    {0, 72, {{300, L, 1}, {200, L, 0}}, 1, 1, 300, 200, 1, 156558}, // 172 / 72, truncated
    {0, 72, {{300, NEAR + 1, 0}}, 0, 0, 0, 0, 0, 0},
    {0, 0, {{300, L, 1}, {200, L, 0}}, 1, 1, 300, 200, 1, ONE},       // no image: natural
    {9, 72, {{500, L, 1}, {428, L, 0}}, 1, 10, 500, 428, 1, 2 * ONE}, // the tenth grows
    {10, 72, {{100, L, 1}}, 1, 10, 550, 550, 0, ONE}};                // no eleventh

TEST(Engine, ScratchMarksFollowTheBirdOnTheSnow) {
    auto touch = [](int x, fixed y, int touching) {
        std::tie(spr[SPR_BIRD].x.value, spr[SPR_BIRD].y.value) = tuple(x * 65536, y);
        return Scratch_do(&theGame, uint8_t(touching));
    };
    for (const auto& [before, width, steps, ret0, count, start, end, active, scale] : scratchRows) {
        Scratch_reset(&theGame);
        spr[SPR_SCRATCH].src.w = static_cast<Uint16>(width);
        for (int i = 0; i < before; i++) {
            touch(1000 - 50 * i, L, 1);
            touch(990 - 50 * i, AIR, 0);
        }
        int ret = 0;
        for (const auto& t : steps) {
            ret = t[0] != 0 ? touch(t[0], t[1], t[2]) : ret;
        }
        const int n = theGame.scratchCount;
        const ScratchMark m = n != 0 ? theGame.scratch[n - 1] : ScratchMark{};
        EXPECT_EQ(tuple(ret, n, m.startX, m.endX, m.active, m.scaleX),
                  tuple(ret0, count, start * 65536, end * 65536, active, scale));
    }
}

} // namespace
