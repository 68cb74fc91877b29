// The cost of one whole frame of play: the sprite step, the collision tests,
// the game rules and the drawing of the play screen into a 640 x 480 32-bit
// display, with the real assets; and the cost of showing that frame scaled
// on larger displays. Each benchmark times frame by frame and reports the
// median and the worst frame in microseconds.
//
// The game writes a diagnostic line in every frame of a flight; standard
// output is sent to /dev/null so that those lines cost what they cost in the
// game without flooding the report, which goes to standard error.
#include <benchmark/benchmark.h>

#include <SDL/SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <vector>

#include "game/draw.h"
#include "platform/display.h"
#include "platform/images.h"

namespace {

using Clock = std::chrono::steady_clock;

// Frames of the scripted throw: the first press comes this many frames after
// the game is ready, the second this many after the first (the strike then
// falls on the 48th frame of the fall: the bird bounces, slides and scrolls
// the view to about 3100 px left of the start).
constexpr int FIRST_PRESS_DELAY = 5;
constexpr int SECOND_PRESS_DELAY = 42;

// Everything one frame changes, to go back to a chosen moment of a throw.
struct Snapshot {
    GameRecord game;
    Sprite sprites[SPRITE_COUNT];
    Animation animations[ANIMATION_COUNT];
    Interpolation interpolations[INTERPOLATION_COUNT];
    Collision collisions[COLLISION_COUNT];
    CollisionArea areas[COLLISION_COUNT];
};

void save(Snapshot* s) {
    s->game = theGame;
    std::copy(spr, spr + SPRITE_COUNT, s->sprites);
    std::copy(ani, ani + ANIMATION_COUNT, s->animations);
    std::copy(intpl, intpl + INTERPOLATION_COUNT, s->interpolations);
    std::copy(coll, coll + COLLISION_COUNT, s->collisions);
    std::copy(ca, ca + COLLISION_COUNT, s->areas);
}

void restore(const Snapshot* s) {
    theGame = s->game;
    std::copy(s->sprites, s->sprites + SPRITE_COUNT, spr);
    std::copy(s->animations, s->animations + ANIMATION_COUNT, ani);
    std::copy(s->interpolations, s->interpolations + INTERPOLATION_COUNT, intpl);
    std::copy(s->collisions, s->collisions + COLLISION_COUNT, coll);
    std::copy(s->areas, s->areas + COLLISION_COUNT, ca);
}

int fixedRand() {
    return 127;
} // a speed factor of exactly 1

// Thread CPU time in microseconds: the frame's own work, without the time
// the machine gave to other processes meanwhile.
double cpuMicros() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

// Times of the frames played, wall clock and thread CPU, in microseconds.
struct Times {
    std::vector<double> wall;
    std::vector<double> cpu;
    void reserve(size_t n) {
        wall.reserve(n);
        cpu.reserve(n);
    }
};

// One frame of the main loop's work, without events and pacing; its wall
// time in microseconds. The times are added to `times` when given.
double frame(bool press, Times* times = nullptr) {
    actionInput = press ? 1 : 0;
    const double c0 = cpuMicros();
    const Clock::time_point t0 = Clock::now();
    Game_step(&theGame);
    Game_draw(&theGame);
    const Clock::time_point t1 = Clock::now();
    const double c1 = cpuMicros();
    actionInput = 0;
    const double wall = std::chrono::duration<double, std::micro>(t1 - t0).count();
    if (times != nullptr) {
        times->wall.push_back(wall);
        times->cpu.push_back(c1 - c0);
    }
    return wall;
}

// Plays without a press until the game is in `state` (at most `limit` frames).
void playUntil(uint32_t state, int limit, Times* times) {
    for (int i = 0; i < limit && theGame.state != state; ++i) {
        frame(false, times);
    }
}

void playFrames(int n, bool pressFirst, Times* times) {
    for (int i = 0; i < n; ++i) {
        frame(pressFirst && i == 0, times);
    }
}

// A whole throw from the start screen to the start of the next one.
void playThrow(Times* times) {
    Game_setState(&theGame, STATE_WAIT);
    playUntil(STATE_READY, 300, times);
    playFrames(FIRST_PRESS_DELAY, false, times);
    playFrames(SECOND_PRESS_DELAY, true, times);
    playFrames(1, true, times);
    playUntil(STATE_RESULT, 2000, times);
    for (int i = 0; i < 300 && theGame.intpl[INT_SIGN_GRAVITY].running; ++i) {
        playFrames(1, false, times);
    }
    playFrames(20, false, times);
    playFrames(1, true, times); // back to the start
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

void report(benchmark::State& state, const Times& times) {
    if (times.wall.empty()) {
        return;
    }
    state.counters["median_us"] = median(times.wall);
    state.counters["worst_us"] = *std::max_element(times.wall.begin(), times.wall.end());
    state.counters["median_cpu_us"] = median(times.cpu);
    state.counters["worst_cpu_us"] = *std::max_element(times.cpu.begin(), times.cpu.end());
    state.counters["frames"] = static_cast<double>(times.wall.size());
}

// Moments of the scripted throw, taken once.
Snapshot flightScrolling;
Snapshot resultTenMarks;
bool momentsTaken = false;

void takeMoments() {
    if (momentsTaken) {
        return;
    }
    // A first throw draws every strip once (run-length encoding is done at a
    // strip's first blit) before anything is timed.
    playThrow(nullptr);

    Game_setState(&theGame, STATE_WAIT);
    playUntil(STATE_READY, 300, nullptr);
    playFrames(FIRST_PRESS_DELAY, false, nullptr);
    playFrames(SECOND_PRESS_DELAY, true, nullptr);
    playFrames(1, true, nullptr);
    // In flight, once the view has started to follow the bird.
    while (theGame.state == STATE_FLIGHT && spr[SPR_BIRD].x.value > 0x009D89B9) {
        playFrames(1, false, nullptr);
    }
    save(&flightScrolling);

    playUntil(STATE_RESULT, 2000, nullptr);
    for (int i = 0; i < 300 && theGame.intpl[INT_SIGN_GRAVITY].running; ++i) {
        playFrames(1, false, nullptr);
    }
    // Ten marks, all in view and all stretched, each drawn through the
    // rotation routine: the heaviest picture the result can show.
    const fixed birdX = spr[SPR_BIRD].x.value;
    theGame.scratchCount = SCRATCH_MAX;
    for (int i = 0; i < SCRATCH_MAX; ++i) {
        ScratchMark& m = theGame.scratch[i];
        m.startX = birdX + (40 * i + 60) * 65536;
        m.endX = birdX + (40 * i) * 65536;
        m.active = 0;
        m.scaleX = (60 + 72) * 65536 / 72;
    }
    save(&resultTenMarks);
    momentsTaken = true;
}

void BM_FrameWholeThrow(benchmark::State& state) {
    takeMoments();
    Times times;
    times.reserve(1 << 15);
    for (auto _ : state) {
        const size_t before = times.wall.size();
        playThrow(&times);
        double sum = 0;
        for (size_t i = before; i < times.wall.size(); ++i) {
            sum += times.wall[i];
        }
        state.SetIterationTime(sum / 1e6);
    }
    report(state, times);
}

void BM_FrameStartScreen(benchmark::State& state) {
    takeMoments();
    Game_setState(&theGame, STATE_WAIT);
    Times times;
    times.reserve(1 << 16);
    for (auto _ : state) {
        // The waiting bird's animation ends after 70 frames; the screen then
        // holds still until a press. Both are the start screen.
        if (theGame.state != STATE_WAIT && theGame.state != STATE_READY) {
            Game_setState(&theGame, STATE_WAIT);
        }
        state.SetIterationTime(frame(false, &times) / 1e6);
    }
    report(state, times);
}

void BM_FrameFlightScrolling(benchmark::State& state) {
    takeMoments();
    restore(&flightScrolling);
    Times times;
    times.reserve(1 << 16);
    for (auto _ : state) {
        if (theGame.state != STATE_FLIGHT) {
            restore(&flightScrolling);
        }
        state.SetIterationTime(frame(false, &times) / 1e6);
    }
    report(state, times);
}

void BM_FrameResultTenMarks(benchmark::State& state) {
    takeMoments();
    restore(&resultTenMarks);
    Times times;
    times.reserve(1 << 16);
    for (auto _ : state) {
        state.SetIterationTime(frame(false, &times) / 1e6);
    }
    report(state, times);
}

// Showing one frame on a display of another size: the frame scaled into its
// place and the bars painted. The dummy display is plain memory, so the copy
// to the window system, which a real display adds, is not counted.
void BM_Present(benchmark::State& state) {
    // A resized window at twice the size; fullscreen on two desktops.
    const DisplaySize sizes[] = {{1280, 960}, {1920, 1080}, {3840, 2160}};
    const DisplaySize size = sizes[state.range(0)];
    takeMoments();
    restore(&flightScrolling);
    if (state.range(0) == 0) {
        Display_resize(size.w, size.h);
    } else {
        Display_desktop = size;
        Display_toggleFullscreen();
    }
    frame(false);
    Times times;
    times.reserve(1 << 16);
    for (auto _ : state) {
        const double c0 = cpuMicros();
        const Clock::time_point t0 = Clock::now();
        Display_flip();
        const double wall = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
        times.cpu.push_back(cpuMicros() - c0);
        times.wall.push_back(wall);
        state.SetIterationTime(wall / 1e6);
    }
    if (Display_isFullscreen()) {
        Display_toggleFullscreen();
    }
    Display_resize(640, 480);
    report(state, times);
}

BENCHMARK(BM_FrameWholeThrow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FrameStartScreen)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameFlightScrolling)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameResultTenMarks)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Present)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMicrosecond);

bool startUp() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::cerr << "SDL_Init: " << SDL_GetError() << "\n";
        return false;
    }
    // The strips are converted against the display's format: ask for 32 bits.
    Display_setVideoMode = [](int w, int h, int, uint32_t flags) {
        return SDL_SetVideoMode(w, h, 32, flags);
    };
    if (!Display_open()) {
        std::cerr << "SDL_SetVideoMode: " << SDL_GetError() << "\n";
        return false;
    }
    // Everything loaded as start-up loads it, against the 32-bit display.
    load_scene();
    Game_rand = fixedRand;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    if (freopen("/dev/null", "w", stdout) == nullptr || !startUp()) {
        return 1;
    }
    benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
