#include "engine/Sprite.h"

#include <SDL/SDL_rotozoom.h>

#include "engine/Animation.h"
#include "engine/Interpolation.h"

SDL_Surface* screen = nullptr;

SDL_Surface* (*Spr_rotozoom)(SDL_Surface*, double, double, double, int) = rotozoomSurfaceXY;

// The frame of a turned or stretched sprite, handed to the rotation routine
// through a surface header over the strip's own pixels (nothing is copied),
// then drawn centred on the sprite's position. Both temporary surfaces are
// gone when this returns.
static void drawTurned(const Sprite* s, int32_t column, int32_t row) {
    SDL_Surface* strip = s->image;

    // The frame as it lies in the strip, cut to the strip: a rectangle
    // reaching past the strip's last row would make the header read beyond
    // its pixels.
    const int32_t top = s->src.y < 0 ? 0 : s->src.y;
    const int32_t left = s->src.x < 0 ? 0 : s->src.x;
    const int32_t bottom = s->src.y + s->src.h < strip->h ? s->src.y + s->src.h : strip->h;
    const int32_t right = s->src.x + s->src.w < strip->w ? s->src.x + s->src.w : strip->w;
    if (bottom <= top || right <= left) {
        return;
    }

    // The strip is locked while its pixels are read: a run-length accelerated
    // strip that has been blitted keeps only its encoded runs until a lock
    // decodes them, and a strip kept elsewhere (a canvas of the browser's)
    // has its pixels brought here only by a lock. The unlock encodes it
    // again once the frame has been turned.
    if (SDL_LockSurface(strip) != 0) {
        return;
    }
    if (strip->pixels == nullptr) {
        SDL_UnlockSurface(strip);
        return;
    }

    const SDL_PixelFormat* fmt = strip->format;
    // Rows are pitch bytes apart, padded or not.
    uint8_t* pixels =
        static_cast<uint8_t*>(strip->pixels) + top * strip->pitch + left * fmt->BytesPerPixel;
    SDL_Surface* frame =
        SDL_CreateRGBSurfaceFrom(pixels, right - left, bottom - top, fmt->BitsPerPixel,
                                 strip->pitch, fmt->Rmask, fmt->Gmask, fmt->Bmask, fmt->Amask);
    SDL_Surface* turned = nullptr;
    if (frame != nullptr) {
        SDL_SetAlpha(frame, SDL_SRCALPHA, 255);
        // The rotation routine turns counter-clockwise for positive degrees.
        // The bird faces left, so its positive (climbing) flight angle must
        // turn it clockwise to lift its nose: hence the minus.
        const double degrees = -static_cast<double>(s->angle.value) * 360.0 / 65536.0;
        const double zoomx = s->zoomX.value / 65536.0;
        const double zoomy = s->zoomY.value / 65536.0;
        if (Spr_rotozoom != nullptr) {
            turned = Spr_rotozoom(frame, degrees, zoomx, zoomy, 1);
        }
        SDL_FreeSurface(frame);
    }
    SDL_UnlockSurface(strip);
    if (turned == nullptr) {
        return;
    }

    SDL_SetAlpha(turned, SDL_SRCALPHA, 255);
    SDL_Rect dst;
    dst.w = static_cast<Uint16>(turned->w);
    dst.h = static_cast<Uint16>(turned->h);
    dst.x = static_cast<Sint16>(column - (turned->w >> 1));
    dst.y = static_cast<Sint16>(row - (turned->h >> 1));
    SDL_UpperBlit(turned, nullptr, screen, &dst);
    SDL_FreeSurface(turned);
}

void Spr_draw(const Sprite* sprite, const View* view, uint16_t height) {
    if (sprite == nullptr || view == nullptr || sprite->image == nullptr || screen == nullptr) {
        return;
    }
    const fixed dx = wrap_sub(sprite->x.value, view->x);
    const fixed dy = wrap_sub(static_cast<fixed>(static_cast<uint32_t>(height) << 16),
                              wrap_sub(sprite->y.value, view->y));
    // Whole pixels toward minus infinity: half a pixel left of the view's
    // edge is column -1, not 0.
    const int32_t column = fix_floor(dx);
    const int32_t row = fix_floor(dy);

    if (sprite->angle.value == 0 && sprite->zoomX.value == FIX_ONE &&
        sprite->zoomY.value == FIX_ONE) {
        SDL_Rect src = sprite->src;
        SDL_Rect dst;
        dst.w = src.w;
        dst.h = src.h;
        dst.x = static_cast<Sint16>(column - (src.w >> 1));
        dst.y = static_cast<Sint16>(row - (src.h >> 1));
        SDL_UpperBlit(sprite->image, &src, screen, &dst);
        return;
    }
    drawTurned(sprite, column, row);
}

void Spr_drawN(const Sprite* sprites, const View* view, uint16_t height, uint16_t count) {
    if (sprites == nullptr || view == nullptr) {
        return;
    }
    for (uint16_t i = 0; i < count; i++) {
        Spr_draw(&sprites[i], view, height);
    }
}

void Spr_doN(Sprite* sprites, uint16_t count) {
    if (sprites == nullptr) {
        return;
    }
    for (uint16_t i = 0; i < count; i++) {
        Sprite* s = &sprites[i];
        if (Ani_do(s->ani) != 0) {
            Ani_transfer(s->ani);
        }
        // Gravity first, so a speed changed in this frame moves the sprite in
        // this frame.
        if (s->intpl != nullptr) {
            for (uint16_t j = 0; j < s->intplCount; j++) {
                Int_do(&s->intpl[j]);
            }
        }
        s->x.value = wrap_add(s->x.value, s->x.speed);
        s->y.value = wrap_add(s->y.value, s->y.speed);
    }
}
