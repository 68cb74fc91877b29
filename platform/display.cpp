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

constexpr int PICTURE_W = 640;
constexpr int PICTURE_H = 480;
// Depth 0: the display's own depth.
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
// The whole display goes out with the next frame (its bars are new).
static bool barsPending = false;

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
// Shrinking takes the nearest pixel; a display that cannot be blended (not
// 32 bits a pixel) takes the pixel covering more.
static void buildTaps(std::vector<Tap>& taps, int out, int in, bool blend) {
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
        int weight = right > edge ? static_cast<int>(((right - edge) * 256 + in / 2) / in) : 0;
        if (!blend) {
            weight = weight >= 128 ? 256 : 0;
        }
        taps.push_back(weight >= 256
                           ? Tap{static_cast<uint16_t>(i + 1), 0}
                           : Tap{static_cast<uint16_t>(i), static_cast<uint16_t>(weight)});
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
    const SDL_PixelFormat* f = display->format;
    if (picture == nullptr || picture->format->BitsPerPixel != f->BitsPerPixel ||
        picture->format->Rmask != f->Rmask || picture->format->Gmask != f->Gmask ||
        picture->format->Bmask != f->Bmask) {
        SDL_FreeSurface(picture);
        picture = SDL_CreateRGBSurface(SDL_SWSURFACE, PICTURE_W, PICTURE_H, f->BitsPerPixel,
                                       f->Rmask, f->Gmask, f->Bmask, 0);
    }
    if (picture != nullptr && f->palette != nullptr) {
        SDL_SetColors(picture, f->palette->colors, 0, f->palette->ncolors);
    }
    screen = picture;
    int w = display->w, h = display->w * PICTURE_H / PICTURE_W;
    if (h > display->h) {
        h = display->h;
        w = display->h * PICTURE_W / PICTURE_H;
    }
    placed = {static_cast<Sint16>((display->w - w) / 2), static_cast<Sint16>((display->h - h) / 2),
              static_cast<Uint16>(w), static_cast<Uint16>(h)};
    const bool blends = f->BytesPerPixel == 4;
    buildTaps(columns, w, PICTURE_W, blends);
    buildTaps(rows, h, PICTURE_H, blends);
    for (std::vector<uint32_t>& line : lines) {
        line.resize(columns.size());
    }
    barsPending = true;
}

// Sets a mode and lays the picture out on it; 0, with nothing changed,
// when the mode cannot be had.
static uint8_t setMode(int w, int h, uint32_t flags) {
    SDL_Surface* s = Display_setVideoMode(w, h, 0, flags);
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
    Display_desktop = info ? DisplaySize{info->current_w, info->current_h} : DisplaySize{0, 0};
    const DisplaySize size = Display_openingSize(Display_desktop);
    return setMode(size.w, size.h, WINDOW_FLAGS) ||
           (size.w != PICTURE_W && setMode(PICTURE_W, PICTURE_H, WINDOW_FLAGS));
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
    if (fullscreen || display == nullptr || w < 1 || h < 1 ||
        (w == display->w && h == display->h)) {
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
    const bool known = Display_desktop.w > 0 && Display_desktop.h > 0;
    const DisplaySize size = known ? Display_desktop : windowSize;
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
template <typename Pixel> static const Pixel* lineOf(int row) {
    Pixel* line = reinterpret_cast<Pixel*>(lines[row & 1].data());
    if (lineRow[row & 1] != row) {
        const Pixel* src = reinterpret_cast<const Pixel*>(
            static_cast<const uint8_t*>(picture->pixels) + row * picture->pitch);
        for (const Tap& t : columns) {
            if constexpr (sizeof(Pixel) == 4) {
                *line++ = t.weight ? blend(src[t.index], src[t.index + 1], t.weight) : src[t.index];
            } else {
                *line++ = src[t.index];
            }
        }
        lineRow[row & 1] = row;
    }
    return reinterpret_cast<const Pixel*>(lines[row & 1].data());
}

// The picture scaled into its place, row by row as the taps say.
template <typename Pixel> static void scale() {
    const size_t w = columns.size();
    uint8_t* out = static_cast<uint8_t*>(display->pixels) + placed.y * display->pitch +
                   placed.x * static_cast<int>(sizeof(Pixel));
    for (const Tap& t : rows) {
        const Pixel* a = lineOf<Pixel>(t.index);
        if (t.weight == 0) {
            memcpy(out, a, w * sizeof(Pixel));
        } else if constexpr (sizeof(Pixel) == 4) {
            const Pixel* b = lineOf<Pixel>(t.index + 1);
            Pixel* o = reinterpret_cast<Pixel*>(out);
            for (size_t x = 0; x < w; x++) {
                o[x] = blend(a[x], b[x], t.weight);
            }
        }
        out += display->pitch;
    }
}

struct Pixel24 {
    uint8_t bytes[3];
};

// The picture scaled into its place on the display, and shown.
static void present() {
    if (picture == nullptr || (SDL_MUSTLOCK(display) && SDL_LockSurface(display) < 0)) {
        return;
    }
    lineRow[0] = lineRow[1] = -1; // the picture has been drawn anew
    switch (display->format->BytesPerPixel) {
    case 1:
        scale<uint8_t>();
        break;
    case 2:
        scale<uint16_t>();
        break;
    case 3:
        scale<Pixel24>();
        break;
    default:
        scale<uint32_t>();
        break;
    }
    if (SDL_MUSTLOCK(display)) {
        SDL_UnlockSurface(display);
    }
    // The bars black again, whatever was drawn over them (a flip's other
    // buffer, a window system's leftovers).
    const Uint32 black = SDL_MapRGB(display->format, 0, 0, 0);
    const Uint16 right = static_cast<Uint16>(display->w - placed.x - placed.w);
    const Uint16 bottom = static_cast<Uint16>(display->h - placed.y - placed.h);
    SDL_Rect bars[4] = {
        {0, 0, static_cast<Uint16>(display->w), static_cast<Uint16>(placed.y)},
        {0, static_cast<Sint16>(placed.y + placed.h), static_cast<Uint16>(display->w), bottom},
        {0, placed.y, static_cast<Uint16>(placed.x), placed.h},
        {static_cast<Sint16>(placed.x + placed.w), placed.y, right, placed.h}};
    for (SDL_Rect& r : bars) {
        SDL_FillRect(display, &r, black);
    }
    if ((display->flags & SDL_DOUBLEBUF) == SDL_DOUBLEBUF) {
        SDL_Flip(display);
    } else if (barsPending) {
        // The bars go out once after a mode is set, then only the picture.
        barsPending = false;
        SDL_UpdateRect(display, 0, 0, 0, 0);
    } else {
        SDL_UpdateRects(display, 1, &placed);
    }
}

void Display_update() {
    if (display == nullptr) {
        return;
    }
    if (screen == display) {
        SDL_UpdateRect(display, 0, 0, 0, 0);
    } else {
        present();
    }
}

void Display_flip() {
    if (display == nullptr) {
        return;
    }
    if (screen == display) {
        SDL_Flip(display);
    } else {
        present();
    }
}
