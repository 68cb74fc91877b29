// The sound device in a web page, under SDL 1.2's names, in place of the
// browser's SDL's own: that one asks for a buffer of the device's samples
// from a timer and queues several ahead, so that a sound started in a frame
// is heard a quarter of a second after it. Here the page feeds the device
// itself, a few times a frame (WebSound_feed), with just enough to reach a
// little past the next feed: the samples mixed in a frame are heard a few
// tens of milliseconds after it.
//
// - The device plays at the rate asked for where the browser can run its
//   sound at that rate (the samples then reach the output as they are
//   mixed); elsewhere the browser resamples them.
// - Every mixed sample is played once, in order, each buffer starting at
//   the sample where the one before it ends. Where the feeds stop (a tab in
//   the background), the queue runs dry and the next feed starts it again a
//   little ahead of the browser's clock: the sounds go on from where the
//   mixer is, with nothing owed and nothing stale.
// - Before the player's first key, click or tap the browser holds sound
//   back and its clock stands still: the device mixes at the page's clock
//   then, unheard, so that the sounds started meanwhile run on and none is
//   heard late.
#include "platform/web/web_sound.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <emscripten.h>

// The page's sound: an AudioContext at `rate` where the browser allows it,
// at its own rate otherwise, working in as small steps as the browser offers
// up to 5 ms (its sound then plays that much sooner, and the queue can be
// that much shorter). The page resumes it at the player's first
// touch (page.js).
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
});
// Whether the page's sound plays: 1 running, 0 held back, -1 none at all.
EM_JS(int, soundRunning, (),
      { return Module.sound ? (Module.sound.state == 'running' ? 1 : 0) : -1; });
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
// (ms).
constexpr double FIRST_GUESS_MS = 16;
// A feed that would add fewer samples than this waits for the next (ms).
constexpr double LEAST_MS = 2;

SDL_AudioSpec device;
bool opened = false;
bool paused = true;
// The sample of the browser's clock at which the next buffer starts; -1
// while nothing is queued.
double queuedTo = -1;
// While sound is held back: the page's time (ms) from which it is, and the
// samples mixed unheard since.
double heldSince = -1;
double heldMixed = 0;
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

// Sound held back: mixed unheard at the page's clock.
void feedUnheard(double now) {
    queuedTo = lastClock = -1;
    if (heldSince < 0) {
        heldSince = now;
        heldMixed = 0;
    }
    for (double owed = std::floor((now - heldSince) * device.freq / 1000) - heldMixed; owed > 0;) {
        const int count = owed < chunk() ? static_cast<int>(owed) : chunk();
        mix(count);
        heldMixed += count;
        owed -= count;
    }
}

} // namespace

void WebSound_feed(double now) {
    if (!opened || paused) {
        return;
    }
    const int running = soundRunning();
    if (running <= 0) {
        if (running == 0) {
            feedUnheard(now);
        }
        return;
    }
    heldSince = -1;
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
    if (soundRunning() < 0) {
        SDL_SetError("This browser plays no sound");
        return -1;
    }
    device = *desired;
    device.silence = 0;
    device.size = static_cast<Uint32>(device.samples) * 2;
    opened = true;
    // Until the browser's steps and the feeds' gaps have been seen, each is
    // taken as a frame: the browser's sound is often busiest as it starts.
    moves[0] = FIRST_GUESS_MS * device.freq / 1000;
    gaps[0] = FIRST_GUESS_MS;
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
    queuedTo = heldSince = lastClock = lastFeed = -1;
}

void SDL_CloseAudio() {
    if (opened) {
        soundClose();
        opened = false;
    }
}
}
