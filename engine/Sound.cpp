#include "engine/Sound.h"

void Snd_play(SoundEntry* sound) {
    if (sound == nullptr) {
        return;
    }
    // The audio thread mixes under this same lock, so it sees either the old
    // run or the whole new one, never a new playPos with the old remaining.
    // Without an open device the lock does nothing and nothing reads the fields.
    SDL_LockAudio();
    sound->remaining = sound->length;
    sound->playPos = sound->data;
    sound->playing = 1;
    SDL_UnlockAudio();
}
