// The audio device and the software mixer that plays the six sounds.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

#include "engine/Sound.h"

// The format the open device delivers; every sound is converted to it. Null
// while no device is open.
extern SDL_AudioSpec* hardware_spec;

// Opens the device at 22050 Hz, 16-bit mono, with the mixer as its callback
// and userdata (the game record) handed to it; 0 when there is
// no device.
uint8_t init_Audio(void* userdata);
// Loads each named WAV asset and converts it to the device's format; a sound
// that cannot be loaded ends the process with status -1.
void load_sounds(SoundEntry* sounds, const char* const* names, uint16_t count);
void unload_sounds(SoundEntry* sounds, uint16_t count);
// Mixes every playing sound of the game record's sound array into stream.
void my_audio_callback(void* userdata, uint8_t* stream, int len);
// Closes the audio device if it is open and forgets its format; after it the
// callback no longer runs, so the sounds can be released safely.
void close_Audio();
