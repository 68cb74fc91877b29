#include "platform/audio.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/game.h"
#include "platform/assets.h"

SDL_AudioSpec* hardware_spec = nullptr;

// The sounds are mixed at this rate, 16-bit mono: 1024 samples make a
// 2048-byte buffer about every 46 ms.
constexpr int AUDIO_RATE = 22050;
constexpr uint16_t AUDIO_SAMPLES = 1024;

// What the open device delivers; hardware_spec points here while it is open.
static SDL_AudioSpec obtained;

uint8_t init_Audio(void* userdata) {
    SDL_AudioSpec desired = {};
    desired.freq = AUDIO_RATE;
    desired.format = AUDIO_S16LSB;
    desired.channels = 1;
    desired.samples = AUDIO_SAMPLES;
    desired.callback = my_audio_callback;
    desired.userdata = userdata;
    if (SDL_OpenAudio(&desired, &obtained) < 0) {
        fprintf(stderr, "Couldn't open audio: %s\n", SDL_GetError());
        return 0;
    }
    hardware_spec = &obtained;
    return 1;
}

void load_sounds(SoundEntry* sounds, const char* const* names, uint16_t count) {
    if (sounds == nullptr || names == nullptr) {
        return;
    }
    for (uint16_t i = 0; i < count; i++) {
        SoundEntry* sound = &sounds[i];
        // The loader closes the stream (1), as the picture decoders do: that
        // frees only the stream object, never the asset bytes it reads.
        if (SDL_LoadWAV_RW(RES_toSDL_RWops(names[i]), 1, &sound->spec, &sound->data,
                           &sound->length) == nullptr) {
            fprintf(stderr, "Error: Could not open %s: %s\n", names[i], SDL_GetError());
            exit(-1);
        }

        // Without an open device there is no format to convert to; the sound
        // keeps its stored format and is never mixed.
        if (hardware_spec == nullptr) {
            continue;
        }
        SDL_AudioCVT cvt;
        if (SDL_BuildAudioCVT(&cvt, sound->spec.format, sound->spec.channels, sound->spec.freq,
                              hardware_spec->format, hardware_spec->channels,
                              hardware_spec->freq) == -1) {
            fputs("Error: Couldn't build converter!\n", stderr);
            continue;
        }
        // The work buffer comes from the loader's own allocator: SDL_malloc is
        // malloc and SDL_FreeWAV releases with SDL_free, which is free, so a
        // converted sound is released just like a loaded one.
        cvt.len = static_cast<int>(sound->length);
        cvt.buf = static_cast<Uint8*>(
            SDL_malloc(static_cast<size_t>(cvt.len_mult) * static_cast<size_t>(sound->length)));
        // Without a work buffer the conversion below fails and the sound
        // keeps its data as loaded.
        if (cvt.buf != nullptr) {
            memcpy(cvt.buf, sound->data, sound->length);
        }
        if (SDL_ConvertAudio(&cvt) != 0) {
            fprintf(stderr, "Warning: could not convert file %s: %s\n", names[i], SDL_GetError());
            SDL_free(cvt.buf); // the half-converted copy is of no further use
            continue;
        }
        SDL_FreeWAV(sound->data);
        sound->data = cvt.buf;
        sound->length = static_cast<uint32_t>(cvt.len_cvt);
    }
}

void unload_sounds(SoundEntry* sounds, uint16_t count) {
    if (sounds == nullptr) {
        return;
    }
    for (uint16_t i = 0; i < count; i++) {
        SDL_FreeWAV(sounds[i].data);
    }
}

void my_audio_callback(void* userdata, uint8_t* stream, int len) {
    if (userdata == nullptr || stream == nullptr) {
        return;
    }
    SoundEntry* sounds = static_cast<GameRecord*>(userdata)->snd;
    if (sounds == nullptr) {
        return;
    }
    const uint32_t bufferLength = static_cast<uint32_t>(len);
    for (uint16_t i = 0; i < SOUND_COUNT; i++) {
        SoundEntry* sound = &sounds[i];
        if (sound->playing != 1) {
            continue;
        }
        uint32_t n = bufferLength;
        if (bufferLength > sound->remaining) {
            sound->playing = 0;
            n = sound->remaining;
        }
        SDL_MixAudio(stream, sound->playPos, n, SDL_MIX_MAXVOLUME);
        sound->playPos += n;
        sound->remaining -= n;
    }
}

void close_Audio() {
    // Closing waits for the audio thread to finish its last callback, so no
    // sound is mixed after this returns.
    if (hardware_spec != nullptr) {
        SDL_CloseAudio();
        hardware_spec = nullptr;
    }
}
