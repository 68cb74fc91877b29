#include "tests/support/scene.h"

#include <algorithm>
#include <cstdlib>

#include "tests/support/test_env.h"

SDL_Surface* Scene_background = nullptr;
Scene_Rand Scene_rand;

static uint32_t colour(int row, int frame) {
    return (40u + row * 12u) << 16 | (20u + frame * 7u) << 8 | 128u;
}

void Scene_new() {
    for (uint16_t i = 0; Scene_background == nullptr && i < IMAGE_COUNT; i++) {
        const Test_Strip& z = Test_strips[i];
        sprtbl[i].surface =
            SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, z.w, z.frameH * z.frames, 32,
                                 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
        for (int k = 0; k < z.frames; k++) {
            SDL_Rect r = {0, Sint16(k * z.frameH), z.w, z.frameH};
            SDL_FillRect(sprtbl[i].surface, &r, 0xFF000000 | colour(i, k));
        }
        sprtbl[i].frameRect = {0, 0, z.w, z.frameH};
    }
    if (Scene_background == nullptr) {
        Scene_background = Test_makeScreen();
        SDL_FillRect(Scene_background, nullptr, SCENE_BG);
    }
    bg = Scene_background;
    for (Animation& a : ani) {
        a.running = 0;
    }
    Game_init();
    theGame.lastDistance = 0;
    Scene_rand = {{127}, 1, 0};
    Game_rand = [] {
        return Scene_rand.values[std::min(Scene_rand.calls++, Scene_rand.count - 1)];
    };
    Game_setState(&theGame, STATE_WAIT);
    Scene_sounds();
}

void Scene_frame(uint8_t press) {
    actionInput = press;
    Game_step(&theGame);
    actionInput = 0;
}

std::string Scene_sounds() {
    std::string names;
    for (uint16_t i = 0; i < SOUND_COUNT; snd[i++].playing = 0) {
        names += snd[i].playing ? (names.empty() ? "" : " ") + std::string(sounds[i]) : "";
    }
    return names;
}

SDL_Surface* Scene_screen(int w) {
    SDL_FreeSurface(screen);
    return screen = Test_makeScreen(w);
}

std::string Scene_at(int x, int y) {
    const uint32_t c = Test_pixel(screen, x, y);
    const int row = int((c >> 16) - 34) / 12, frame = int((c >> 8 & 255) - 17) / 7;
    bool near = c >> 16 >= 34 && (c >> 8 & 255) >= 17 && row < IMAGE_COUNT &&
                frame < Test_strips[row].frames;
    for (int shift = 0; near && shift < 24; shift += 8) {
        near = abs(int(c >> shift & 255) - int(colour(row, frame) >> shift & 255)) <= 3;
    }
    if (!near) {
        return c == 0 ? "-" : c == SCENE_BG ? "bg" : std::to_string(c);
    }
    const std::string name(Test_strips[row].name);
    return name.substr(0, name.find('.')) +
           (Test_strips[row].frames > 1 ? std::to_string(frame) : "");
}

std::string Scene_runs(int y, int x0, int x1) {
    std::string out;
    for (int x = x0, first = x0; x <= x1; x++) {
        const std::string thing = Scene_at(x, y);
        if (x == x1 || Scene_at(x + 1, y) != thing) {
            out += (out.empty() ? "" : " ") + std::to_string(first) + "-" + std::to_string(x) +
                   " " + thing;
            first = x + 1;
        }
    }
    return out;
}
