#include "tests/support/logic_scene.h"

#include <gtest/gtest.h>

#include "tests/support/engine_surfaces.h"
#include "tests/support/test_env.h"

Logic_RandScript Logic_randScript = {{127}, 1, 0};

int Logic_rand() {
    int i = Logic_randScript.calls < Logic_randScript.count ? Logic_randScript.calls
                                                            : Logic_randScript.count - 1;
    Logic_randScript.calls++;
    return Logic_randScript.values[i];
}

namespace {

void makeStrips() {
    for (uint16_t i = 0; i < IMAGE_COUNT; i++) {
        const Test_Strip& size = Test_strips[i];
        if (sprtbl[i].surface == nullptr) {
            sprtbl[i].surface = Test_makeRgba(size.w, size.frameH * size.frames);
        }
        sprtbl[i].frameRect = {0, 0, size.w, size.frameH};
    }
}

} // namespace

void Logic_newGame() {
    makeStrips();
    for (Animation& a : ani) {
        a.running = 0;
        a.tick = 0;
        a.frame = 0;
    }
    for (Sprite& s : spr) {
        s.ani = nullptr;
    }
    Game_init();
    theGame.lastDistance = 0;
    Logic_randScript = {{127}, 1, 0};
    Game_rand = Logic_rand;
    actionInput = 0;
    Game_setState(&theGame, STATE_WAIT);
    Logic_clearSounds();
}

void Logic_frame(uint8_t press) {
    actionInput = press;
    Game_step(&theGame);
    actionInput = 0;
}

void Logic_startDrop() {
    Logic_runUntilStateChange(200);
    ASSERT_EQ(theGame.state, STATE_READY);
    Logic_frame(1);
    ASSERT_EQ(theGame.state, STATE_DROP);
}

int Logic_runUntilStateChange(int limit) {
    uint32_t before = theGame.state;
    int n = 0;
    while (n < limit) {
        Logic_frame();
        n++;
        if (theGame.state != before) {
            break;
        }
    }
    return n;
}

int Logic_throwWithSecondPress(int pressFrame, int limit) {
    for (int f = 1; f <= limit; f++) {
        Logic_frame(f == pressFrame ? 1 : 0);
        if (theGame.state == STATE_FLIGHT) {
            return f;
        }
    }
    return 0;
}

bool Logic_played(uint16_t sound) {
    return snd[sound].playing != 0;
}

void Logic_clearSounds() {
    for (SoundEntry& s : snd) {
        s.playing = 0;
    }
}
