#include "tests/support/sound_catalogue.h"

const uint8_t* Test_wavSamples(const char* assetName, uint32_t* length) {
    const Asset* found = RES_find(assetName);
    if (!found || found->end - found->begin < 44) {
        return nullptr;
    }
    // The catalogue's WAVs have a fixed 44-byte header whose last field is
    // the data chunk's size.
    const uint8_t* h = found->begin;
    *length = static_cast<uint32_t>(h[40]) | static_cast<uint32_t>(h[41]) << 8 |
              static_cast<uint32_t>(h[42]) << 16 | static_cast<uint32_t>(h[43]) << 24;
    return h + 44;
}

int16_t Test_sample(const uint8_t* bytes, uint32_t k) {
    return static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * k] | bytes[2 * k + 1] << 8));
}

void Test_setSample(uint8_t* bytes, uint32_t k, int16_t v) {
    uint16_t u = static_cast<uint16_t>(v);
    bytes[2 * k] = static_cast<uint8_t>(u & 0xFF);
    bytes[2 * k + 1] = static_cast<uint8_t>(u >> 8);
}
