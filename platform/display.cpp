#include "platform/display.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/Sprite.h"

SDL_Surface* display = nullptr;
DisplaySize Display_desktop;

static SDL_Surface* setVideoMode(int width, int height, int bpp, uint32_t flags) {
    return SDL_SetVideoMode(width, height, bpp, flags);
}
SDL_Surface* (*Display_setVideoMode)(int, int, int, uint32_t) = setVideoMode;
void (*Display_shown)() = nullptr;

constexpr int PICTURE_W = 640;
constexpr int PICTURE_H = 480;
constexpr uint32_t WINDOW_FLAGS = SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_RESIZABLE;
constexpr uint32_t FULLSCREEN_FLAGS = SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_FULLSCREEN;
// Set by every mode set: whether it is fullscreen, the window's size (kept
// for the way back from fullscreen), and where the picture lies.
static uint8_t fullscreen;
static DisplaySize windowSize;
static SDL_Rect placed;
// The 640 x 480 picture in the display's format, while the display has
// another size; kept for later mode changes.
static SDL_Surface* picture = nullptr;

// How one pixel of the scaled picture along a side is made from the
// picture's pixels: pixel `index`, blended with pixel index + 1 by weight/256
// where the scaled pixel covers both.
struct Tap {
    uint16_t index;
    uint16_t weight;
};
// Built when a mode is set, so that showing a frame allocates nothing; one
// tap a pixel of the scaled picture across and down.
static std::vector<Tap> columns, rows;
// Two picture rows scaled across, kept by the parity of their row number
// (a scaled row is blended from two neighbouring ones), and which rows they
// hold this frame.
static std::vector<uint32_t> lines[2];
static int lineRow[2];

DisplaySize Display_openingSize(DisplaySize desktop) {
    const int k = std::max(
        1, std::min(desktop.w * 85 / (PICTURE_W * 100), desktop.h * 85 / (PICTURE_H * 100)));
    return {k * PICTURE_W, k * PICTURE_H};
}

// Each scaled pixel takes the colour of the stretch of picture it covers:
// an even block of one pixel inside, and at most one pixel blended where two
// picture pixels meet. Whole multiples therefore blend nothing, and no row
// or column is wider than another by more than that one blended pixel.
// Shrinking takes the nearest pixel.
static void buildTaps(std::vector<Tap>& taps, int out, int in) {
    taps.clear();
    for (int o = 0; o < out; o++) {
        if (out < in) {
            taps.push_back({static_cast<uint16_t>((2 * o + 1) * in / (2 * out)), 0});
            continue;
        }
        // Edges of the stretch, in 1/out of a picture pixel.
        const int64_t left = int64_t(o) * in, right = left + in;
        const int i = static_cast<int>(left / out);
        const int64_t edge = int64_t(i + 1) * out;
        const int weight =
            right > edge ? static_cast<int>(((right - edge) * 256 + in / 2) / in) : 0;
        taps.push_back({static_cast<uint16_t>(i), static_cast<uint16_t>(weight)});
    }
}

// a and b mixed as (a * (256 - w) + b * w) / 256, rounded, each of the four
// bytes on its own (two at a time, 16 bits apart), so that it serves every
// 32-bit channel order.
static inline uint32_t blend(uint32_t a, uint32_t b, uint32_t w) {
    constexpr uint32_t HALF = 0x00800080;
    const uint32_t v = 256 - w;
    const uint32_t even = (((a & 0x00FF00FF) * v + (b & 0x00FF00FF) * w + HALF) >> 8) & 0x00FF00FF;
    const uint32_t odd =
        (((a >> 8) & 0x00FF00FF) * v + ((b >> 8) & 0x00FF00FF) * w + HALF) & 0xFF00FF00;
    return even | odd;
}

// Lays the picture out on the display set last: straight onto it at its own
// size, otherwise into `picture`, centred and as large as fits.
static void layout() {
    if (display->w == PICTURE_W && display->h == PICTURE_H) {
        screen = display;
        placed = {0, 0, PICTURE_W, PICTURE_H};
        return;
    }
    // Scaled displays are 32 bits a pixel (see setMode), all of one format.
    const SDL_PixelFormat* f = display->format;
    if (picture == nullptr) {
        picture = SDL_CreateRGBSurface(SDL_SWSURFACE, PICTURE_W, PICTURE_H, 32, f->Rmask, f->Gmask,
                                       f->Bmask, 0);
    }
    screen = picture;
    // The widest 4:3 that fits: width and height in thirds and quarters of it.
    const int span = std::min(display->w * 3, display->h * 4), w = span / 3, h = span / 4;
    placed = {static_cast<Sint16>((display->w - w) / 2), static_cast<Sint16>((display->h - h) / 2),
              static_cast<Uint16>(w), static_cast<Uint16>(h)};
    buildTaps(columns, w, PICTURE_W);
    buildTaps(rows, h, PICTURE_H);
    for (std::vector<uint32_t>& line : lines) {
        line.resize(columns.size());
    }
}

// Sets a mode and lays the picture out on it; 0, with nothing changed,
// when the mode cannot be had.
static uint8_t setMode(int w, int h, uint32_t flags) {
    // The display's own depth at the picture's size, as ever; 32 bits to be
    // scaled into (SDL converts for a display of another depth).
    const int bpp = w == PICTURE_W && h == PICTURE_H ? 0 : 32;
    SDL_Surface* s = Display_setVideoMode(w, h, bpp, flags);
    if (s == nullptr) {
        return 0;
    }
    display = s;
    fullscreen = (flags & SDL_FULLSCREEN) != 0;
    if (!fullscreen) {
        windowSize = {s->w, s->h};
    }
    layout();
    return 1;
}

uint8_t Display_open() {
    // The desktop's size is SDL's current mode only until a mode is set.
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    Display_desktop = {info->current_w, info->current_h};
    const DisplaySize size = Display_openingSize(Display_desktop);
    return setMode(size.w, size.h, WINDOW_FLAGS);
}

// The window again at the size it had, after a mode that could not be set
// (the old surface may be gone with it); the game cannot go on without one.
static void windowAgain() {
    if (!setMode(windowSize.w, windowSize.h, WINDOW_FLAGS) &&
        !setMode(PICTURE_W, PICTURE_H, WINDOW_FLAGS)) {
        fprintf(stderr, "Couldn't set %ix%ix32 video mode: %s\n", PICTURE_W, PICTURE_H,
                SDL_GetError());
        exit(1);
    }
}

void Display_resize(int w, int h) {
    if (fullscreen || display == nullptr) {
        return;
    }
    if (!setMode(w, h, WINDOW_FLAGS)) {
        windowAgain();
    }
}

void Display_toggleFullscreen() {
    if (display == nullptr) {
        return;
    }
    // Without a reported desktop size, fullscreen at the window's size.
    const DisplaySize size = Display_desktop.w > 0 ? Display_desktop : windowSize;
    if (fullscreen || !setMode(size.w, size.h, FULLSCREEN_FLAGS)) {
        windowAgain(); // back, or the window kept where fullscreen failed
    }
}

uint8_t Display_isFullscreen() {
    return fullscreen;
}

SDL_Rect Display_pictureRect() {
    return placed;
}

// Picture row `row` scaled across into its line (once per row and frame
// while rows are taken in order).
static const uint32_t* lineOf(int row) {
    std::vector<uint32_t>& line = lines[row & 1];
    if (lineRow[row & 1] != row) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(picture->pixels) + row * picture->pitch);
        uint32_t* to = line.data();
        for (const Tap& t : columns) {
            *to++ = t.weight ? blend(src[t.index], src[t.index + 1], t.weight) : src[t.index];
        }
        lineRow[row & 1] = row;
    }
    return line.data();
}

// The bars black again (whatever was drawn over them) and the picture
// scaled into its place on the display.
static void compose() {
    const Uint32 black = SDL_MapRGB(display->format, 0, 0, 0);
    const Uint16 w = static_cast<Uint16>(display->w), h = static_cast<Uint16>(display->h);
    const Sint16 x1 = static_cast<Sint16>(placed.x + placed.w);
    const Sint16 y1 = static_cast<Sint16>(placed.y + placed.h);
    // SDL clips each to the display.
    SDL_Rect bars[] = {{0, 0, w, static_cast<Uint16>(placed.y)},
                       {0, y1, w, h},
                       {0, placed.y, static_cast<Uint16>(placed.x), placed.h},
                       {x1, placed.y, w, placed.h}};
    for (SDL_Rect& r : bars) {
        SDL_FillRect(display, &r, black);
    }
    if (picture == nullptr || (SDL_MUSTLOCK(display) && SDL_LockSurface(display) < 0)) {
        return;
    }
    lineRow[0] = lineRow[1] = -1; // the picture has been drawn anew
    uint8_t* out =
        static_cast<uint8_t*>(display->pixels) + placed.y * display->pitch + placed.x * 4;
    for (const Tap& t : rows) {
        const uint32_t* a = lineOf(t.index);
        uint32_t* o = reinterpret_cast<uint32_t*>(out);
        if (t.weight == 0) {
            memcpy(o, a, columns.size() * 4);
        } else {
            const uint32_t* b = lineOf(t.index + 1);
            for (size_t x = 0; x < columns.size(); x++) {
                o[x] = blend(a[x], b[x], t.weight);
            }
        }
        out += display->pitch;
    }
    if (SDL_MUSTLOCK(display)) {
        SDL_UnlockSurface(display);
    }
}

void Display_compose() {
    if (display != nullptr && screen != display) {
        compose();
    }
}

// The frame is on the window system's side now: whatever the platform does
// once a frame is shown.
static void shown() {
    if (Display_shown != nullptr) {
        Display_shown();
    }
}

void Display_send() {
    if (display != nullptr) {
        SDL_Flip(display);
        shown();
    }
}

void Display_update() {
    if (display == nullptr) {
        return;
    }
    if (screen == display) {
        SDL_UpdateRect(display, 0, 0, 0, 0);
        shown();
    } else {
        Display_flip();
    }
}

void Display_flip() {
    Display_compose();
    Display_send();
}
