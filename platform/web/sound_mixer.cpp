// The game's own mixer, on the page's sound thread (snowpunt_mixer.wasm,
// run by sound_worklet.js): the same callback and the same mixing as the
// desktop's device runs, over voices of its own. The page hands it each
// sound's samples once and each voice as the game starts it
// (web_sound.cpp); it mixes as the browser plays, a step at a time, so that
// a sound is heard from the step after the game starts it.
#include <cstdlib>
#include <cstring>
#include <emscripten.h>

#include "game/game.h"
#include "platform/audio.h"
#include "platform/web/sdl_fill.h"

static SoundEntry voices[SOUND_COUNT];
// The mixer reads the voices through the game's record, as on the desktop.
static GameRecord record;
// One step of mixed samples at most; the browser's steps are far shorter.
constexpr int MIXED_MAX = 4096;
static int16_t mixed[MIXED_MAX];

extern "C" {

void SDL_MixAudio(Uint8* dst, const Uint8* src, Uint32 len, int volume) {
    Fill_mixAudio(dst, src, len, volume);
}

// Room for `bytes` of sound `voice`'s samples, which the page copies in;
// the voice stops. Null where there is no such voice or no room.
EMSCRIPTEN_KEEPALIVE uint8_t* Mixer_sound(int voice, uint32_t bytes) {
    if (voice < 0 || voice >= SOUND_COUNT) {
        return nullptr;
    }
    SoundEntry* sound = &voices[voice];
    free(sound->data);
    *sound = {};
    sound->data = static_cast<uint8_t*>(malloc(bytes > 0 ? bytes : 1));
    sound->length = sound->data != nullptr ? bytes : 0;
    return sound->data;
}

// Voice `voice` as the page has it: `remaining` bytes still to mix from
// byte `at` of its samples, if it plays. A voice handed past the end of its
// samples, or before them, stops.
EMSCRIPTEN_KEEPALIVE void Mixer_voice(int voice, uint32_t at, uint32_t remaining, int playing) {
    if (voice < 0 || voice >= SOUND_COUNT) {
        return;
    }
    SoundEntry* sound = &voices[voice];
    const bool fits =
        sound->data != nullptr && at <= sound->length && remaining <= sound->length - at;
    sound->playing = playing == 1 && fits ? 1 : 0;
    sound->playPos = sound->data + (fits ? at : 0);
    sound->remaining = fits ? remaining : 0;
}

// The next `count` samples of every voice playing, mixed from silence.
EMSCRIPTEN_KEEPALIVE int16_t* Mixer_mix(int count) {
    const int samples = count < 0 ? 0 : count > MIXED_MAX ? MIXED_MAX : count;
    memset(mixed, 0, static_cast<size_t>(samples) * 2);
    record.snd = voices;
    my_audio_callback(&record, reinterpret_cast<uint8_t*>(mixed), samples * 2);
    return mixed;
}
}
