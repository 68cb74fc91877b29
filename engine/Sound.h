// Sounds: one voice per sound, mixed by the audio callback.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

struct SoundEntry {
    SDL_AudioSpec spec; // format as stored in the WAV asset (stale after conversion)
    uint8_t* data;      // sample data, in the device's format once converted
    uint8_t* playPos;   // next byte to mix
    uint32_t length;    // bytes of sample data
    uint32_t remaining; // bytes still to mix
    uint8_t playing;    // 1 while being mixed
};

// Starts a sound from its first byte, restarting it if it already plays.
void Snd_play(SoundEntry* sound);
