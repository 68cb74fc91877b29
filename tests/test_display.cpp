// The display at any size: the window's opening size, the 640 x 480 frame
// scaled onto a resized window and onto fullscreen, and the keys that switch
// between them, through the loop's event handler on 32-bit dummy displays.
#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/main_loop.h"
#include "tests/support/scene.h"
#include "tests/support/test_env.h"

using V = std::vector<int>;

TEST(Display, OpensAtTheLargestWholeMultipleWithin85PercentOfTheDesktop) {
    // 1920 x 1080 and 2560 x 1440 are tried in a real window (window_test.sh).
    const int rows[][4] = {{3840, 2160, 1920, 1440},
                           {1506, 1130, 1280, 960},
                           {1505, 1130, 640, 480},
                           {1506, 1129, 640, 480}};
    for (auto& r : rows) {
        const DisplaySize size = Display_openingSize({r[0], r[1]});
        EXPECT_EQ(V({size.w, size.h}), V({r[2], r[3]})) << r[0];
    }
}

namespace {

// The video modes set ("f": fullscreen), one of which can be refused, on a
// dummy display that stands for a 32-bit one when asked for its own depth.
std::string modes, refused;

void send(int type, int sym, int mod = KMOD_NONE, int w = 0, int h = 0) {
    SDL_Event e{};
    e.type = uint8_t(type);
    e.key.keysym.sym = SDLKey(sym);
    e.key.keysym.mod = SDLMod(mod);
    if (type == SDL_VIDEORESIZE) {
        e.resize = {e.type, w, h};
    }
    EXPECT_EQ(Game_handleEvent(&theGame, &e), 0);
}

SDL_Surface* mode32(int w, int h, int bpp, uint32_t flags) {
    const std::string mode =
        std::to_string(w) + "x" + std::to_string(h) + (flags & SDL_FULLSCREEN ? "f " : " ");
    modes += mode;
    EXPECT_EQ(bpp, w == 640 && h == 480 ? 0 : 32) << mode; // the scaling writes 32-bit pixels
    return mode == refused || refused == "all" ? nullptr
                                               : SDL_SetVideoMode(w, h, bpp ? bpp : 32, flags);
}

// The share picture pixel k, one of `in` along a side, has in scaled pixel o,
// one of `out` there.
double share(int o, int k, int in, int out) {
    const double a = double(o) * in / out, b = double(o + 1) * in / out;
    return std::max(0.0, std::min(b, k + 1.0) - std::max(a, double(k))) * out / in;
}

} // namespace

TEST(Display, ShowsTheFrameScaledCentredAndCrispAtEverySizeAndSwitchesToFullscreenAndBack) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    Display_setVideoMode = mode32;
    ASSERT_EQ(Display_open(), 1);
    SDL_Surface *f = Test_makeScreen(), *dark = Test_makeScreen();
    SDL_FillRect(dark, nullptr, 0x102030); // not black, so that it shows if it spills into the bars
    for (int i = 0; i < 640 * 480; i++) {  // every pixel a colour of its own (rows unpadded)
        static_cast<uint32_t*>(f->pixels)[i] = i * 2654435761u >> 8;
    }
    // The window's size, where the picture lands, and how it is made (0: each
    // picture pixel a square block; 1: areas blended; 2: shrunk to the nearest).
    const int rows[][7] = {{1280, 960, 0, 0, 1280, 960, 0}, {1000, 600, 100, 0, 800, 600, 1},
                           {853, 700, 0, 30, 853, 639, 1},  {320, 480, 0, 120, 320, 240, 2},
                           {4, 1, 1, 0, 1, 1, 2},           {640, 480, 0, 0, 640, 480, 0}};
    for (auto [w, h, x0, y0, pw, ph, how] : rows) {
        send(SDL_VIDEORESIZE, 0, 0, w, h);
        ASSERT_EQ(V({display->w, display->h, screen->w, screen == display}),
                  V({w, h, 640, w == 640}));
        SDL_FillRect(display, nullptr, 0x123456); // anything but black
        int wrong = 0;
        for (SDL_Surface* frame : {f, dark}) { // the second frame must replace the first
            SDL_BlitSurface(frame, nullptr, screen, nullptr);
            Display_flip();
            const SDL_Rect at = Display_pictureRect();
            EXPECT_EQ(V({at.x, at.y, at.w, at.h}), V({x0, y0, pw, ph}));
            for (int y = 0; y < h; y++) {
                for (int x = 0; x < w; x++) {
                    const int ox = x - x0, oy = y - y0;
                    const uint32_t got = Test_pixel(display, x, y);
                    const bool bar = ox < 0 || oy < 0 || ox >= pw || oy >= ph; // black
                    if (bar || how != 1) {
                        wrong += got != (bar ? 0
                                             : Test_pixel(frame, (2 * ox + 1) * 640 / (2 * pw),
                                                          (2 * oy + 1) * 480 / (2 * ph)));
                    }
                    for (int shift = 0; how == 1 && !bar && shift < 24; shift += 8) {
                        double want = 0; // stretched: of two picture pixels a side at most
                        for (int k = ox * 640 / pw; k <= ox * 640 / pw + 1; k++) {
                            for (int j = oy * 480 / ph; j <= oy * 480 / ph + 1; j++) {
                                want += share(ox, k, 640, pw) * share(oy, j, 480, ph) *
                                        (Test_pixel(frame, k, j) >> shift & 255);
                            }
                        }
                        wrong += std::abs(want - (got >> shift & 255)) > 2;
                    }
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
    SDL_FreeSurface(f);
    SDL_FreeSurface(dark);
    // F11 and Alt+Return: fullscreen at the desktop's size (or the window's) and back.
    modes.clear();
    send(SDL_KEYUP, SDLK_F11);
    send(SDL_KEYUP, SDLK_F11);
    Display_desktop = {1920, 1080};
    send(SDL_VIDEORESIZE, 0, 0, 800, 600);
    Scene_new();
    Game_setState(&theGame, STATE_READY);
    send(SDL_KEYUP, SDLK_F11); // the picture at 1440 x 1080 from x 240: see window_test.sh
    send(SDL_VIDEORESIZE, 0, 0, 700, 500); // no window to resize in fullscreen
    // Alt+Return, whichever key is let go first, switches; Return alone
    // restarts the throw and switches nothing.
    std::string seen;
    for (auto [down, up] :
         std::vector<std::pair<int, int>>{{KMOD_LALT, 0}, {0, KMOD_RALT}, {0, 0}}) {
        send(SDL_KEYDOWN, SDLK_RETURN, down);
        send(SDL_KEYUP, SDLK_RETURN, up);
        seen += std::to_string(Display_isFullscreen()) + std::to_string(theGame.state);
    }
    EXPECT_EQ(seen, "011110");
    send(SDL_KEYUP, SDLK_F11);
    // Where fullscreen or a size is refused, the window is set again at its size.
    for (const char* mode : {"1920x1080f ", "900x700 "}) {
        refused = mode;
        send(mode[3] == '0' ? SDL_KEYUP : SDL_VIDEORESIZE, SDLK_F11, 0, 900, 700);
    }
    // The first F11: classic SDL's dummy display has no desktop size (fullscreen then takes the
    // window's), SDL 2's a 1024 x 768 one.
    EXPECT_EQ(modes, (Test_sdl12compat() ? "1024x768f " : "640x480f ") +
                         std::string("640x480 800x600 1920x1080f 800x600 1920x1080f 800x600 "
                                     "1920x1080f 800x600 900x700 800x600 "));
    EXPECT_EQ(V({Display_isFullscreen(), display->w, display->h}), V({0, 800, 600}));
    refused = "all"; // without a window the game cannot go on
    EXPECT_EXIT(send(SDL_KEYUP, SDLK_F11), testing::ExitedWithCode(1), "^Couldn't set 640x480x32");
    SDL_Quit();
}
