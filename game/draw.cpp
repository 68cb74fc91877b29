// The play screen: background, start area, distance markers, the grumm, the
// distance sign, shadows, scratch marks and the bird, painted from scratch
// every frame; and the number display that writes distances with a font strip.
#include <cstdio>

#include "game/draw.h"

SDL_Surface* bg = nullptr;

namespace {

// The bird is held at this screen column (157.538 px) once it has passed it.
constexpr fixed VIEW_FOLLOW_X = 0x009D89B9;
// The start area stays drawn while the view is right of -640 px.
constexpr fixed START_AREA_MIN_VIEW_X = -0x027FFFFF;
// Markers are drawn while their screen x lies strictly inside (-320, 960) px.
constexpr fixed MARKER_MIN_SCREEN_X = -0x013FFFFF;
constexpr fixed MARKER_MAX_SCREEN_X = 0x03BFFFFF;
// Marker distances 100, 150, ... 500 in 16.16.
constexpr fixed MARKER_FIRST = 0x00640000;
constexpr fixed MARKER_LAST = 0x01F40000;
constexpr fixed MARKER_STEP = 0x00320000;
// A marker's number stands 8.5 px right of its sign's centre, at y 70 px less
// two steps.
constexpr fixed MARKER_TEXT_DX = 0x00088000;
constexpr fixed MARKER_TEXT_Y = 0x0045FFFE;
// The board's shadow and the best distance on the board.
constexpr fixed BOARD_SHADOW_X = 0x00B98000;
constexpr fixed BOARD_SHADOW_Y = 0x0060FFFF;
// Once the dropped sign has landed its shadow appears 28 px to its left, at
// 54 px less one step.
constexpr fixed SIGN_SHADOW_DX = 0x001C0000;
constexpr fixed SIGN_SHADOW_Y = 0x0035FFFF;
// The last distance stands 7 px less one step above the sign's centre.
constexpr fixed SIGN_TEXT_DY = 0x0006FFFF;
// Frame of the large font's decimal point; the small font has none.
constexpr uint16_t FONT_POINT_FRAME = 10;

// The largest value the three integer places of the number text can show,
// 999 + 65535/65536: it reads "999.9".
constexpr fixed NUMBER_MAX = 1000 * 65536 - 1;

// Rows of the stand-in background: the sky darkens from row 0 to the row above
// the horizon band, the snow lightens from below the band to the last row.
constexpr int SKY_LAST_ROW = 294;
constexpr int HORIZON_FIRST_ROW = 295;
constexpr int HORIZON_LAST_ROW = 297;

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb SKY_TOP = {227, 240, 255};
constexpr Rgb SKY_BOTTOM = {51, 137, 182};
// A darker band than either side keeps the line between sky and snow visible.
constexpr Rgb HORIZON = {38, 92, 128};
constexpr Rgb SNOW_TOP = {200, 223, 240};
constexpr Rgb SNOW_BOTTOM = {255, 255, 255};

// 1 while the background blit keeps failing: the message is printed for the
// first failed frame only and again after a frame in which the blit worked.
uint8_t bgFailing = 0;

uint8_t lerp8(uint8_t a, uint8_t b, int num, int den) {
    return static_cast<uint8_t>(a + (static_cast<int>(b) - a) * num / den);
}

Rgb backdropRow(int row) {
    if (row < HORIZON_FIRST_ROW) {
        return {lerp8(SKY_TOP.r, SKY_BOTTOM.r, row, SKY_LAST_ROW),
                lerp8(SKY_TOP.g, SKY_BOTTOM.g, row, SKY_LAST_ROW),
                lerp8(SKY_TOP.b, SKY_BOTTOM.b, row, SKY_LAST_ROW)};
    }
    if (row <= HORIZON_LAST_ROW) {
        return HORIZON;
    }
    constexpr int span = 479 - HORIZON_LAST_ROW;
    const int k = row > 479 ? span : row - HORIZON_LAST_ROW;
    return {lerp8(SNOW_TOP.r, SNOW_BOTTOM.r, k, span), lerp8(SNOW_TOP.g, SNOW_BOTTOM.g, k, span),
            lerp8(SNOW_TOP.b, SNOW_BOTTOM.b, k, span)};
}

// Paints the background's sky, horizon and snow in plain rows, for frames in
// which the background picture cannot be shown: what the previous frame left
// on the screen is never seen through the scene.
void fillBackdrop(SDL_Surface* target) {
    if (target == nullptr) {
        return;
    }
    SDL_Rect row = {0, 0, static_cast<Uint16>(target->w), 1};
    for (int y = 0; y < target->h; ++y) {
        const Rgb c = backdropRow(y);
        row.y = static_cast<Sint16>(y);
        SDL_FillRect(target, &row, SDL_MapRGB(target->format, c.r, c.g, c.b));
    }
}

void drawBackground() {
    // SDL_UpperBlit refuses a missing picture with an error of its own, which
    // the message then carries.
    const int result = SDL_UpperBlit(bg, nullptr, screen, nullptr);
    if (result == 0) {
        bgFailing = 0;
        return;
    }
    if (bgFailing == 0) {
        printf("Error blitting title: %s", SDL_GetError());
        fflush(stdout);
        bgFailing = 1;
    }
    fillBackdrop(screen);
}

} // namespace

void printFixed(char* text, fixed value) {
    if (text == nullptr) {
        return;
    }
    // Four places (hundreds, tens, units, tenths) hold values below 1000 only;
    // a larger one would make the hundreds place a character past '9'.
    int32_t v = value > NUMBER_MAX ? NUMBER_MAX : value;
    uint8_t started = 0;
    int n = 0;

    const int32_t h = v / 6553600;
    if (h > 0) {
        text[n++] = static_cast<char>('0' + h);
        v -= h * 6553600;
        started = 1;
    }
    const int32_t t = v / 655360;
    if (t > 0) {
        text[n++] = static_cast<char>('0' + t);
        v -= t * 655360;
        started = 1;
    } else if (started) {
        text[n++] = '0';
    }
    const int32_t u = v / 65536;
    if (u > 0) {
        text[n++] = static_cast<char>('0' + u);
        v -= u * 65536;
        started = 1;
    } else if (started) {
        text[n++] = '0';
    }
    // 6553 rather than 6553.6: a fraction of 6553/65536 already reads as one
    // tenth, and the largest fraction would give 10 without the cap.
    int32_t f = v / 6553;
    if (f > 9) {
        f = 9;
    }
    if (f > 0) {
        text[n++] = '.';
        text[n++] = static_cast<char>('0' + f);
        started = 1;
    }
    if (n == 0) {
        text[n++] = '0';
    }
    text[n] = '\0';
}

void Game_drawFixed(fixed value, Sprite* carrier, Animation* font, uint16_t pointFrame,
                    uint16_t digitBase, uint8_t centre, const View* view, uint16_t height) {
    // Without a font there is no glyph to bind: the carrier would be drawn
    // with whatever image it last had.
    if (carrier == nullptr || font == nullptr) {
        return;
    }
    char text[8];
    printFixed(text, value);

    if (centre == 1) {
        int n = 0;
        while (text[n] != '\0') {
            ++n;
        }
        const int64_t w = static_cast<int64_t>(font->frameRect.w) * 65536;
        carrier->x.value = wrap_sub(carrier->x.value, static_cast<fixed>((n - 1) * w / 2));
    }

    for (int i = 0; i < 20 && text[i] != '\0'; ++i) {
        const char c = text[i];
        uint16_t frame;
        if (c == '.') {
            frame = pointFrame;
        } else if (c >= '0' && c <= '9') {
            frame = static_cast<uint16_t>(digitBase + (c - '0'));
        } else {
            continue;
        }
        Spr_setAni(carrier, font, frame, 0);
        Spr_draw(carrier, view, height);
        carrier->x.value = wrap_add(carrier->x.value, static_cast<fixed>(carrier->src.w) * 65536);
    }
}

void Game_draw(GameRecord* game) {
    if (game == nullptr) {
        return;
    }
    Sprite* s = game->spr;
    const uint16_t h = game->screenHeight;

    drawBackground();
    if (s == nullptr) {
        return;
    }
    Animation* font = game->ani != nullptr ? &game->ani[ANI_FONT] : nullptr;
    Animation* smallFont = game->ani != nullptr ? &game->ani[ANI_SFONT] : nullptr;
    Sprite* bird = &s[SPR_BIRD];
    Sprite* glyph = &s[SPR_GLYPH];

    View view = {0, 0};
    if (bird->x.value <= VIEW_FOLLOW_X - 1) {
        view.x = wrap_sub(bird->x.value, VIEW_FOLLOW_X);
    }
    const bool startArea = view.x >= START_AREA_MIN_VIEW_X;

    if (startArea) {
        Spr_draw(&s[SPR_SMALLTREE], &view, h);
        Spr_draw(&s[SPR_ICE], &view, h);
        Spr_draw(&s[SPR_TREE], &view, h);
        s[SPR_SIGNSHADOW].x.value = BOARD_SHADOW_X;
        s[SPR_SIGNSHADOW].y.value = BOARD_SHADOW_Y;
        Spr_draw(&s[SPR_SIGNSHADOW], &view, h);
        Spr_draw(&s[SPR_BOARD], &view, h);
        Spr_draw(&s[SPR_TOP], &view, h);
        glyph->x.value = BOARD_X;
        glyph->y.value = BOARD_TEXT_Y;
        Game_drawFixed(game->bestDistance, glyph, font, FONT_POINT_FRAME, 0, 0, &view, h);
    }

    glyph->y.value = MARKER_TEXT_Y;
    for (fixed d = MARKER_FIRST; d <= MARKER_LAST; d += MARKER_STEP) {
        const fixed markerX = wrap_sub(BIRD_START_X, fixmul(game->pixelsPerDist, d));
        const fixed screenX = wrap_sub(markerX, view.x);
        if (screenX < MARKER_MIN_SCREEN_X || screenX > MARKER_MAX_SCREEN_X) {
            continue;
        }
        s[SPR_MARKER].x.value = markerX;
        Spr_draw(&s[SPR_MARKER], &view, h);
        glyph->x.value = wrap_add(markerX, MARKER_TEXT_DX);
        Game_drawFixed(d, glyph, smallFont, 0, 0, 1, &view, h);
    }

    if (startArea) {
        Spr_draw(&s[SPR_ROCK], &view, h);
    }

    if (game->state == STATE_RESULT) {
        Sprite* sign = &s[SPR_SIGN];
        if (sign->y.value == SIGN_LANDED_Y) {
            s[SPR_SIGNSHADOW].x.value = wrap_sub(sign->x.value, SIGN_SHADOW_DX);
            s[SPR_SIGNSHADOW].y.value = SIGN_SHADOW_Y;
            Spr_draw(&s[SPR_SIGNSHADOW], &view, h);
        }
        Spr_draw(&s[SPR_GRUMM], &view, h);
        Spr_draw(sign, &view, h);
        glyph->x.value = sign->x.value;
        glyph->y.value = wrap_add(sign->y.value, SIGN_TEXT_DY);
        Game_drawFixed(game->lastDistance, glyph, font, FONT_POINT_FRAME, 0, 1, &view, h);
    } else {
        Spr_draw(&s[SPR_GRUMM], &view, h);
    }

    if (game->state == STATE_FLIGHT || game->state == STATE_RESULT) {
        s[SPR_SHADOW].x.value = bird->x.value;
        Spr_draw(&s[SPR_SHADOW], &view, h);
    }

    // The count never exceeds the ten entries the record holds.
    const int marks = game->scratchCount < SCRATCH_MAX ? game->scratchCount : SCRATCH_MAX;
    for (int i = 0; i < marks; ++i) {
        const ScratchMark& m = game->scratch[i];
        // The sum of two far-apart ends may not fit 32 bits; its floored half does.
        const int64_t sum = static_cast<int64_t>(m.startX) + m.endX;
        s[SPR_SCRATCH].x.value = static_cast<fixed>(sum >> 1);
        s[SPR_SCRATCH].zoomX.value = m.scaleX;
        Spr_draw(&s[SPR_SCRATCH], &view, h);
    }

    Spr_draw(bird, &view, h);
}
