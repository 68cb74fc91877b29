// Sound test helpers: the stored samples of a WAV asset, and reading and
// writing 16-bit samples.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "platform/assets.h"

// The sample bytes of a WAV asset as stored (after its 44-byte header), and
// their count; null when there is no such asset.
const uint8_t* Test_wavSamples(const char* assetName, uint32_t* length);

// Signed 16-bit little-endian sample k of a byte buffer.
int16_t Test_sample(const uint8_t* bytes, uint32_t k);
// Stores v as sample k of a byte buffer, little-endian.
void Test_setSample(uint8_t* bytes, uint32_t k, int16_t v);
