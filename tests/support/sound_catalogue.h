// Sound test helpers: a catalogue lacking one asset, the stored samples of a
// WAV asset, and a game record whose sound link points at the test's own array.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

#include "game/Snowpunt1_SDL.h"
#include "platform/Snowpunt1_Win.h"

// The executable's catalogue with every asset but one. At most 64 assets.
struct Test_Catalogue {
    ResAsset assets[64];
    ResModule module;
};

// Fills c with the executable's assets except the one called `missing`
// (compared ignoring case) and returns its module.
const ResModule* Test_catalogueWithout(Test_Catalogue* c, const char* missing);

// The sample bytes of a WAV asset as stored (after its 44-byte header), and
// their count; null when there is no such asset.
const uint8_t* Test_wavSamples(const char* assetName, uint32_t* length);

// Signed 16-bit little-endian sample k of a byte buffer.
int16_t Test_sample(const uint8_t* bytes, uint32_t k);
// Stores v as sample k of a byte buffer, little-endian.
void Test_setSample(uint8_t* bytes, uint32_t k, int16_t v);
