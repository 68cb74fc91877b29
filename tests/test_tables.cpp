// The scene's tables: what each sprite, animation, interpolation and
// collision test starts as, built from image rows of the catalogue's sizes.
#include <gtest/gtest.h>

#include <SDL/SDL_rotozoom.h>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "tests/support/engine_surfaces.h"
#include "tests/support/test_env.h"

namespace {

// Fills the image table with strips of our own, as loading would leave it,
// and puts the real rows back afterwards.
class Tables : public ::testing::Test {
  protected:
    void SetUp() override {
        for (uint16_t i = 0; i < IMAGE_COUNT; i++) {
            saved[i] = sprtbl[i];
            const Test_Strip& c = Test_strips[i];
            sprtbl[i].surface = Test_makeRgba(c.w, c.frameH * c.frames);
            ASSERT_NE(sprtbl[i].surface, nullptr);
            sprtbl[i].frameRect = {0, 0, c.w, c.frameH};
        }
        for (uint16_t i = 0; i < SPRITE_COUNT; i++) {
            savedSpr[i] = spr[i];
        }
        for (uint16_t i = 0; i < ANIMATION_COUNT; i++) {
            savedAni[i] = ani[i];
        }
    }
    void TearDown() override {
        for (uint16_t i = 0; i < IMAGE_COUNT; i++) {
            if (sprtbl[i].surface != saved[i].surface) {
                SDL_FreeSurface(sprtbl[i].surface);
            }
            sprtbl[i] = saved[i];
        }
        for (uint16_t i = 0; i < SPRITE_COUNT; i++) {
            spr[i] = savedSpr[i];
        }
        for (uint16_t i = 0; i < ANIMATION_COUNT; i++) {
            ani[i] = savedAni[i];
        }
    }
    void build() {
        init_sprites();
        init_animations();
        init_interpolations();
        init_collisions();
    }
    ImageEntry saved[IMAGE_COUNT];
    Sprite savedSpr[SPRITE_COUNT];
    Animation savedAni[ANIMATION_COUNT];
};

void expectRect(const SDL_Rect& r, int x, int y, int w, int h) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.w, w);
    EXPECT_EQ(r.h, h);
}

struct SpriteRow {
    uint16_t index;
    fixed x, y;
    int image; // image row, or -1
};

constexpr SpriteRow spriteRows[SPRITE_COUNT] = {
    {SPR_BIRD, 0x2240000, 0x1950000, -1},      {SPR_GRUMM, 0x2150000, 0x52FFFF, -1},
    {SPR_ICE, 0x2238000, 0xE70000, IMG_ICE},   {SPR_ROCK, 0x17F0000, 0x60FFFF, IMG_ROCK},
    {SPR_TREE, 0x310000, 0xA8FFFF, IMG_TREE},  {SPR_SMALLTREE, 0x1588000, 0xBAFFFF, IMG_STREE},
    {SPR_BOARD, 0xD58000, 0x7CFFFF, IMG_SIGN}, {SPR_SIGN, 0, 0x18000, IMG_SIGN},
    {SPR_MARKER, 0, 0x427FFF, IMG_SSIGN},      {SPR_TOP, 0xAF8000, 0x83FFFE, IMG_TOP},
    {SPR_SCRATCH, 0, 0x27FFFF, IMG_SCRATCH},   {SPR_SHADOW, 0, 0x297FFF, IMG_SHADOW},
    {SPR_SIGNSHADOW, 0, 0, IMG_SIGNSHAD},      {SPR_GLYPH, 0, 0, -1},
};

TEST_F(Tables, SpritesStartWhereTheSceneNeedsThem) {
    // Something already shown by the three animated sprites stays.
    SDL_Surface* shown = sprtbl[IMG_FLY].surface;
    for (uint16_t i : {SPR_BIRD, SPR_GRUMM, SPR_GLYPH}) {
        spr[i].image = shown;
        spr[i].src = {0, 36, 72, 36};
    }
    for (Sprite& s : spr) {
        s.x.speed = 99;
        s.angle.value = 1234;
    }
    build();
    for (const SpriteRow& r : spriteRows) {
        const Sprite& s = spr[r.index];
        SCOPED_TRACE(r.index);
        EXPECT_EQ(s.x.value, r.x);
        EXPECT_EQ(s.y.value, r.y);
        EXPECT_EQ(s.zoomX.value, 0x10000);
        EXPECT_EQ(s.zoomY.value, 0x10000);
        for (const Channel* c : {&s.x, &s.y, &s.zoomX, &s.zoomY}) {
            EXPECT_EQ(c->speed, 0);
        }
        EXPECT_EQ(s.angle.value, 0);
        EXPECT_EQ(s.angle.speed, 0);
        if (r.image >= 0) {
            const Test_Strip& c = Test_strips[r.image];
            EXPECT_EQ(s.image, sprtbl[r.image].surface);
            expectRect(s.src, 0, 0, c.w, c.frameH);
        } else {
            EXPECT_EQ(s.image, shown);
            expectRect(s.src, 0, 36, 72, 36);
        }
    }
    expectRect(spr[SPR_ICE].src, 0, 0, 175, 414);
}

TEST_F(Tables, InterpolationRunsOfTheBirdAndTheSign) {
    build();
    EXPECT_EQ(spr[SPR_BIRD].intpl, &intpl[0]);
    EXPECT_EQ(spr[SPR_BIRD].intplCount, 3);
    EXPECT_EQ(spr[SPR_SIGN].intpl, &intpl[3]);
    EXPECT_EQ(spr[SPR_SIGN].intplCount, 1);
    for (uint16_t i = 0; i < SPRITE_COUNT; i++) {
        if (i != SPR_BIRD && i != SPR_SIGN) {
            EXPECT_EQ(spr[i].intpl, nullptr) << i;
            EXPECT_EQ(spr[i].intplCount, 0) << i;
        }
    }
}

struct AniRow {
    uint16_t index;
    int image;
    int firstRow;
    uint16_t frameCount;
};

constexpr AniRow aniRows[] = {
    {ANI_WAIT, IMG_PREPJUMP, 0, 23}, {ANI_DIVE, IMG_PREPJUMP, 1728, 8}, {ANI_FLY, IMG_FLY, 0, 20},
    {ANI_STUCK, IMG_STICK, 0, 5},    {ANI_LOOK, IMG_LOOK, 0, 5},        {ANI_LIFT, IMG_GRUMM, 0, 5},
    {ANI_SWING, IMG_GRUMM, 804, 14}, {ANI_LOWER, IMG_GRUMM, 2814, 9},   {ANI_FONT, IMG_FONT, 0, 10},
    {ANI_SFONT, IMG_SFONT, 0, 5},
};

TEST_F(Tables, AnimationsStepTheirStripRanges) {
    build();
    for (const AniRow& r : aniRows) {
        const Animation& a = ani[r.index];
        const Test_Strip& c = Test_strips[r.image];
        SCOPED_TRACE(r.index);
        EXPECT_EQ(a.image, sprtbl[r.image].surface);
        expectRect(a.frameRect, 0, r.firstRow, c.w, c.frameH);
        EXPECT_EQ(a.frameCount, r.frameCount);
        EXPECT_EQ(a.ticksPerFrame, 3);
        // the end frame lies inside the strip
        EXPECT_LE(r.firstRow + (r.frameCount + 1) * c.frameH, c.frameH * c.frames);
    }
}

TEST_F(Tables, EmptyAnimationStaysZero) {
    build();
    const Animation& a = ani[8];
    EXPECT_EQ(a.ticksPerFrame, 0);
    EXPECT_EQ(a.tick, 0);
    EXPECT_EQ(a.frameCount, 0);
    EXPECT_EQ(a.frame, 0);
    EXPECT_EQ(a.image, nullptr);
    expectRect(a.frameRect, 0, 0, 0, 0);
    EXPECT_EQ(a.sprite, nullptr);
    EXPECT_EQ(a.running, 0);
    EXPECT_EQ(a.loop, 0);
}

TEST_F(Tables, InterpolationsAndCollisions) {
    for (Interpolation& r : intpl) {
        r.running = 1;
    }
    coll[0].hit = 1;
    coll[1].hit = 1;
    build();
    EXPECT_EQ(intpl[0].target, &spr[SPR_BIRD].y);
    EXPECT_EQ(intpl[0].delta, -16777);
    EXPECT_EQ(intpl[1].target, &spr[SPR_BIRD].x);
    EXPECT_EQ(intpl[1].delta, 17476);
    EXPECT_EQ(intpl[2].target, &spr[SPR_BIRD].x);
    EXPECT_EQ(intpl[2].delta, 34253);
    EXPECT_EQ(intpl[3].target, &spr[SPR_SIGN].y);
    EXPECT_EQ(intpl[3].delta, -16252);
    for (const Interpolation& r : intpl) {
        EXPECT_EQ(r.running, 0);
    }

    EXPECT_EQ(ca[0].xChannel, &spr[SPR_BIRD].x);
    EXPECT_EQ(ca[0].yChannel, &spr[SPR_BIRD].y);
    EXPECT_EQ(ca[0].limit, 0x337FFF);
    EXPECT_EQ(ca[0].loss, 48758);
    EXPECT_EQ(ca[0].bounce, 0x8000);
    EXPECT_EQ(ca[1].xChannel, &spr[SPR_SIGN].x);
    EXPECT_EQ(ca[1].yChannel, &spr[SPR_SIGN].y);
    EXPECT_EQ(ca[1].limit, 0x51FFFF);
    EXPECT_EQ(ca[1].loss, 0x77000000);
    EXPECT_EQ(ca[1].bounce, 0);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(coll[i].axis, 1);
        EXPECT_EQ(coll[i].hit, 0);
        EXPECT_EQ(coll[i].area, &ca[i]);
    }
}

TEST_F(Tables, NothingMovesAfterBuilding) {
    build();
    Sprite before[SPRITE_COUNT];
    for (uint16_t i = 0; i < SPRITE_COUNT; i++) {
        before[i] = spr[i];
    }
    for (int f = 0; f < 10; f++) {
        Spr_doN(spr, SPRITE_COUNT);
        Col_doN(coll, COLLISION_COUNT);
    }
    for (uint16_t i = 0; i < SPRITE_COUNT; i++) {
        EXPECT_EQ(spr[i].x.value, before[i].x.value) << i;
        EXPECT_EQ(spr[i].y.value, before[i].y.value) << i;
        EXPECT_EQ(spr[i].y.speed, 0) << i;
    }
    EXPECT_EQ(coll[0].hit, 0);
    EXPECT_EQ(coll[1].hit, 0);
}

TEST_F(Tables, BuildingTwiceGivesTheSameAndKeepsBindings) {
    build();
    Spr_setAni(&spr[SPR_BIRD], &ani[ANI_WAIT], 0, 1);
    Spr_setAni(&spr[SPR_GRUMM], &ani[ANI_LIFT], 0, 0);
    Sprite first[SPRITE_COUNT];
    Animation firstAni[ANIMATION_COUNT];
    for (uint16_t i = 0; i < SPRITE_COUNT; i++) {
        first[i] = spr[i];
    }
    for (uint16_t i = 0; i < ANIMATION_COUNT; i++) {
        firstAni[i] = ani[i];
    }
    // Play a little, then build again.
    Int_start(&intpl[0]);
    for (int f = 0; f < 30; f++) {
        Spr_doN(spr, SPRITE_COUNT);
        Col_doN(coll, COLLISION_COUNT);
    }
    build();
    for (uint16_t i = 0; i < SPRITE_COUNT; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(spr[i].x.value, first[i].x.value);
        EXPECT_EQ(spr[i].y.value, first[i].y.value);
        EXPECT_EQ(spr[i].y.speed, 0);
        EXPECT_EQ(spr[i].intpl, first[i].intpl);
        EXPECT_EQ(spr[i].ani, first[i].ani);
        if (i != SPR_BIRD) { // the bird's frame has moved on, and is kept
            EXPECT_EQ(spr[i].src.y, first[i].src.y);
        }
        EXPECT_EQ(spr[i].image, first[i].image);
    }
    EXPECT_EQ(spr[SPR_BIRD].ani, &ani[ANI_WAIT]);
    EXPECT_EQ(spr[SPR_BIRD].src.y, 10 * 72); // frame 10 after 30 frames
    for (uint16_t i = 0; i < ANIMATION_COUNT; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ani[i].image, firstAni[i].image);
        EXPECT_EQ(ani[i].frameRect.y, firstAni[i].frameRect.y);
        EXPECT_EQ(ani[i].frameRect.h, firstAni[i].frameRect.h);
        EXPECT_EQ(ani[i].frameCount, firstAni[i].frameCount);
        EXPECT_EQ(ani[i].ticksPerFrame, firstAni[i].ticksPerFrame);
        EXPECT_EQ(ani[i].sprite, firstAni[i].sprite);
    }
    EXPECT_EQ(intpl[0].running, 0);
}

TEST_F(Tables, MissingStripLeavesItsSpritesUndrawn) {
    SDL_FreeSurface(sprtbl[IMG_ROCK].surface);
    sprtbl[IMG_ROCK].surface = nullptr;
    sprtbl[IMG_ROCK].frameRect = {0, 0, 0, 0};
    SDL_FreeSurface(sprtbl[IMG_GRUMM].surface);
    sprtbl[IMG_GRUMM].surface = nullptr;
    sprtbl[IMG_GRUMM].frameRect = {0, 0, 0, 0};
    build();
    EXPECT_EQ(spr[SPR_ROCK].image, nullptr);
    expectRect(spr[SPR_ROCK].src, 0, 0, 0, 0);
    EXPECT_EQ(ani[ANI_SWING].image, nullptr);
    EXPECT_EQ(ani[ANI_SWING].frameRect.y, 0); // 6 frames of no height
    EXPECT_EQ(ani[ANI_SWING].frameCount, 14);

    SDL_Surface* saved = screen;
    screen = Test_makeRgba(640, 480);
    Test_fillRows(screen, 0, 480, 0);
    View view{0, 0};
    Spr_draw(&spr[SPR_ROCK], &view, 480);
    Spr_setAni(&spr[SPR_GRUMM], &ani[ANI_SWING], 0, 1);
    Spr_draw(&spr[SPR_GRUMM], &view, 480);
    EXPECT_EQ(Test_countColour(screen, 0), 640 * 480);
    SDL_FreeSurface(screen);
    screen = saved;
}

int rotations = 0;
SDL_Surface* countingRotozoom(SDL_Surface* s, double a, double x, double y, int smooth) {
    rotations++;
    return rotozoomSurfaceXY(s, a, x, y, smooth);
}

TEST_F(Tables, IceBlockIsDrawnPlainWhereItStands) {
    build();
    Test_fillRows(sprtbl[IMG_ICE].surface, 0, 414, 0x0000FF);
    SDL_Surface* saved = screen;
    screen = Test_makeRgba(640, 480);
    Test_fillRows(screen, 0, 480, 0);
    rotations = 0;
    Spr_rotozoom = countingRotozoom;
    View view{0, 0};
    Spr_draw(&spr[SPR_ICE], &view, 480);
    Spr_rotozoom = rotozoomSurfaceXY;
    EXPECT_EQ(rotations, 0);
    EXPECT_EQ(Test_getPixel(screen, 460, 42) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Test_getPixel(screen, 459, 42) & 0xFFFFFF, 0u);
    EXPECT_EQ(Test_getPixel(screen, 460, 41) & 0xFFFFFF, 0u);
    EXPECT_EQ(Test_getPixel(screen, 634, 455) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Test_getPixel(screen, 635, 455) & 0xFFFFFF, 0u);
    EXPECT_EQ(Test_getPixel(screen, 634, 456) & 0xFFFFFF, 0u);
    SDL_FreeSurface(screen);
    screen = saved;
}

TEST_F(Tables, DroppedSignStopsOnTheGround) {
    build();
    spr[SPR_SIGN].y.value = 0x1000000; // 256.0, well above the ground
    Int_start(&intpl[3]);
    int frames = 0;
    while (coll[1].hit == 0 && frames < 1000) {
        Spr_doN(spr, SPRITE_COUNT);
        Col_doN(coll, COLLISION_COUNT);
        frames++;
    }
    ASSERT_EQ(coll[1].hit, 1);
    EXPECT_EQ(spr[SPR_SIGN].y.value, 0x51FFFF);
    EXPECT_EQ(spr[SPR_SIGN].y.speed, 0);
    // From 256.0 down to the line is 174 * 65536 + 1 steps; after n frames
    // of gravity the sign has fallen 16252 * n(n+1)/2 of them, which first
    // exceeds the distance at n = 37 (37 * 38 / 2 * 16252 = 11416030).
    EXPECT_EQ(frames, 37);
    EXPECT_EQ(coll[0].hit, 0);
}

} // namespace
