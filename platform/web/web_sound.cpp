// The sound device in a web page, under SDL 1.2's names, in place of the
// browser's SDL's own: that one asks for a buffer of the device's samples
// from a timer and queues several ahead, so that a sound started in a frame
// is heard a quarter of a second after it.
//
// Here the game's own mixer runs on the page's sound thread
// (sound_mixer.cpp, sound_worklet.js), a step at a time as the browser
// plays, as the desktop's runs on its audio thread. Each time the game
// starts a sound (under the device's lock) the voice is handed to it, with
// the others the frame starts, as the page yields to the browser: a frame's
// sounds start together, from the browser's next step, whatever the page's
// own thread is doing then. Nothing is queued: a tab in the background plays on
// as the game starts its sounds there, and nothing is owed when it comes
// back.
//
// Where the sound thread cannot run (a page not served over https, a
// browser without one, or the device's rate refused), the page feeds the
// device itself instead, a few times a frame (WebSound_feed), with just
// enough to reach a little past the next feed: the samples mixed in a frame
// are heard a few tens of milliseconds after it. Every mixed sample is
// played once, in order. Where the feeds stop (a tab in the background),
// the queue runs dry and the next feed starts it again a little ahead of the
// browser's clock: the sounds go on from where the mixer is, with nothing
// owed and nothing stale.
//
// Before the player's first key, click or tap the browser holds sound back
// and its clock stands still: the device mixes here at the page's clock
// then, unheard, so that the sounds started meanwhile run on and none is
// heard late. From the touch until the browser lets the sound play, the
// mixer waits, so that the sounds the touch starts are heard whole; the
// sound thread, or the feeds, take the voices on from there.
#include "platform/web/web_sound.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <emscripten.h>

#include "game/game.h"

// The page's sound: an AudioContext at `rate` where the browser allows it,
// at its own rate otherwise, working in as small steps as the browser offers
// up to 5 ms. The page resumes it at the player's first touch (page.js).
// Where it runs at `rate` and has a sound thread, the mixer's module and
// the thread's script are loaded beside the page, and Module.soundMixer is
// the mixer's node once they are (null where they cannot be: the device
// then feeds buffers).
EM_JS(void, soundOpen, (int rate), {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
        return;
    }
    try {
        Module.sound = new Context({sampleRate : rate, latencyHint : 0.005});
    } catch (notAtThatRate) {
        Module.sound = new Context();
    }
    var sound = Module.sound;
    if (!sound.audioWorklet || sound.sampleRate != rate || typeof fetch != 'function') {
        Module.soundMixer = null;
        return;
    }
    // What is handed to the sound thread goes as one message when the page
    // next yields to the browser: the thread may play a step between two
    // messages, and the sounds a frame starts together start together.
    var handed = [], moved = [];
    Module.soundHand = function(what, bytes) {
        if (!handed.length) {
            Promise.resolve().then(function() {
                if (Module.soundMixer) {
                    Module.soundMixer.port.postMessage(handed, moved);
                }
                handed = [];
                moved = [];
            });
        }
        handed.push(what);
        if (bytes) {
            moved.push(bytes);
        }
    };
    // Loading.
    Module.soundMixer = undefined;
    var mixerModule = fetch('snowpunt_mixer.wasm').then(function(response) {
        if (!response.ok) {
            throw new Error(response.status);
        }
        return response.arrayBuffer();
    });
    Promise.all([ mixerModule, sound.audioWorklet.addModule('sound_worklet.js') ])
        .then(function(loaded) {
            var node = new AudioWorkletNode(sound, 'snowpunt-mixer', {
                numberOfInputs : 0,
                outputChannelCount : [1],
                processorOptions : {module : loaded[0]}
            });
            node.onprocessorerror = function() {
                node.disconnect();
                Module.soundMixer = null;
            };
            node.connect(sound.destination);
            Module.soundMixer = node;
        })
        .catch(function() { Module.soundMixer = null; });
});
// How the page's sound plays now: MIXER on the sound thread, BUFFERS fed
// from here, HELD back (or the sound thread still loading), or NONE at all.
enum SoundMode { NONE = -1, HELD = 0, BUFFERS = 1, MIXER = 2 };
EM_JS(int, soundMode, (), {
    var sound = Module.sound;
    if (!sound) {
        return -1;
    }
    if (sound.state != 'running' || typeof Module.soundMixer == 'undefined') {
        return 0;
    }
    return Module.soundMixer ? 2 : 1;
});
// Hands the sound thread voice `voice`'s samples, copied.
EM_JS(void, mixerSound, (int voice, const uint8_t* data, uint32_t length), {
    if (Module.soundMixer) {
        var copy = HEAPU8.slice(data, data + length);
        Module.soundHand([ 'sound', voice, copy ], copy.buffer);
    }
});
// Hands the sound thread voice `voice`: `remaining` bytes from byte `at`, if
// it plays.
EM_JS(void, mixerVoice, (int voice, uint32_t at, uint32_t remaining, int playing), {
    if (Module.soundMixer)
        Module.soundHand([ 'voice', voice, at, remaining, playing ]);
});
// When the player's touch last asked the browser to let the sound play, on
// the page's clock (page.js); -1 before.
EM_JS(double, soundWoken, (), { return Module.soundWoken || -1; });
// The browser's clock for its sound, in samples at `rate`.
EM_JS(double, soundClock, (int rate), { return Module.sound.currentTime * rate; });
// Plays `count` signed 16-bit samples from `samples` at sample `at` of the
// browser's clock.
EM_JS(void, soundPlay, (const int16_t* samples, int count, double at, int rate), {
    var sound = Module.sound;
    var buffer = sound.createBuffer(1, count, rate);
    var data = buffer.getChannelData(0);
    var from = samples >> 1;
    for (var i = 0; i < count; i++) {
        data[i] = HEAP16[from + i] / 32768;
    }
    var source = sound.createBufferSource();
    source.buffer = buffer;
    source.connect(sound.destination);
    source.start(at / rate);
});
EM_JS(void, soundClose, (), {
    if (Module.sound) {
        Module.sound.close();
        Module.sound = null;
    }
});

namespace {

SDL_AudioSpec device;
bool opened = false;
bool paused = true;

// The samples of one feed: at most the device's buffer at a time.
int16_t samples[4096];

// The mixer's next `count` samples, from silence.
const int16_t* mix(int count) {
    const int bytes = count * 2;
    memset(samples, 0, static_cast<size_t>(bytes));
    device.callback(device.userdata, reinterpret_cast<uint8_t*>(samples), bytes);
    return samples;
}

// The most one call of the mixer mixes: the device's buffer (4096 samples
// where it names none, or more).
int chunk() {
    return device.samples > 0 && device.samples < 4096 ? device.samples : 4096;
}

// ---------------------------------------------------------------------------
// Held back

// While sound is held back: the page's time (ms) from which it is, less the
// moments it waited for the browser, the samples mixed unheard since, and
// when they were last mixed.
double heldSince = -1;
double heldMixed = 0;
double heldLast = -1;
// How long the mixer waits for the browser to let the sound play once the
// player's touch has asked it to (ms): some tens of milliseconds, in WebKit
// up to a few hundred.
constexpr double WAKE_MS = 500;

// Sound held back: mixed unheard at the page's clock, but for the moments
// from a touch of the player's asking the browser to let it play until it
// does (at most WAKE_MS): the sounds that touch starts are then heard whole.
void feedUnheard(double now) {
    if (heldSince < 0) {
        heldSince = now;
        heldMixed = 0;
    } else if (const double woken = soundWoken(); woken >= 0 && now - woken < WAKE_MS) {
        heldSince += now - heldLast;
    }
    heldLast = now;
    for (double owed = std::floor((now - heldSince) * device.freq / 1000) - heldMixed; owed > 0;) {
        const int count = owed < chunk() ? static_cast<int>(owed) : chunk();
        mix(count);
        heldMixed += count;
        owed -= count;
    }
}

// ---------------------------------------------------------------------------
// The sound thread

// Whether the sound thread plays the voices; what each voice's samples were
// when last handed to it.
bool handedOver = false;
const uint8_t* handedData[SOUND_COUNT] = {};
uint32_t handedLength[SOUND_COUNT] = {};

// Hands the sound thread each voice the game has started since (every voice,
// stopped or not, where `all`), with its samples the first time. A voice
// handed over is here marked as stopped: the game's next start of it shows,
// and nothing here mixes it again.
void handOver(bool all) {
    SoundEntry* voices = device.userdata ? static_cast<GameRecord*>(device.userdata)->snd : nullptr;
    if (voices == nullptr) {
        return;
    }
    for (int i = 0; i < SOUND_COUNT; i++) {
        SoundEntry* voice = &voices[i];
        const bool plays = voice->playing == 1 && voice->data != nullptr;
        if (!plays && !all) {
            continue;
        }
        if (plays && (handedData[i] != voice->data || handedLength[i] != voice->length)) {
            mixerSound(i, voice->data, voice->length);
            handedData[i] = voice->data;
            handedLength[i] = voice->length;
        }
        const uint32_t at = plays ? static_cast<uint32_t>(voice->playPos - voice->data) : 0;
        mixerVoice(i, at, plays ? voice->remaining : 0, plays ? 1 : 0);
        voice->playing = 0;
    }
}

// The sound thread stops every voice: the page plays on without it.
void takeBack() {
    if (handedOver) {
        for (int i = 0; i < SOUND_COUNT; i++) {
            mixerVoice(i, 0, 0, 0);
        }
        handedOver = false;
    }
}

// ---------------------------------------------------------------------------
// Buffers the page feeds

// How far past the browser's clock each feed fills the queue: one step of
// the browser's own sound work (it plays what is queued a step at a time, and
// its clock moves by whole steps), the longest the feeds have lately been
// apart, a little to spare, and what the queue has lately been found short
// by.
constexpr double SPARE_MS = 6;
// The browser's step, in samples: the largest of the last MOVES moves of its
// clock seen between feeds (some seconds of them). A move is a step, or a
// few where the feeds come further apart than steps, or where the browser
// catches up on steps it was held from working.
constexpr int MOVES = 1024;
double moves[MOVES] = {};
int moveCount = 0;
double lastClock = -1;
// The times between the last GAPS feeds (ms).
constexpr int GAPS = 1024;
double gaps[GAPS] = {};
int gapCount = 0;
double lastFeed = -1;
// A pause longer than this between feeds (a tab in the background) is not
// the feeds falling behind: it is not counted, and the queue starts anew.
constexpr double PAUSE_MS = 100;
// Added each time the queue ran dry while it was being fed (the feeds came
// later than they had lately been): SHORT_MS more each time, up to
// SHORT_MAX_MS, given back a little at each feed while the queue keeps up.
constexpr double SHORT_MS = 5;
constexpr double SHORT_MAX_MS = 120;
constexpr double SHORT_BACK_MS = 0.05;
double shortBy = 0;
// What the browser's step and the feeds' gaps are taken to be until seen
// (ms): two frames for the step, since the first feed starts the queue a
// step ahead of the browser's clock and Firefox's steps are up to 23 ms, and
// larger as its sound starts; a frame for the gaps.
constexpr double FIRST_STEP_MS = 32;
constexpr double FIRST_GAP_MS = 16;
// A feed that would add fewer samples than this waits for the next (ms).
constexpr double LEAST_MS = 2;

// The sample of the browser's clock at which the next buffer starts; -1
// while nothing is queued.
double queuedTo = -1;

// The browser's step (samples).
double step() {
    return *std::max_element(moves, moves + (moveCount < MOVES ? moveCount : MOVES));
}

// How far ahead of the clock the queue is to reach now (samples), from the
// clock's moves and the feeds' gaps seen so far.
double lead(double clock, double now, bool fed) {
    if (lastClock >= 0 && clock > lastClock) {
        moves[moveCount++ % MOVES] = clock - lastClock;
    }
    lastClock = clock;
    if (fed) {
        gaps[gapCount++ % GAPS] = now - lastFeed;
    }
    const double gap = *std::max_element(gaps, gaps + (gapCount < GAPS ? gapCount : GAPS));
    return step() + (gap + SPARE_MS + shortBy) * device.freq / 1000;
}

// Mixes and queues what the device plays up to the lead past the browser's
// clock.
void feedBuffers(double now) {
    const double clock = soundClock(device.freq);
    const bool fed = lastFeed >= 0 && now - lastFeed < PAUSE_MS;
    const double ahead = lead(clock, now, fed);
    lastFeed = now;
    if (queuedTo < clock) {
        // Dry: it starts again a step and a little ahead. Where it ran dry
        // while being fed, the lead grows.
        if (queuedTo >= 0 && fed) {
            shortBy = std::min(shortBy + SHORT_MS, SHORT_MAX_MS);
        }
        queuedTo = std::ceil(clock + std::max(step(), SPARE_MS * device.freq / 1000));
    } else {
        shortBy = std::max(0.0, shortBy - SHORT_BACK_MS);
    }
    const double to = std::floor(clock + ahead);
    if (to - queuedTo < LEAST_MS * device.freq / 1000) {
        return;
    }
    while (queuedTo < to) {
        const int count = to - queuedTo < chunk() ? static_cast<int>(to - queuedTo) : chunk();
        soundPlay(mix(count), count, queuedTo, device.freq);
        queuedTo += count;
    }
}

} // namespace

bool WebSound_feed(double now) {
    if (!opened || paused) {
        return false;
    }
    const int mode = soundMode();
    if (mode != HELD) {
        heldSince = -1;
    }
    if (mode == MIXER) {
        // The voices go on there from where the mixer here has them.
        if (!handedOver) {
            handOver(true);
            handedOver = true;
        }
        return false;
    }
    // Held back again (or the sound thread lost): the voices it had are
    // let go, and the mixer here goes on with those started since.
    takeBack();
    if (mode == HELD) {
        // Any queue starts anew once the sound plays.
        queuedTo = lastClock = -1;
        feedUnheard(now);
    }
    if (mode != BUFFERS) {
        return false;
    }
    feedBuffers(now);
    return true;
}

extern "C" {

// The device as asked for (signed 16-bit mono, as the game asks), played at
// the browser's own rate where it cannot take the one asked; each call of the
// callback mixes at most the device's buffer.
int SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained) {
    if (opened) {
        SDL_SetError("Audio device is already opened");
        return -1;
    }
    if (desired->format != AUDIO_S16LSB || desired->channels != 1 || desired->freq <= 0 ||
        desired->callback == nullptr) {
        SDL_SetError("Only 16-bit mono sound is played in a page");
        return -1;
    }
    soundOpen(desired->freq);
    if (soundMode() == NONE) {
        SDL_SetError("This browser plays no sound");
        return -1;
    }
    device = *desired;
    device.silence = 0;
    device.size = static_cast<Uint32>(device.samples) * 2;
    opened = true;
    handedOver = false;
    std::fill(handedData, handedData + SOUND_COUNT, nullptr);
    // Until the browser's steps and the feeds' gaps have been seen, they are
    // guessed: the browser's sound is often busiest as it starts.
    moves[0] = FIRST_STEP_MS * device.freq / 1000;
    gaps[0] = FIRST_GAP_MS;
    moveCount = gapCount = 1;
    paused = true;
    queuedTo = heldSince = lastClock = lastFeed = -1;
    if (obtained != nullptr) {
        *obtained = device;
    }
    return 0;
}

void SDL_PauseAudio(int pause_on) {
    paused = pause_on != 0;
    takeBack();
    queuedTo = heldSince = lastClock = lastFeed = -1;
}

// The game changes its voices only under the lock: a voice it started is
// handed to the sound thread as the lock is let go.
void SDL_LockAudio() {}

void SDL_UnlockAudio() {
    if (opened && handedOver) {
        handOver(false);
    }
}

void SDL_CloseAudio() {
    if (opened) {
        handedOver = false;
        soundClose();
        opened = false;
    }
}
}
