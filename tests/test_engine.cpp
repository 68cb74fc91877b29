// The scene engine: interpolations, collision tests, animations, sprite
// stepping and drawing.
#include <gtest/gtest.h>

#include <SDL/SDL_rotozoom.h>
#include <malloc.h>

#include "engine/Animation.h"
#include "engine/Collision.h"
#include "engine/Interpolation.h"
#include "engine/Sprite.h"
#include "tests/support/engine_surfaces.h"

namespace {

constexpr uint32_t RED = 0x0000FF;
constexpr uint32_t GREEN = 0x00FF00;

Sprite plainSprite(fixed x, fixed y) {
    Sprite s{};
    s.x.value = x;
    s.y.value = y;
    s.zoomX.value = FIX_ONE;
    s.zoomY.value = FIX_ONE;
    return s;
}

// ---------------------------------------------------------------- gravity

TEST(Interpolation, GravityTenFrames) {
    Sprite s = plainSprite(0, 0x1000000);
    Interpolation g{&s.y, -16777, 1};
    s.intpl = &g;
    s.intplCount = 1;
    for (int i = 0; i < 10; i++) {
        Spr_doN(&s, 1);
    }
    EXPECT_EQ(s.y.speed, -167770);
    // 16777 * (1 + 2 + ... + 10) = 16777 * 55
    EXPECT_EQ(s.y.value, 0x1000000 - 922735);
    EXPECT_EQ(s.x.value, 0);
}

TEST(Interpolation, StoppedAndTargetless) {
    Channel c{5, 7};
    Interpolation r{&c, 100, 0};
    EXPECT_EQ(Int_do(&r), 0);
    EXPECT_EQ(c.speed, 7);
    Int_stop(&r);
    EXPECT_EQ(r.running, 0);
    Int_start(&r);
    Int_start(&r);
    EXPECT_EQ(r.running, 1);
    EXPECT_EQ(c.speed, 7); // starting resets nothing
    EXPECT_EQ(Int_do(&r), 1);
    EXPECT_EQ(c.speed, 107);
    EXPECT_EQ(c.value, 5);
    Int_stop(&r);
    EXPECT_EQ(c.speed, 107);

    Interpolation none{nullptr, 100, 1};
    EXPECT_EQ(Int_do(&none), 1);
    EXPECT_EQ(Int_do(nullptr), 0);
    Int_start(nullptr);
    Int_stop(nullptr);
}

TEST(Interpolation, SpeedWrapsAround) {
    Channel c{0, INT32_MAX};
    Interpolation r{&c, 1, 1};
    Int_do(&r);
    EXPECT_EQ(c.speed, INT32_MIN);
}

TEST(Interpolation, SeveralOnOneChannelAddUp) {
    Sprite s = plainSprite(0, 0);
    Interpolation run[3] = {{&s.x, 10, 1}, {&s.x, 5, 0}, {&s.x, 20, 1}};
    s.intpl = run;
    s.intplCount = 3;
    Spr_doN(&s, 1);
    EXPECT_EQ(s.x.speed, 30);
    EXPECT_EQ(s.x.value, 30); // applied in the same frame
}

// ---------------------------------------------------------------- collisions

// The bird's floor.
CollisionArea birdFloor(Channel* x, Channel* y) {
    return {x, y, 0x337FFF, 0xBE76, 0x8000};
}

TEST(Collision, FallBounces) {
    Channel x{}, y{0x320000, -0x30000};
    CollisionArea a = birdFloor(&x, &y);
    Collision r{1, 0, &a};
    EXPECT_EQ(Col_do(&r), 1);
    EXPECT_EQ(r.hit, 1);
    EXPECT_EQ(y.value, 0x350000);
    // (-196608 + 48758) = -147850; half of it back up.
    EXPECT_EQ(y.speed, 73925);
}

TEST(Collision, SlowFallStopsOnTheLine) {
    Channel x{}, y{0x330000, -0x8000};
    CollisionArea a = birdFloor(&x, &y);
    Collision r{1, 0, &a};
    EXPECT_EQ(Col_do(&r), 1);
    EXPECT_EQ(y.speed, 0);
    EXPECT_EQ(y.value, 0x337FFF);
}

TEST(Collision, ExactlyOnTheLineIsNoHit) {
    for (fixed speed : {-0x30000, -1, 0, 1, 0x30000}) {
        Channel x{}, y{0x337FFF, speed};
        CollisionArea a = birdFloor(&x, &y);
        Collision r{1, 1, &a};
        EXPECT_EQ(Col_do(&r), 0) << speed;
        EXPECT_EQ(r.hit, 0);
        EXPECT_EQ(y.value, 0x337FFF);
        EXPECT_EQ(y.speed, speed);
    }
}

TEST(Collision, NoCrossingNoChange) {
    Channel x{}, y{0x400000, -0x10000}; // still above after falling
    CollisionArea a = birdFloor(&x, &y);
    Collision r{1, 1, &a};
    EXPECT_EQ(Col_do(&r), 0);
    EXPECT_EQ(y.value, 0x400000);
    EXPECT_EQ(y.speed, -0x10000);
}

TEST(Collision, BounceQuotientTruncatesTowardZero) {
    // Down: s' = -3 gives 0x8000 * 3 / 65536 = 1.5, sent up as 1.
    Channel x{}, y{wrap_add(0x338000, -3 - 0xBE76), -3 - 0xBE76};
    CollisionArea a = birdFloor(&x, &y);
    EXPECT_EQ(Col_doAxis(&a, &y), 1);
    EXPECT_EQ(y.speed, 1);
    EXPECT_EQ(y.value, 0x338000);

    // Up: s' = +3 gives -1.5, sent down as -1 (a shift would make it -2).
    Channel z{0x337FFE + 3 + 0xBE76, 3 + 0xBE76};
    EXPECT_EQ(Col_doAxis(&a, &z), 1);
    EXPECT_EQ(z.speed, -1);
    EXPECT_EQ(z.value, 0x337FFE);
}

TEST(Collision, UpwardCrossingStops) {
    // From just under the line, rising too slowly to keep any speed.
    Channel y{0x337FFF - 0x100 + 0x8000, 0x8000};
    CollisionArea a{nullptr, &y, 0x337FFF, 0xBE76, 0x8000};
    EXPECT_EQ(Col_doAxis(&a, &y), 1);
    EXPECT_EQ(y.speed, 0);
    EXPECT_EQ(y.value, 0x337FFF);
}

TEST(Collision, XAxisTestsTheXChannel) {
    Channel x{0x90000, 0x20000}, y{0x10000, -0x100000};
    CollisionArea a{&x, &y, 0x80000, 0, 0x10000};
    Collision r{0, 0, &a};
    EXPECT_EQ(Col_do(&r), 1);
    EXPECT_EQ(x.value, 0x70000);
    EXPECT_EQ(x.speed, -0x20000); // full bounce, no loss
    EXPECT_EQ(y.value, 0x10000);  // the y channel is not looked at
}

TEST(Collision, RestingObjectWithGravityHitsEveryFrame) {
    Sprite s = plainSprite(0, 0x337FFF);
    Interpolation g{&s.y, -16777, 1};
    s.intpl = &g;
    s.intplCount = 1;
    CollisionArea a = birdFloor(&s.x, &s.y);
    Collision r{1, 0, &a};
    for (int i = 0; i < 20; i++) {
        Spr_doN(&s, 1);
        Col_doN(&r, 1);
        ASSERT_EQ(r.hit, 1) << "frame " << i;
        ASSERT_EQ(s.y.value, 0x337FFF);
        ASSERT_EQ(s.y.speed, 0);
    }
    Int_stop(&g);
    Spr_doN(&s, 1);
    Col_doN(&r, 1);
    EXPECT_EQ(r.hit, 0);
}

TEST(Collision, FallingSignAlwaysStops) {
    Channel x{}, y{};
    CollisionArea a{&x, &y, 0x51FFFF, 0x77000000, 0};
    Collision r{1, 0, &a};
    // Up to just under 30464 pixels per frame: stopped on the line.
    for (fixed s : {-1, -0x48000, -0x400000, -(0x77000000 - 1), -0x77000000}) {
        y.value = wrap_add(0x51FFFF, s); // from on the line
        y.speed = s;
        EXPECT_EQ(Col_do(&r), 1) << s;
        EXPECT_EQ(y.value, 0x51FFFF) << s;
        EXPECT_EQ(y.speed, 0) << s;
    }
}

TEST(Collision, OtherAxisKeepsHit) {
    Channel x{0x10000, -0x100000}, y{0x10000, -0x100000};
    CollisionArea a = birdFloor(&x, &y);
    for (uint8_t kept : {0, 1}) {
        Collision r{2, kept, &a};
        EXPECT_EQ(Col_do(&r), kept);
        EXPECT_EQ(r.hit, kept);
    }
    EXPECT_EQ(y.value, 0x10000);
    EXPECT_EQ(y.speed, -0x100000);
}

TEST(Collision, NothingGivenNothingDone) {
    EXPECT_EQ(Col_do(nullptr), 0);
    Col_doN(nullptr, 5);
    EXPECT_EQ(Col_doAxis(nullptr, nullptr), 0);
    Channel y{0x10000, -0x100000};
    CollisionArea a = birdFloor(nullptr, &y);
    Collision r[2] = {{1, 0, &a}, {1, 0, &a}};
    Col_doN(r, 0);
    EXPECT_EQ(y.value, 0x10000);
    Collision onlyX{0, 1, &a}; // the area has no x channel
    EXPECT_EQ(Col_do(&onlyX), 0);
}

TEST(Collision, RunTestsEachRecordInOrder) {
    Channel y0{0x330000, -0x8000}, y1{0x510000, -0x10000};
    CollisionArea a0 = birdFloor(nullptr, &y0);
    CollisionArea a1{nullptr, &y1, 0x51FFFF, 0x77000000, 0};
    Collision r[2] = {{1, 0, &a0}, {1, 0, &a1}};
    Col_doN(r, 2);
    EXPECT_EQ(r[0].hit, 1);
    EXPECT_EQ(r[1].hit, 1);
    EXPECT_EQ(y1.value, 0x51FFFF);
}

// ---------------------------------------------------------------- animations

Animation fontLike(uint16_t ticks, uint16_t frames) {
    Animation a{};
    a.ticksPerFrame = ticks;
    a.frameCount = frames;
    a.frameRect.w = 13;
    a.frameRect.h = 27;
    return a;
}

TEST(Animation, ThreeTicksFiveFrames) {
    Sprite s = plainSprite(0, 0);
    Animation a = fontLike(3, 5);
    Spr_setAni(&s, &a, 0, 1);
    EXPECT_EQ(s.src.y, 0);
    // frame after each call: frame k becomes current at call 3k
    for (int call = 1; call <= 15; call++) {
        EXPECT_EQ(Ani_do(&a), 1) << call;
        Ani_transfer(&a);
        EXPECT_EQ(a.frame, call / 3) << call;
        EXPECT_EQ(s.src.y, 27 * (call / 3)) << call;
    }
    EXPECT_EQ(a.frame, 5);
    EXPECT_EQ(Ani_do(&a), 0); // 16th call
    EXPECT_EQ(a.running, 0);
    EXPECT_EQ(a.frame, 5);
    EXPECT_EQ(s.src.y, 135);
    EXPECT_EQ(Ani_do(&a), 0);
}

TEST(Animation, ThroughTheSpriteStep) {
    Sprite s = plainSprite(0, 0);
    Animation a = fontLike(3, 5);
    Spr_setAni(&s, &a, 0, 1);
    for (int i = 0; i < 7; i++) {
        Spr_doN(&s, 1);
    }
    EXPECT_EQ(s.src.y, 2 * 27);
    for (int i = 0; i < 20; i++) {
        Spr_doN(&s, 1);
    }
    EXPECT_EQ(a.running, 0);
    EXPECT_EQ(s.src.y, 5 * 27);
}

TEST(Animation, NoFramesStopsAtOnceOrRestartsEveryCall) {
    Animation a = fontLike(3, 0);
    a.running = 1;
    EXPECT_EQ(Ani_do(&a), 0);
    EXPECT_EQ(a.running, 0);

    Animation b = fontLike(3, 0);
    b.running = 1;
    b.loop = 1;
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(Ani_do(&b), 1);
        EXPECT_EQ(b.frame, 0);
        EXPECT_EQ(b.running, 1);
    }
}

TEST(Animation, LoopOneRestartsOtherValuesStop) {
    Animation a = fontLike(1, 2);
    a.loop = 1;
    a.running = 1;
    Ani_do(&a);
    Ani_do(&a);
    EXPECT_EQ(a.frame, 2); // end frame, shown for one call
    EXPECT_EQ(Ani_do(&a), 1);
    EXPECT_EQ(a.frame, 0);
    EXPECT_EQ(a.tick, 0);

    Animation b = fontLike(1, 2);
    b.loop = 2;
    b.running = 1;
    Ani_do(&b);
    Ani_do(&b);
    EXPECT_EQ(Ani_do(&b), 0);
    EXPECT_EQ(b.running, 0);
    EXPECT_EQ(b.frame, 2);
}

TEST(Animation, ZeroTicksStepsLikeOne) {
    Animation a = fontLike(0, 4);
    a.running = 1;
    Ani_do(&a);
    EXPECT_EQ(a.frame, 1);
    Ani_do(&a);
    EXPECT_EQ(a.frame, 2);
}

TEST(Animation, StoppedAnimationIsLeftAlone) {
    Animation a = fontLike(3, 5);
    a.tick = 2;
    a.frame = 3;
    EXPECT_EQ(Ani_do(&a), 0);
    EXPECT_EQ(a.tick, 2);
    EXPECT_EQ(a.frame, 3);
    EXPECT_EQ(Ani_do(nullptr), 0);
    Ani_transfer(nullptr);
}

TEST(Animation, GlyphSelection) {
    SDL_Surface* strip = Test_makeRgba(13, 27 * 11);
    Sprite s = plainSprite(0, 0);
    Animation a = fontLike(3, 10);
    a.image = strip;
    Spr_setAni(&s, &a, 10, 0);
    EXPECT_EQ(s.src.y, 270);
    EXPECT_EQ(s.src.x, 0);
    EXPECT_EQ(s.src.w, 13);
    EXPECT_EQ(s.src.h, 27);
    EXPECT_EQ(s.image, strip);
    EXPECT_EQ(s.ani, &a);
    EXPECT_EQ(a.sprite, &s);
    EXPECT_EQ(a.running, 0);
    EXPECT_EQ(Ani_do(&a), 0);
    EXPECT_EQ(a.frame, 10);
    SDL_FreeSurface(strip);
}

TEST(Animation, LaterStartInTheStrip) {
    Sprite s = plainSprite(0, 0);
    Animation a{};
    a.ticksPerFrame = 3;
    a.frameCount = 8;
    a.frameRect = {0, 1728, 48, 72};
    Spr_setAni(&s, &a, 3, 0);
    EXPECT_EQ(s.src.y, 1944);
}

TEST(Animation, SourceRowWrapsInSixteenBits) {
    Sprite s = plainSprite(0, 0);
    Animation a{};
    a.frameCount = 60000;
    a.frameRect = {0, 0, 180, 134};
    Spr_setAni(&s, &a, 500, 0);
    // 500 * 134 = 67000, kept in 16 bits: 1464
    EXPECT_EQ(static_cast<uint16_t>(s.src.y), 1464);
}

TEST(Animation, UnbindKeepsTheFrame) {
    SDL_Surface* strip = Test_makeRgba(13, 27 * 11);
    Sprite s = plainSprite(0, 0);
    Animation a = fontLike(3, 10);
    a.image = strip;
    Spr_setAni(&s, &a, 4, 1);
    Spr_setAni(&s, nullptr, 0, 1);
    EXPECT_EQ(s.ani, nullptr);
    EXPECT_EQ(s.image, strip);
    EXPECT_EQ(s.src.y, 4 * 27);
    EXPECT_EQ(a.running, 1); // the old animation is left as it was
    Spr_setAni(nullptr, &a, 0, 0);
    EXPECT_EQ(a.frame, 4);
    SDL_FreeSurface(strip);
}

// ---------------------------------------------------------------- stepping

TEST(SpriteStep, MovesByItsSpeeds) {
    Sprite s[2] = {plainSprite(0x10000, 0x20000), plainSprite(INT32_MAX, 0)};
    s[0].x.speed = 0x8000;
    s[0].y.speed = -0x18000;
    s[0].zoomX.speed = 5; // carried, never applied
    s[0].angle.speed = 7;
    s[1].x.speed = 1;
    Spr_doN(s, 2);
    EXPECT_EQ(s[0].x.value, 0x18000);
    EXPECT_EQ(s[0].y.value, 0x8000);
    EXPECT_EQ(s[0].zoomX.value, FIX_ONE);
    EXPECT_EQ(s[0].angle.value, 0);
    EXPECT_EQ(s[1].x.value, INT32_MIN);
    Spr_doN(s, 0);
    EXPECT_EQ(s[0].x.value, 0x18000);
    Spr_doN(nullptr, 3);
}

TEST(SpriteStep, CountedInterpolationsWithoutRecordsAreSkipped) {
    Sprite s = plainSprite(0, 0);
    s.intplCount = 3;
    s.x.speed = 4;
    Spr_doN(&s, 1);
    EXPECT_EQ(s.x.value, 4);
}

// ---------------------------------------------------------------- drawing

// Records what the rotation routine is given; can pass on to the real one.
struct RotozoomWatch {
    int calls = 0;
    double angle = 0, zoomx = 0, zoomy = 0;
    int smooth = -1;
    int frameW = 0, frameH = 0, framePitch = 0;
    void* framePixels = nullptr;
    uint32_t frameFirstPixel = 0;
    uint32_t frameFlags = 0;
    bool passOn = false;
    // Held back from the draw by one extra reference so the test can see
    // that the draw released its own.
    SDL_Surface* frame = nullptr;
    SDL_Surface* turned = nullptr;
    bool hold = false;
    // Paints the whole rotated surface opaque red, so that the drawn box is
    // that surface's rectangle whatever the routine drew inside it.
    bool paint = false;
    int outW = 0, outH = 0;
};
RotozoomWatch watch;

SDL_Surface* watchingRotozoom(SDL_Surface* src, double angle, double zx, double zy, int smooth) {
    watch.calls++;
    watch.angle = angle;
    watch.zoomx = zx;
    watch.zoomy = zy;
    watch.smooth = smooth;
    watch.frameW = src->w;
    watch.frameH = src->h;
    watch.framePitch = src->pitch;
    watch.framePixels = src->pixels;
    watch.frameFlags = src->flags;
    watch.frameFirstPixel = src->pixels ? *static_cast<uint32_t*>(src->pixels) : 0;
    SDL_Surface* out = watch.passOn ? rotozoomSurfaceXY(src, angle, zx, zy, smooth) : nullptr;
    if (out != nullptr) {
        watch.outW = out->w;
        watch.outH = out->h;
        if (watch.paint) {
            SDL_FillRect(out, nullptr, SDL_MapRGBA(out->format, 255, 0, 0, 255));
        }
    }
    if (watch.hold) {
        src->refcount++;
        watch.frame = src;
        if (out != nullptr) {
            out->refcount++;
        }
        watch.turned = out;
    }
    return out;
}

class Draw : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = screen;
        screen = Test_makeRgba(640, 480);
        ASSERT_NE(screen, nullptr);
        // opaque black background
        Test_fillRows(screen, 0, 480, 0);
        watch = RotozoomWatch{};
        Spr_rotozoom = watchingRotozoom;
    }
    void TearDown() override {
        Spr_rotozoom = rotozoomSurfaceXY;
        SDL_FreeSurface(screen);
        screen = saved;
    }
    // Bounding box of the pixels of the given colour.
    void box(uint32_t rgb, int* x0, int* y0, int* x1, int* y1) {
        *x0 = *y0 = 100000;
        *x1 = *y1 = -1;
        for (int y = 0; y < screen->h; y++) {
            for (int x = 0; x < screen->w; x++) {
                if ((Test_getPixel(screen, x, y) & 0xFFFFFF) == rgb) {
                    *x0 = std::min(*x0, x);
                    *y0 = std::min(*y0, y);
                    *x1 = std::max(*x1, x);
                    *y1 = std::max(*y1, y);
                }
            }
        }
    }
    SDL_Surface* saved = nullptr;
    View view{0, 0};
};

TEST_F(Draw, PlainFrameLandsCentred) {
    SDL_Surface* ice = Test_makeRgba(175, 414);
    Test_fillRows(ice, 0, 414, RED);
    Sprite s = plainSprite(0x2238000, 0xE70000);
    s.image = ice;
    s.src = {0, 0, 175, 414};
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(watch.calls, 0);
    int x0, y0, x1, y1;
    box(RED, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x0, 460);
    EXPECT_EQ(y0, 42);
    EXPECT_EQ(x1, 460 + 174);
    EXPECT_EQ(y1, 42 + 413);
    SDL_FreeSurface(ice);
}

TEST_F(Draw, PlainDrawsTheCurrentFrameOnly) {
    SDL_Surface* strip = Test_makeRgba(6, 12);
    Test_fillRows(strip, 0, 4, GREEN);
    Test_fillRows(strip, 4, 4, RED);
    Test_fillRows(strip, 8, 4, GREEN);
    Sprite s = plainSprite(0x640000, 0x1900000); // column 100, row 80
    s.image = strip;
    s.src = {0, 4, 6, 4};
    view = {0x10000, 0x10000}; // one pixel right and up: column 99, row 81
    Spr_draw(&s, &view, 480);
    int x0, y0, x1, y1;
    box(RED, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x0, 99 - 3);
    EXPECT_EQ(y0, 81 - 2);
    EXPECT_EQ(x1, 99 + 2);
    EXPECT_EQ(y1, 81 + 1);
    EXPECT_EQ(Test_countColour(screen, GREEN), 0);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, HalfPixelLeftOfTheEdgeIsColumnMinusOne) {
    SDL_Surface* strip = Test_makeRgba(4, 2);
    Test_fillRows(strip, 0, 2, RED);
    Sprite s = plainSprite(-0x8000, 0x640000);
    s.image = strip;
    s.src = {0, 0, 4, 2};
    Spr_draw(&s, &view, 480);
    // column -1, minus half the width: columns -3 to 0 are covered
    EXPECT_EQ(Test_getPixel(screen, 0, 380) & 0xFFFFFF, RED);
    EXPECT_EQ(Test_getPixel(screen, 1, 380) & 0xFFFFFF, 0u);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, OffScreenIsClippedWithoutError) {
    SDL_Surface* strip = Test_makeRgba(10, 10);
    Test_fillRows(strip, 0, 10, RED);
    Sprite s = plainSprite(0, 0x640000); // centred on column 0: half shows
    s.image = strip;
    s.src = {0, 0, 10, 10};
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(Test_countColour(screen, RED), 50);

    Test_fillRows(screen, 0, 480, 0);
    for (fixed x : {-0x1000000, 0x3000000, 0x7FFF0000, static_cast<fixed>(0x80000000)}) {
        s.x.value = x;
        Spr_draw(&s, &view, 480);
        s.angle.value = 0x1000; // and turned
        Spr_draw(&s, &view, 480);
        s.angle.value = 0;
    }
    s.x.value = 0x640000;
    s.y.value = -0x1000000;
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(Test_countColour(screen, RED), 0);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, NothingToDraw) {
    Sprite s = plainSprite(0x640000, 0x640000);
    s.src = {0, 0, 10, 10};
    Spr_draw(&s, &view, 480); // no image
    Spr_draw(nullptr, &view, 480);
    Spr_draw(&s, nullptr, 480);
    s.angle.value = 0x100;
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(watch.calls, 0);
    SDL_Surface* strip = Test_makeRgba(10, 10);
    Test_fillRows(strip, 0, 10, RED);
    s.image = strip;
    Spr_rotozoom = nullptr; // no rotation routine: turned sprites are skipped
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(Test_countColour(screen, 0), 640 * 480);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, OnlyExactNaturalSizeAndNoAngleIsPlain) {
    SDL_Surface* strip = Test_makeRgba(8, 8);
    Sprite s = plainSprite(0x640000, 0x640000);
    s.image = strip;
    s.src = {0, 0, 8, 8};
    s.zoomY.value = 0x10001;
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(watch.calls, 1);
    s.zoomY.value = FIX_ONE;
    s.zoomX.value = 0xFFFF;
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(watch.calls, 2);
    s.zoomX.value = FIX_ONE;
    s.angle.value = 1;
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(watch.calls, 3);
    s.angle.value = 0;
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(watch.calls, 3);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, RotationIsHandedItsArguments) {
    SDL_Surface* strip = Test_makeRgba(8, 24);
    Test_fillRows(strip, 0, 8, GREEN);
    Test_fillRows(strip, 8, 8, RED);
    Sprite s = plainSprite(0x640000, 0x640000);
    s.image = strip;
    s.src = {0, 8, 8, 8};
    s.angle.value = 0x4000;
    s.zoomX.value = 0x18000;
    s.zoomY.value = 0x8000;
    Spr_draw(&s, &view, 480);
    ASSERT_EQ(watch.calls, 1);
    EXPECT_EQ(watch.angle, -90.0);
    EXPECT_EQ(watch.zoomx, 1.5);
    EXPECT_EQ(watch.zoomy, 0.5);
    EXPECT_EQ(watch.smooth, 1);
    // a header over the frame's own pixels: nothing copied
    EXPECT_EQ(watch.frameW, 8);
    EXPECT_EQ(watch.frameH, 8);
    EXPECT_EQ(watch.framePitch, strip->pitch);
    EXPECT_EQ(watch.framePixels, static_cast<uint8_t*>(strip->pixels) + 8 * strip->pitch);
    EXPECT_NE(watch.frameFlags & SDL_SRCALPHA, 0u);
    EXPECT_EQ(watch.frameFirstPixel & 0xFFFFFF, RED);
    // nothing comes back, nothing is drawn
    EXPECT_EQ(Test_countColour(screen, 0), 640 * 480);

    s.angle.value = -0x2000;
    s.zoomX.value = FIX_ONE;
    s.zoomY.value = FIX_ONE;
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(watch.angle, 45.0);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, FramePastTheStripIsCut) {
    SDL_Surface* strip = Test_makeRgba(8, 20);
    Sprite s = plainSprite(0x640000, 0x640000);
    s.image = strip;
    s.angle.value = 0x100;
    s.src = {0, 16, 8, 8}; // four rows left in the strip
    Spr_draw(&s, &view, 480);
    ASSERT_EQ(watch.calls, 1);
    EXPECT_EQ(watch.frameH, 4);
    s.src = {0, 20, 8, 8}; // nothing left
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(watch.calls, 1);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, StretchedSpriteIsCentredOnTheSamePoint) {
    SDL_Surface* strip = Test_makeRgba(20, 10);
    Test_fillRows(strip, 0, 10, RED);
    Sprite s = plainSprite(0x1400000, 0x1400000); // column 320, row 160
    s.image = strip;
    s.src = {0, 0, 20, 10};
    Spr_draw(&s, &view, 480);
    int px0, py0, px1, py1;
    box(RED, &px0, &py0, &px1, &py1);
    EXPECT_EQ(px0, 310);
    EXPECT_EQ(px1, 329);
    EXPECT_EQ(py0, 155);
    EXPECT_EQ(py1, 164);

    watch.passOn = true;
    Test_fillRows(screen, 0, 480, 0);
    s.zoomX.value = 0x20000;
    Spr_draw(&s, &view, 480);
    int x0, y0, x1, y1;
    box(RED, &x0, &y0, &x1, &y1);
    // twice as wide, same height, same centre (a pixel of smoothing allowed)
    EXPECT_NEAR(x1 - x0 + 1, 40, 2);
    EXPECT_NEAR(y1 - y0 + 1, 10, 2);
    EXPECT_NEAR(x0 + x1, px0 + px1, 2);
    EXPECT_NEAR(y0 + y1, py0 + py1, 2);

    // Turned, the surface the routine hands back is centred on the point,
    // its odd pixel to the right and below.
    for (fixed angle : {0x4000, -0x4000, 0x2000, 0x1555}) {
        Test_fillRows(screen, 0, 480, 0);
        s.zoomX.value = FIX_ONE;
        s.angle.value = angle;
        watch.paint = true;
        Spr_draw(&s, &view, 480);
        box(RED, &x0, &y0, &x1, &y1);
        EXPECT_EQ(x0, 320 - watch.outW / 2) << angle;
        EXPECT_EQ(x1, x0 + watch.outW - 1) << angle;
        EXPECT_EQ(y0, 160 - watch.outH / 2) << angle;
        EXPECT_EQ(y1, y0 + watch.outH - 1) << angle;
        if (angle == 0x4000) {
            EXPECT_GT(watch.outH, watch.outW); // standing up
        }
    }
    SDL_FreeSurface(strip);
}

TEST_F(Draw, TurnedDrawReleasesBothTemporaries) {
    SDL_Surface* strip = Test_makeRgba(16, 16);
    Test_fillRows(strip, 0, 16, RED);
    Sprite s = plainSprite(0x640000, 0x640000);
    s.image = strip;
    s.src = {0, 0, 16, 16};
    s.angle.value = 0x1234;
    watch.passOn = true;
    watch.hold = true;
    Spr_draw(&s, &view, 480);
    ASSERT_NE(watch.frame, nullptr);
    ASSERT_NE(watch.turned, nullptr);
    // our extra reference is all that is left of each
    EXPECT_EQ(watch.frame->refcount, 1);
    EXPECT_EQ(watch.turned->refcount, 1);
    SDL_FreeSurface(watch.frame);
    SDL_FreeSurface(watch.turned);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, ThousandsOfTurnedDrawsDoNotGrowTheHeap) {
    SDL_Surface* strip = Test_makeRgba(48, 72 * 4);
    Test_fillRows(strip, 0, 72 * 4, RED);
    Sprite s = plainSprite(0x640000, 0x640000);
    s.image = strip;
    s.src = {0, 72, 48, 72};
    s.zoomX.value = 0x14000;
    watch.passOn = true;
    for (int i = 0; i < 50; i++) {
        s.angle.value = i * 300;
        Spr_draw(&s, &view, 480);
    }
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 5000; i++) {
        s.angle.value = (i % 50) * 300;
        Spr_draw(&s, &view, 480);
    }
    const size_t after = mallinfo2().uordblks;
    EXPECT_EQ(watch.calls, 5050);
    // one lost rotated surface would be over 14 kB each time
    EXPECT_LT(after, before + 64 * 1024);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, RunLengthStripCanBeTurnedAfterBlitting) {
    SDL_Surface* strip = Test_makeRgba(20, 20);
    Test_fillRows(strip, 0, 10, GREEN);
    Test_fillRows(strip, 10, 10, RED);
    SDL_SetAlpha(strip, SDL_SRCALPHA | SDL_RLEACCEL, 255);
    Sprite s = plainSprite(0x640000, 0x640000);
    s.image = strip;
    s.src = {0, 10, 20, 10};
    // A plain draw encodes the strip into runs and gives up its pixels.
    Spr_draw(&s, &view, 480);
    ASSERT_NE(strip->flags & SDL_RLEACCEL, 0u);
    EXPECT_EQ(strip->pixels, nullptr);
    EXPECT_EQ(Test_countColour(screen, RED), 200);

    Test_fillRows(screen, 0, 480, 0);
    watch.passOn = true;
    s.zoomX.value = 0x20000;
    Spr_draw(&s, &view, 480);
    ASSERT_EQ(watch.calls, 1);
    ASSERT_NE(watch.framePixels, nullptr);
    EXPECT_EQ(watch.frameFirstPixel & 0xFFFFFF, RED);
    int x0, y0, x1, y1;
    box(RED, &x0, &y0, &x1, &y1);
    EXPECT_NEAR(x1 - x0 + 1, 40, 2);
    EXPECT_NEAR(x0 + x1, 2 * 100 - 1, 2);
    EXPECT_EQ(Test_countColour(screen, GREEN), 0);

    // still drawn plainly afterwards, still run-length encoded
    Test_fillRows(screen, 0, 480, 0);
    s.zoomX.value = FIX_ONE;
    Spr_draw(&s, &view, 480);
    EXPECT_EQ(Test_countColour(screen, RED), 200);
    EXPECT_NE(strip->flags & SDL_RLEACCEL, 0u);
    SDL_FreeSurface(strip);
}

TEST_F(Draw, RunDrawsEachInOrder) {
    SDL_Surface* a = Test_makeRgba(10, 10);
    SDL_Surface* b = Test_makeRgba(10, 10);
    Test_fillRows(a, 0, 10, RED);
    Test_fillRows(b, 0, 10, GREEN);
    Sprite s[2] = {plainSprite(0x640000, 0x640000), plainSprite(0x690000, 0x640000)};
    s[0].image = a;
    s[0].src = {0, 0, 10, 10};
    s[1].image = b;
    s[1].src = {0, 0, 10, 10};
    Spr_drawN(s, &view, 480, 0);
    Spr_drawN(s, nullptr, 480, 2);
    Spr_drawN(nullptr, &view, 480, 2);
    EXPECT_EQ(Test_countColour(screen, 0), 640 * 480);
    Spr_drawN(s, &view, 480, 2);
    // the second overlaps the first by five columns and is drawn last
    EXPECT_EQ(Test_countColour(screen, GREEN), 100);
    EXPECT_EQ(Test_countColour(screen, RED), 50);
    SDL_FreeSurface(a);
    SDL_FreeSurface(b);
}

} // namespace
