#include "platform/web/sdl_fill.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// ---------------------------------------------------------------------------
// WAV files

static uint32_t readLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

static uint16_t readLE16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Moves `*pos` past the chunks before the next one called `id` and that
// chunk's header, and sets `*length` to its length: false when no such chunk
// lies wholly within the file. As SDL does, chunks are taken to follow each
// other without padding.
static bool findChunk(const uint8_t* bytes, uint32_t size, uint32_t* pos, const char* id,
                      uint32_t* length) {
    while (size - *pos >= 8) {
        const uint8_t* header = bytes + *pos;
        const uint32_t n = readLE32(header + 4);
        if (n > size - *pos - 8) {
            return false;
        }
        *pos += 8;
        if (memcmp(header, id, 4) == 0) {
            *length = n;
            return true;
        }
        *pos += n;
    }
    return false;
}

SDL_AudioSpec* Fill_loadWav(const uint8_t* bytes, uint32_t size, SDL_AudioSpec* wave,
                            uint8_t** data, uint32_t* length) {
    if (bytes == nullptr || size < 12 || memcmp(bytes, "RIFF", 4) != 0 ||
        memcmp(bytes + 8, "WAVE", 4) != 0) {
        SDL_SetError("Unrecognized file type (not WAVE)");
        return nullptr;
    }
    uint32_t pos = 12;
    uint32_t fmtLength = 0;
    if (!findChunk(bytes, size, &pos, "fmt ", &fmtLength) || fmtLength < 16) {
        SDL_SetError("No complete WAVE format chunk");
        return nullptr;
    }
    // The format chunk: encoding, channels, rate, byte rate, block size, bits.
    const uint8_t* fmt = bytes + pos;
    const uint16_t encoding = readLE16(fmt);
    if (encoding != 1) {
        SDL_SetError("Unknown WAVE data format: 0x%.4x", encoding);
        return nullptr;
    }
    const uint16_t bits = readLE16(fmt + 14);
    if (bits != 8 && bits != 16) {
        SDL_SetError("Unknown %d-bit PCM data format", bits);
        return nullptr;
    }
    pos += fmtLength;
    uint32_t dataLength = 0;
    if (!findChunk(bytes, size, &pos, "data", &dataLength)) {
        SDL_SetError("No complete WAVE data chunk");
        return nullptr;
    }
    // As SDL, which finds nothing to read in an empty data chunk.
    if (dataLength == 0) {
        SDL_SetError("Error reading from datastream");
        return nullptr;
    }
    uint8_t* copy = static_cast<uint8_t*>(SDL_malloc(dataLength));
    if (copy == nullptr) {
        SDL_SetError("Out of memory");
        return nullptr;
    }
    memcpy(copy, bytes + pos, dataLength);

    memset(wave, 0, sizeof *wave);
    wave->freq = static_cast<int>(readLE32(fmt + 4));
    wave->format = bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wave->channels = static_cast<uint8_t>(readLE16(fmt + 2));
    wave->samples = 4096;
    // Whole sample frames only, cut as SDL cuts them (frames of a power of
    // two bytes come out exact).
    const uint32_t frame = bits / 8u * wave->channels;
    *data = copy;
    *length = dataLength & ~(frame - 1);
    return wave;
}

// ---------------------------------------------------------------------------
// Conversion
//
// The plan is kept where SDL keeps its own: cvt->filters holds the steps,
// null-terminated, each of them a function of SDL's filter type that works in
// place on cvt->len_cvt bytes at cvt->buf and then calls the next, exactly as
// SDL's own filters do. So either SDL's SDL_ConvertAudio would run it too.

static int sampleBytes(uint16_t format) {
    return (format & 0xFF) / 8;
}

static void nextStep(SDL_AudioCVT* cvt, Uint16 format) {
    if (cvt->filters[++cvt->filter_index] != nullptr) {
        cvt->filters[cvt->filter_index](cvt, format);
    }
}

// Each unit of `unit` bytes twice, from the end backwards (the data doubles).
static void repeatUnits(SDL_AudioCVT* cvt, int unit) {
    uint8_t* src = cvt->buf + cvt->len_cvt;
    uint8_t* dst = cvt->buf + cvt->len_cvt * 2;
    for (int i = cvt->len_cvt / unit; i > 0; --i) {
        src -= unit;
        dst -= 2 * unit;
        memmove(dst, src, static_cast<size_t>(unit));
        memmove(dst + unit, src, static_cast<size_t>(unit));
    }
    cvt->len_cvt *= 2;
}

// The first of each two units of `unit` bytes (the data halves).
static void skipUnits(SDL_AudioCVT* cvt, int unit) {
    uint8_t* src = cvt->buf;
    uint8_t* dst = cvt->buf;
    for (int i = cvt->len_cvt / (2 * unit); i > 0; --i) {
        memmove(dst, src, static_cast<size_t>(unit));
        src += 2 * unit;
        dst += unit;
    }
    cvt->len_cvt /= 2;
}

// Twice the rate, or mono to stereo (SAMPLES 1): each frame of SAMPLES
// samples twice.
template <int SAMPLES> static void SDLCALL repeatFrames(SDL_AudioCVT* cvt, Uint16 format) {
    repeatUnits(cvt, SAMPLES * sampleBytes(format));
    nextStep(cvt, format);
}

// Half the rate: every other frame of SAMPLES samples.
template <int SAMPLES> static void SDLCALL skipFrames(SDL_AudioCVT* cvt, Uint16 format) {
    skipUnits(cvt, SAMPLES * sampleBytes(format));
    nextStep(cvt, format);
}

// Stereo to mono: the two channels' sum halved toward zero.
static void SDLCALL mixChannels(SDL_AudioCVT* cvt, Uint16 format) {
    uint8_t* src = cvt->buf;
    uint8_t* dst = cvt->buf;
    if (format == AUDIO_U8) {
        for (int i = cvt->len_cvt / 2; i > 0; --i) {
            *dst++ = static_cast<uint8_t>((src[0] + src[1]) / 2);
            src += 2;
        }
    } else {
        for (int i = cvt->len_cvt / 4; i > 0; --i) {
            const int32_t sum =
                int16_t(readLE16(src)) + int16_t(readLE16(src + 2)); // as signed samples
            const int32_t sample = sum / 2;
            dst[0] = static_cast<uint8_t>(sample & 0xFF);
            dst[1] = static_cast<uint8_t>((sample >> 8) & 0xFF);
            src += 4;
            dst += 2;
        }
    }
    cvt->len_cvt /= 2;
    nextStep(cvt, format);
}

static int unsupported(uint16_t srcFormat, uint16_t dstFormat) {
    SDL_SetError("Unsupported audio conversion 0x%.4x -> 0x%.4x", srcFormat, dstFormat);
    return -1;
}

int Fill_buildCVT(SDL_AudioCVT* cvt, uint16_t srcFormat, uint8_t srcChannels, int srcRate,
                  uint16_t dstFormat, uint8_t dstChannels, int dstRate) {
    cvt->needed = 0;
    cvt->filter_index = 0;
    cvt->filters[0] = nullptr;
    cvt->len_mult = 1;
    cvt->len_ratio = 1.0;
    cvt->rate_incr = 0.0;
    // SDL takes rates within the same 100 Hz as equal.
    const bool sameRate = srcRate / 100 == dstRate / 100;
    if (srcFormat == dstFormat && srcChannels == dstChannels && sameRate) {
        return 0;
    }
    if (srcFormat != dstFormat || (srcFormat != AUDIO_U8 && srcFormat != AUDIO_S16LSB)) {
        return unsupported(srcFormat, dstFormat);
    }
    int n = 0;
    if (srcChannels == 1 && dstChannels == 2) {
        cvt->filters[n++] = repeatFrames<1>;
        cvt->len_mult *= 2;
        cvt->len_ratio *= 2;
    } else if (srcChannels == 2 && dstChannels == 1) {
        cvt->filters[n++] = mixChannels;
        cvt->len_ratio /= 2;
    } else if (srcChannels != dstChannels) {
        return unsupported(srcFormat, dstFormat);
    }
    if (!sameRate) {
        if (srcRate <= 0 || dstRate <= 0 || (dstChannels != 1 && dstChannels != 2)) {
            return unsupported(srcFormat, dstFormat);
        }
        const bool up = dstRate > srcRate;
        uint32_t lo = static_cast<uint32_t>(up ? srcRate : dstRate);
        const uint32_t hi = static_cast<uint32_t>(up ? dstRate : srcRate);
        // Doubling or halving as long as SDL would, each time one step; what
        // is left over must be nothing (SDL would play on at a wrong rate).
        while (lo * 2 / 100 <= hi / 100) {
            if (n == 9) {
                return unsupported(srcFormat, dstFormat);
            }
            if (dstChannels == 1) {
                cvt->filters[n++] = up ? repeatFrames<1> : skipFrames<1>;
            } else {
                cvt->filters[n++] = up ? repeatFrames<2> : skipFrames<2>;
            }
            cvt->len_mult *= up ? 2 : 1;
            cvt->len_ratio *= up ? 2.0 : 0.5;
            lo *= 2;
        }
        if (lo / 100 != hi / 100) {
            return unsupported(srcFormat, dstFormat);
        }
    }
    cvt->filter_index = n;
    cvt->filters[n] = nullptr;
    cvt->needed = 1;
    cvt->src_format = srcFormat;
    cvt->dst_format = dstFormat;
    cvt->len = 0;
    cvt->buf = nullptr;
    return 1;
}

int Fill_convert(SDL_AudioCVT* cvt) {
    if (cvt->buf == nullptr) {
        SDL_SetError("No buffer allocated for conversion");
        return -1;
    }
    cvt->len_cvt = cvt->len;
    if (cvt->filters[0] == nullptr) {
        return 0;
    }
    cvt->filter_index = 0;
    cvt->filters[0](cvt, cvt->src_format);
    return 0;
}

// ---------------------------------------------------------------------------
// Mixing

void Fill_mixAudio(uint8_t* dst, const uint8_t* src, uint32_t len, int volume) {
    if (volume == 0) {
        return;
    }
    for (uint32_t i = len / 2; i > 0; --i) {
        // The scaled sample is kept to 16 bits, as SDL keeps it.
        const int16_t scaled = static_cast<int16_t>(int16_t(readLE16(src)) * volume / 128);
        const int32_t sum = std::clamp<int32_t>(scaled + int16_t(readLE16(dst)), -32768, 32767);
        dst[0] = static_cast<uint8_t>(sum & 0xFF);
        dst[1] = static_cast<uint8_t>((sum >> 8) & 0xFF);
        src += 2;
        dst += 2;
    }
}

// ---------------------------------------------------------------------------
// The display's format

SDL_Surface* Fill_displayFormat(SDL_Surface* surface) {
    SDL_Surface* display = SDL_GetVideoSurface();
    if (display == nullptr) {
        SDL_SetError("No video mode has been set");
        return nullptr;
    }
    // A software surface; the picture's own colour key, alpha and run-length
    // wishes go with it, as SDL passes them on.
    const uint32_t flags = surface->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_RLEACCELOK);
    return SDL_ConvertSurface(surface, display->format, flags);
}

// ---------------------------------------------------------------------------
// Turning and zooming
//
// Pixels are handled as four bytes, one per channel, whatever the masks say:
// the interpolation treats every channel alike. Positions are 16.16 fixed
// point and the arithmetic is SDL_gfx's, step for step, so that the same
// pixels come out.

static constexpr double ZOOM_MIN = 0.001;
static constexpr double PI = 3.14159265358979323846;

// Bilinear mix of one channel of four neighbours by the fractions ex, ey.
static uint8_t interpolate(int c00, int c01, int c10, int c11, int32_t ex, int32_t ey) {
    const int32_t t1 = ((((c01 - c00) * ex) >> 16) + c00) & 0xff;
    const int32_t t2 = ((((c11 - c10) * ex) >> 16) + c10) & 0xff;
    return static_cast<uint8_t>((((t2 - t1) * ey) >> 16) + t1);
}

static void interpolatePixel(uint8_t* out, const uint8_t* c00, const uint8_t* c01,
                             const uint8_t* c10, const uint8_t* c11, int32_t ex, int32_t ey) {
    for (int k = 0; k < 4; ++k) {
        out[k] = interpolate(c00[k], c01[k], c10[k], c11[k], ex, ey);
    }
}

// A frame turned: every target pixel is found in the source by stepping along
// its row by (icos, isin); where its 2 x 2 neighbourhood would leave the
// source, the pixel stays clear. Like SDL_gfx, the source's centre is its
// half width and height rounded down.
static void turn(const uint8_t* srcPixels, int srcPitch, int srcW, int srcH, uint8_t* dstPixels,
                 int dstPitch, int dstW, int dstH, int32_t isin, int32_t icos) {
    const int32_t cx = dstW / 2;
    const int32_t cy = dstH / 2;
    const int32_t xd = (srcW - dstW) * 32768;
    const int32_t yd = (srcH - dstH) * 32768;
    const int32_t ax = cx * 65536 - icos * cx;
    const int32_t ay = cy * 65536 - isin * cx;
    for (int32_t y = 0; y < dstH; ++y) {
        uint8_t* out = dstPixels + y * dstPitch;
        int32_t sdx = ax + isin * (cy - y) + xd;
        int32_t sdy = ay - icos * (cy - y) + yd;
        for (int32_t x = 0; x < dstW; ++x, out += 4, sdx += icos, sdy += isin) {
            const int32_t dx = sdx >> 16;
            const int32_t dy = sdy >> 16;
            if (dx < 0 || dy < 0 || dx >= srcW - 1 || dy >= srcH - 1) {
                memset(out, 0, 4);
                continue;
            }
            const uint8_t* c00 = srcPixels + dy * srcPitch + dx * 4;
            const uint8_t* c10 = c00 + srcPitch;
            interpolatePixel(out, c00, c00 + 4, c10, c10 + 4, sdx & 0xffff, sdy & 0xffff);
        }
    }
}

// The source position (16.16) of the next target `step` on from `at`, held
// below `limit` pixels as SDL_gfx holds it.
static int32_t zoomStep(int32_t at, int32_t step, int limit) {
    return static_cast<int32_t>(std::min<int64_t>(int64_t(at) + step, limit * int64_t(65536) - 1));
}

// A frame zoomed, not turned: the first and last pixels of each row and
// column fall on the source's first and last, the ones between interpolated.
static void zoom(const uint8_t* srcPixels, int srcPitch, int srcW, int srcH, uint8_t* dstPixels,
                 int dstPitch, int dstW, int dstH) {
    // SDL_gfx divides in single precision; a target one pixel wide or high
    // takes the source's first column or row.
    const int32_t sx =
        dstW > 1 ? static_cast<int32_t>(65536.0 * float(srcW - 1) / float(dstW - 1)) : 0;
    const int32_t sy =
        dstH > 1 ? static_cast<int32_t>(65536.0 * float(srcH - 1) / float(dstH - 1)) : 0;
    int32_t yAt = 0;
    for (int y = 0; y < dstH; ++y, yAt = zoomStep(yAt, sy, srcH)) {
        const int32_t row = yAt >> 16;
        const uint8_t* c00row = srcPixels + row * srcPitch;
        const uint8_t* c10row = row < srcH - 1 ? c00row + srcPitch : c00row;
        uint8_t* out = dstPixels + y * dstPitch;
        int32_t xAt = 0;
        for (int x = 0; x < dstW; ++x, out += 4, xAt = zoomStep(xAt, sx, srcW)) {
            const int32_t column = xAt >> 16;
            const int right = column < srcW - 1 ? 4 : 0;
            const uint8_t* c00 = c00row + column * 4;
            const uint8_t* c10 = c10row + column * 4;
            interpolatePixel(out, c00, c00 + right, c10, c10 + right, xAt & 0xffff, yAt & 0xffff);
        }
    }
}

SDL_Surface* Fill_rotozoom(SDL_Surface* src, double angle, double zoomx, double zoomy,
                           int /*smooth*/) {
    if (src == nullptr || src->format->BitsPerPixel != 32) {
        SDL_SetError("Only 32-bit surfaces can be turned");
        return nullptr;
    }
    zoomx = std::max(zoomx, ZOOM_MIN);
    zoomy = std::max(zoomy, ZOOM_MIN);
    const bool turned = fabs(angle) > ZOOM_MIN;

    int w, h;
    int32_t isin = 0, icos = 0;
    if (turned) {
        // The size that holds the frame's half width and height turned,
        // rounded down, in every quadrant: SDL_gfx's rule.
        const double radians = angle * (PI / 180.0);
        const double s = sin(radians) * zoomx;
        const double c = cos(radians) * zoomx;
        const double x = double(src->w / 2);
        const double y = double(src->h / 2);
        const double cx = c * x, cy = c * y, sx = s * x, sy = s * y;
        const double halfW =
            std::max({fabs(cx + sy), fabs(cx - sy), fabs(-cx + sy), fabs(-cx - sy)});
        const double halfH =
            std::max({fabs(sx + cy), fabs(sx - cy), fabs(-sx + cy), fabs(-sx - cy)});
        w = 2 * std::max(static_cast<int>(ceil(halfW)), 1);
        h = 2 * std::max(static_cast<int>(ceil(halfH)), 1);
        // The steps through the source per target pixel.
        const double inverse = 65536.0 / (zoomx * zoomx);
        isin = static_cast<int32_t>(s * inverse);
        icos = static_cast<int32_t>(c * inverse);
    } else {
        w = std::max(static_cast<int>(floor(src->w * zoomx + 0.5)), 1);
        h = std::max(static_cast<int>(floor(src->h * zoomy + 0.5)), 1);
    }

    const SDL_PixelFormat* f = src->format;
    SDL_Surface* dst =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    if (dst == nullptr) {
        return nullptr;
    }
    // Locked, both: where surfaces live elsewhere, the lock brings their
    // pixels into memory and the unlock takes them back.
    if (SDL_LockSurface(src) != 0) {
        SDL_FreeSurface(dst);
        return nullptr;
    }
    if (SDL_LockSurface(dst) != 0) {
        SDL_UnlockSurface(src);
        SDL_FreeSurface(dst);
        return nullptr;
    }
    const uint8_t* from = static_cast<const uint8_t*>(src->pixels);
    uint8_t* to = static_cast<uint8_t*>(dst->pixels);
    if (turned) {
        turn(from, src->pitch, src->w, src->h, to, dst->pitch, w, h, isin, icos);
    } else {
        zoom(from, src->pitch, src->w, src->h, to, dst->pitch, w, h);
    }
    SDL_UnlockSurface(dst);
    SDL_UnlockSurface(src);
    // Blitted with its own alpha. SDL_gfx also sets the source's colour key
    // (none: 0), which alpha blits ignore; the browser's SDL has no colour
    // keys at all, so none is set here.
    SDL_SetAlpha(dst, SDL_SRCALPHA, 255);
    return dst;
}
