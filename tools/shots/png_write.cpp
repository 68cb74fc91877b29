#include "tools/shots/png_write.h"

#include <cstdio>
#include <vector>
#include <zlib.h>

namespace {

void putU32(std::vector<unsigned char>& out, uLong v) {
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

// A chunk: length, type, data, and the CRC of type and data.
void putChunk(std::vector<unsigned char>& out, const char* type, const unsigned char* data,
              size_t size) {
    putU32(out, size);
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    putU32(out, crc32(0, out.data() + start, static_cast<uInt>(size + 4)));
}

} // namespace

Uint32 Png_pixel(SDL_Surface* s, int x, int y) {
    const Uint8* p =
        static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    Uint32 v = 0;
    switch (s->format->BytesPerPixel) {
    case 4:
        v = *reinterpret_cast<const Uint32*>(p);
        break;
    case 3:
        v = SDL_BYTEORDER == SDL_LIL_ENDIAN ? (p[0] | p[1] << 8 | p[2] << 16)
                                            : (p[0] << 16 | p[1] << 8 | p[2]);
        break;
    default:
        return 0;
    }
    Uint8 r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return static_cast<Uint32>(r) << 16 | static_cast<Uint32>(g) << 8 | b;
}

bool Png_write(const char* path, SDL_Surface* s) {
    if (s == nullptr || s->format->BytesPerPixel < 3) {
        return false;
    }
    const int w = s->w;
    const int h = s->h;
    // Each row: filter type 0 (none), then R G B per pixel.
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(h) * (1 + 3 * w));
    if (SDL_LockSurface(s) != 0) {
        return false;
    }
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) {
            const Uint32 c = Png_pixel(s, x, y);
            raw.push_back(static_cast<unsigned char>(c >> 16));
            raw.push_back(static_cast<unsigned char>(c >> 8));
            raw.push_back(static_cast<unsigned char>(c));
        }
    }
    SDL_UnlockSurface(s);

    uLongf packedSize = compressBound(raw.size());
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), raw.size(), 6) != Z_OK) {
        return false;
    }

    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> ihdr;
    putU32(ihdr, static_cast<uLong>(w));
    putU32(ihdr, static_cast<uLong>(h));
    // 8 bits per channel, colour type 2 (RGB), deflate, adaptive filtering,
    // no interlace.
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    putChunk(file, "IHDR", ihdr.data(), ihdr.size());
    putChunk(file, "IDAT", packed.data(), packedSize);
    putChunk(file, "IEND", nullptr, 0);

    FILE* f = fopen(path, "wb");
    if (f == nullptr) {
        return false;
    }
    const bool written = fwrite(file.data(), 1, file.size(), f) == file.size();
    return fclose(f) == 0 && written;
}
