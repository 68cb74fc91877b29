// The display at any size: the window's opening size, the 640 x 480 frame
// scaled onto a resized window and onto fullscreen, and the keys that switch
// between them, through the loop's own event handler on 32-bit displays of
// SDL's dummy driver.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/display.h"
#include "platform/main_loop.h"
#include "tests/support/scene.h"
#include "tests/support/test_env.h"

TEST(Display, OpensAtTheLargestWholeMultipleWithin85PercentOfTheDesktop) {
    const int rows[][4] = {{0, 0, 640, 480},         {1920, 1080, 640, 480},
                           {2560, 1440, 1280, 960},  {3840, 2160, 1920, 1440},
                           {5120, 2880, 3200, 2400}, {1280, 1024, 640, 480},
                           {1506, 1130, 1280, 960},  {1505, 1130, 640, 480},
                           {1506, 1129, 640, 480},   {640, 480, 640, 480}};
    for (auto& r : rows) {
        const DisplaySize size = Display_openingSize({r[0], r[1]});
        EXPECT_EQ((std::vector<int>{size.w, size.h}), (std::vector<int>{r[2], r[3]}))
            << r[0] << "x" << r[1];
    }
}

namespace {

// The video-mode calls made, as width, height and whether fullscreen; a
// fullscreen mode can be refused.
std::vector<std::array<int, 3>> modes;
bool refuseFullscreen = false;

SDL_Surface* mode32(int w, int h, int, uint32_t flags) {
    modes.push_back({w, h, (flags & SDL_FULLSCREEN) != 0});
    if (refuseFullscreen && (flags & SDL_FULLSCREEN)) {
        return SDL_SetError("no fullscreen here"), nullptr;
    }
    return SDL_SetVideoMode(w, h, 32, flags);
}

// The frame: every pixel a colour of its own.
SDL_Surface* frame() {
    SDL_Surface* f = Test_makeScreen();
    for (int y = 0; y < 480; y++) {
        for (int x = 0; x < 640; x++) {
            SDL_Rect r = {Sint16(x), Sint16(y), 1, 1};
            SDL_FillRect(f, &r, uint32_t(x * 2654435761u ^ y * 40503u) & 0xFFFFFF);
        }
    }
    return f;
}

void send(int type, int sym, int mod = KMOD_NONE, int w = 0, int h = 0) {
    SDL_Event e{};
    e.type = uint8_t(type);
    if (type == SDL_VIDEORESIZE) {
        e.resize.w = w;
        e.resize.h = h;
    } else {
        e.key.keysym.sym = SDLKey(sym);
        e.key.keysym.mod = SDLMod(mod);
    }
    EXPECT_EQ(Game_handleEvent(&theGame, &e), 0);
}

// The share of picture pixel k in scaled pixel o along a side of `in`
// pixels shown as `out`: the overlap of their stretches.
double cover(int o, int k, int in, int out) {
    const double a = double(o) * in / out, b = double(o + 1) * in / out;
    return std::max(0.0, std::min(b, k + 1.0) - std::max(a, double(k))) * out / in;
}

} // namespace

TEST(Display, ShowsTheFrameScaledCentredAndCrispAtEverySize) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    Display_setVideoMode = mode32;
    ASSERT_EQ(Display_open(), 1);
    EXPECT_EQ(screen, display); // 640 x 480: drawn straight onto the display
    SDL_Surface* f = frame();
    // Sizes the window is given, where the picture lands, and how it is made
    // (0: each picture pixel a square block; 1: areas blended; 2: shrunk).
    struct Row {
        int w, h;
        SDL_Rect at;
        int how;
    };
    const Row rows[] = {{1280, 960, {0, 0, 1280, 960}, 0},
                        {1000, 600, {100, 0, 800, 600}, 1},
                        {853, 700, {0, 30, 853, 639}, 1},
                        {320, 480, {0, 120, 320, 240}, 2},
                        {640, 480, {0, 0, 640, 480}, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.w);
        send(SDL_VIDEORESIZE, 0, 0, r.w, r.h);
        ASSERT_EQ((std::vector<int>{display->w, display->h, screen->w, screen->h}),
                  (std::vector<int>{r.w, r.h, 640, 480}));
        EXPECT_EQ(screen == display, r.w == 640);
        SDL_FillRect(display, nullptr, 0x123456); // what the old mode left
        SDL_BlitSurface(f, nullptr, screen, nullptr);
        Display_flip();
        const SDL_Rect at = Display_pictureRect();
        EXPECT_EQ((std::vector<int>{at.x, at.y, at.w, at.h}),
                  (std::vector<int>{r.at.x, r.at.y, r.at.w, r.at.h}));
        int wrong = 0;
        for (int y = 0; y < r.h; y++) {
            for (int x = 0; x < r.w; x++) {
                const int ox = x - at.x, oy = y - at.y;
                const uint32_t got = Test_pixel(display, x, y);
                if (ox < 0 || oy < 0 || ox >= at.w || oy >= at.h) {
                    wrong += got != 0; // bars are black
                } else if (r.how == 0) {
                    wrong += got != Test_pixel(f, ox * 640 / at.w, oy * 480 / at.h);
                } else if (r.how == 2) {
                    wrong += got != Test_pixel(f, ox * 2 + 1, oy * 2 + 1);
                } else {
                    for (int shift = 0; shift < 24; shift += 8) {
                        double want = 0;
                        for (int k = ox * 640 / at.w; k <= std::min(639, (ox + 1) * 640 / at.w);
                             k++) {
                            for (int j = oy * 480 / at.h; j <= std::min(479, (oy + 1) * 480 / at.h);
                                 j++) {
                                want += cover(ox, k, 640, at.w) * cover(oy, j, 480, at.h) *
                                        (Test_pixel(f, k, j) >> shift & 255);
                            }
                        }
                        wrong += std::fabs(want - (got >> shift & 255)) > 2;
                    }
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
    SDL_FreeSurface(f);
    SDL_Quit();
}

TEST(Display, F11AndAltReturnSwitchToTheDesktopsSizeAndBackWithoutRestartingTheThrow) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    Display_setVideoMode = mode32;
    ASSERT_EQ(Display_open(), 1);
    Display_desktop = {1920, 1080};
    modes.clear();
    send(SDL_VIDEORESIZE, 0, 0, 800, 600);
    Scene_new();
    Game_setState(&theGame, STATE_READY);
    send(SDL_KEYUP, SDLK_F11);
    SDL_Rect at = Display_pictureRect();
    EXPECT_EQ((std::vector<int>{Display_isFullscreen(), at.x, at.y, at.w, at.h}),
              (std::vector<int>{1, 240, 0, 1440, 1080}));
    send(SDL_VIDEORESIZE, 0, 0, 700, 500); // no window to resize in fullscreen
    // Alt+Return, whichever key is let go first, switches back; Return alone
    // restarts the throw and switches nothing.
    send(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    send(SDL_KEYUP, SDLK_RETURN, KMOD_NONE);
    EXPECT_EQ((std::vector<int>{Display_isFullscreen(), int(theGame.state)}),
              (std::vector<int>{0, STATE_READY}));
    send(SDL_KEYDOWN, SDLK_RETURN, KMOD_NONE);
    send(SDL_KEYUP, SDLK_RETURN, KMOD_RALT);
    EXPECT_EQ((std::vector<int>{Display_isFullscreen(), int(theGame.state)}),
              (std::vector<int>{1, STATE_READY}));
    send(SDL_KEYUP, SDLK_F11);
    send(SDL_KEYDOWN, SDLK_RETURN, KMOD_NONE);
    send(SDL_KEYUP, SDLK_RETURN, KMOD_NONE);
    EXPECT_EQ(theGame.state, STATE_WAIT);
    // Where fullscreen is refused, the window is set again at its size.
    refuseFullscreen = true;
    send(SDL_KEYUP, SDLK_F11);
    EXPECT_EQ(Display_isFullscreen(), 0);
    EXPECT_EQ(modes, (std::vector<std::array<int, 3>>{{800, 600, 0},
                                                      {1920, 1080, 1},
                                                      {800, 600, 0},
                                                      {1920, 1080, 1},
                                                      {800, 600, 0},
                                                      {1920, 1080, 1},
                                                      {800, 600, 0}}));
    EXPECT_EQ((std::vector<int>{display->w, display->h}), (std::vector<int>{800, 600}));
    refuseFullscreen = false;
    SDL_Quit();
}
