#include "Snowpunt1_SDL.h"

SoundEntry snd[SOUND_COUNT];
const char* const sounds[SOUND_COUNT] = {"beat.wav",  "ready.wav",  "hui.wav",
                                         "hepp.wav", "bounce.wav", "lift.wav"};
SDL_AudioSpec* hardware_spec = nullptr;
