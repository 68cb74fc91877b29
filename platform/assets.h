// The assets the executable carries (the build links them in, one per line of
// game/catalogue.def), and their lookup by name.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

// One asset: its file name and its bytes, which live as long as the process
// and are never written.
struct Asset {
    const char* name;     // upper-case file name, e.g. "FLY.PNG"
    const uint8_t* begin; // first byte
    const uint8_t* end;   // one past the last byte
};

struct AssetCatalogue {
    const Asset* assets;
    uint16_t count;
};

// The assets linked into this executable.
extern const AssetCatalogue RES_linked;
// The window icon, a 32 x 32 PNG with alpha (not part of the catalogue).
extern const Asset RES_icon;
// The catalogue every lookup searches: RES_linked. Tests point it at one of
// their own, with an asset missing or broken.
extern const AssetCatalogue* RES_catalogue;

// The asset of that name, compared ignoring ASCII case, or null.
const Asset* RES_find(const char* name);
// A new read-only stream over the named asset's bytes, after a line with its
// address and size and a line with its first bytes on standard output; null,
// with a message on standard error, when there is no such asset.
SDL_RWops* RES_toSDL_RWops(const char* name);
