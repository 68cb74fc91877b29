// soak_game [--frames N] [--seeds K] [--first-seed S]: random games through the real frame
// (SDL's queue, the loop's handler, Game_step, Game_draw), checked after every frame.
#include <SDL/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <string_view>
#include <utility>

#include "game/draw.h"
#include "platform/images.h"
#include "platform/main_loop.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#define HEAP_IN_USE __sanitizer_get_current_allocated_bytes()
#else
#define HEAP_IN_USE mallinfo2().uordblks
#endif

namespace {

constexpr fixed LAUNCH_MAX = 0x001EA000 * 17 / 16; // the fastest strike, 30.625 px times 1.0625
// Air drag (k = 14 / 65536) over at most 540 frames keeps a flight under
// ln(1 + k v0 T) / k = 7298 px, and the slide adds under 297 px.
constexpr fixed FARTHEST_X = -7200 * 65536;
// Apex of the steepest strike: 162.8 + 30.6^2 / (2 * 0.256) + 30.6 / 2 = 2004 px.
constexpr fixed APEX_MAX = 2100 * 65536;
constexpr fixed SIGN_SPEED_MAX = 16 * 65536; // a drop of 446 px under 0.248 px per frame^2
constexpr fixed STUCK_Y = 0x003EFFFF;        // 62.99998: a bird head-first in the snow
// A throw: 70 frames of waiting, the dive, swing, 540 in the air, 153 sliding; rounded up.
constexpr int BUSY_FRAMES_MAX = 1500;
constexpr int SIGN_FALL_MAX = 200; // the sign lands after about 60 frames
// Once whole throws have been drawn, play may keep no more than a rarer picture's blit cache.
constexpr uint64_t WARM_UP_FRAMES = 20000;
constexpr long HEAP_SLACK = 4096;

using ull = unsigned long long;
ull seed, frame;

// Ends the run, naming the seed and frame to replay, unless ok.
#define REQUIRE(ok, ...)                                                                           \
    do {                                                                                           \
        if (!(ok)) {                                                                               \
            fprintf(stderr, "soak: seed %llu, frame %llu: ", seed, frame);                         \
            fprintf(stderr, __VA_ARGS__);                                                          \
            fprintf(stderr, "\nsoak: replay: --first-seed %llu --seeds 1 --frames %llu\n", seed,   \
                    frame + 1);                                                                    \
            exit(1);                                                                               \
        }                                                                                          \
    } while (0)

SDL_Event input(uint8_t type, int which) {
    SDL_Event e{};
    const uint8_t state = type == SDL_KEYDOWN || type == SDL_MOUSEBUTTONDOWN; // SDL_PRESSED is 1
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
        e.key = {type, 0, state, {0, static_cast<SDLKey>(which), KMOD_NONE, 0}};
    } else {
        e.button = {type, 0, static_cast<uint8_t>(which), state, 320, 240};
    }
    return e;
}

// The player's pace changes by stretches, and aiming ones time a second press 28 to 52 frames
// into the dive (half hit the strike window). Other input is noise to be ignored.
struct Player {
    uint64_t s = seed;
    uint64_t next() { // splitmix64
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    void push(SDL_Event e) { REQUIRE(SDL_PushEvent(&e) == 0, "SDL's queue refused an event"); }
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
    bool oneIn(uint32_t n) { return below(n) == 0; }

    std::pair<ull, SDL_Event> due[64]; // a fixed ring: nothing is allocated during play
    uint32_t dueCount = 0, actionOneIn = 25, returnOneIn = 3000, lastState = STATE_WAIT, aiming = 0;
    ull stretchEnd = 0;

    void later(ull f, uint8_t type, int which) {
        if (dueCount < 64) {
            due[dueCount++] = {f, input(type, which)};
        }
    }
    void tap(uint8_t down, int which, uint32_t hold) { // released 0 to hold - 1 frames on
        push(input(down, which));
        later(frame + below(hold), down + 1, which);
    }

    void queue(uint32_t state) {
        if (frame >= stretchEnd) {
            static const uint32_t actionRates[] = {4, 8, 15, 25, 25, 35, 50, 90};
            static const uint32_t returnRates[] = {200, 1500, 4000, 20000, 20000};
            actionOneIn = actionRates[below(8)];
            returnOneIn = returnRates[below(5)];
            aiming = oneIn(2);
            stretchEnd = frame + 500 + below(6000);
        }
        if (aiming && state == STATE_DROP && lastState != STATE_DROP) {
            ull release = frame - 1 + 28 + below(25);
            later(release - below(8), SDL_KEYDOWN, SDLK_SPACE);
            later(release, SDL_KEYUP, SDLK_SPACE);
        }
        lastState = state;
        if (oneIn(actionOneIn)) { // Space or the left button, held 0 to 11 frames
            const ull release = frame + below(12);
            const bool key = oneIn(2);
            push(
                input(key ? SDL_KEYDOWN : SDL_MOUSEBUTTONDOWN, key ? SDLK_SPACE : SDL_BUTTON_LEFT));
            later(release, key ? SDL_KEYUP : SDL_MOUSEBUTTONUP, key ? SDLK_SPACE : SDL_BUTTON_LEFT);
        }
        if (oneIn(40)) {
            tap(SDL_MOUSEBUTTONDOWN, oneIn(2) ? SDL_BUTTON_RIGHT : SDL_BUTTON_MIDDLE, 10);
        }
        if (oneIn(30)) { // a wheel notch: pressed and released at once
            const int wheel = oneIn(2) ? SDL_BUTTON_WHEELUP : SDL_BUTTON_WHEELDOWN;
            push(input(SDL_MOUSEBUTTONDOWN, wheel));
            push(input(SDL_MOUSEBUTTONUP, wheel));
        }
        if (oneIn(35)) {
            static const SDLKey others[] = {SDLK_a,        SDLK_z,         SDLK_LEFT,  SDLK_UP,
                                            SDLK_F1,       SDLK_TAB,       SDLK_0,     SDLK_LSHIFT,
                                            SDLK_KP_ENTER, SDLK_BACKSPACE, SDLK_PAUSE, SDLK_DELETE};
            tap(SDL_KEYDOWN, others[below(12)], 10);
        }
        if (oneIn(6)) {
            SDL_Event e = input(SDL_MOUSEMOTION, 0);
            e.motion.x = static_cast<uint16_t>(below(640));
            e.motion.y = static_cast<uint16_t>(below(480));
            push(e);
        }
        if (oneIn(returnOneIn)) {
            tap(SDL_KEYDOWN, SDLK_RETURN, 4);
        }
        if (oneIn(50000)) {
            tap(SDL_KEYDOWN, SDLK_ESCAPE, 3);
        }
        // Due events follow the new presses, in order: a timed press precedes its release.
        uint32_t kept = 0;
        for (uint32_t i = 0; i < dueCount; i++) {
            if (due[i].first <= frame) {
                push(due[i].second);
            } else {
                due[kept++] = due[i];
            }
        }
        dueCount = kept;
    }
};

// A bit for each state a step may reach, without and with a press.
constexpr uint8_t STEPS[6] = {0x03, 0x02, 0x24, 0x38, 0x30, 0x20};
constexpr uint8_t PRESSED_STEPS[6] = {0x03, 0x06, 0x2C, 0x38, 0x30, 0x21};

enum { STRIKES, MISSES, RESTS, STUCK, BOUNCES, RETURNS, KINDS };
ull tally[KINDS], played;
long heapWarm = -1;
GameRecord pristineRecord;

void playGame(ull frames) {
    Player player;
    srand(static_cast<unsigned>(seed));
    Game_rand = std::rand;
    GameRecord* game = &(theGame = pristineRecord);
    Game_init();
    Game_setState(game, STATE_WAIT);
    int busy = 0, signFall = 0;
    for (frame = 0; frame < frames; frame++) {
        actionInput = 0;
        player.queue(game->state);
        uint8_t pressed = 0;
        bool returned = false, escaped = false;
        while (!escaped && SDL_PollEvent(&event)) {
            const SDL_Event& e = event;
            const SDLKey key = e.type == SDL_KEYUP ? e.key.keysym.sym : SDLK_UNKNOWN;
            escaped = key == SDLK_ESCAPE;
            const uint8_t end = Game_handleEvent(game, &event);
            REQUIRE(end == escaped, "the handler answered %u to event type %u", end, e.type);
            pressed |= key == SDLK_SPACE ||
                       (e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT);
            returned |= key == SDLK_RETURN;
            tally[RETURNS] += key == SDLK_RETURN;
            REQUIRE(key != SDLK_RETURN || game->state == STATE_WAIT, "Return left state %u",
                    game->state);
        }
        while (escaped && SDL_PollEvent(&event)) { // the loop would end here
        }
        REQUIRE(actionInput == pressed, "actionInput %u after %u releases", actionInput, pressed);
        if (escaped) {
            continue;
        }

        const uint32_t before = game->state;
        const fixed vyBefore = game->spr[SPR_BIRD].y.speed, bestBefore = game->bestDistance;
        Game_step(game);
        const uint32_t after = game->state;
        const Sprite& bird = game->spr[SPR_BIRD];
        REQUIRE(before < 6 && after < 6 && ((pressed ? PRESSED_STEPS : STEPS)[before] >> after & 1),
                "state %u went to %u (press %u)", before, after, pressed);
        tally[STRIKES] += after == STATE_FLIGHT && before != after;
        tally[BOUNCES] +=
            after == STATE_FLIGHT && game->coll[COL_BIRD].hit && vyBefore <= 0 && bird.y.speed > 0;
        if (after == STATE_RESULT && before != after) {
            tally[before != STATE_FLIGHT ? MISSES : game->stuck ? STUCK : RESTS]++;
            // 0.0847931 distance units per pixel left of the start.
            const double want = (BIRD_START_X - bird.x.value) / 65536.0 * 0.0847931;
            REQUIRE(std::fabs(game->lastDistance / 65536.0 - want) <= 4e-5 + 2e-6 * want,
                    "distance %f for a bird at x %f", game->lastDistance / 65536.0,
                    bird.x.value / 65536.0);
        }
        Game_draw(game);
        auto in = [](fixed v, fixed lo, fixed hi) { return lo <= v && v <= hi; };
        REQUIRE(in(bird.x.value, FARTHEST_X, BIRD_START_X) &&
                    in(bird.y.value, BIRD_LYING_Y, APEX_MAX) && in(bird.x.speed, -LAUNCH_MAX, 0) &&
                    in(bird.y.speed, -LAUNCH_MAX - 65536, LAUNCH_MAX) &&
                    (!game->stuck || bird.y.value == STUCK_Y),
                "bird at (%f, %f) moving (%f, %f), stuck %u", bird.x.value / 65536.0,
                bird.y.value / 65536.0, bird.x.speed / 65536.0, bird.y.speed / 65536.0,
                game->stuck);
        REQUIRE(in(game->spr[SPR_SIGN].y.speed, -SIGN_SPEED_MAX, SIGN_SPEED_MAX) &&
                    in(game->lastDistance, 0, game->bestDistance) &&
                    game->bestDistance >= bestBefore && game->scratchCount <= SCRATCH_MAX,
                "sign moving %f, distance %f, best %f (was %f), %u scratch marks",
                game->spr[SPR_SIGN].y.speed / 65536.0, game->lastDistance / 65536.0,
                game->bestDistance / 65536.0, bestBefore / 65536.0, game->scratchCount);
        busy = returned || after == STATE_READY || after == STATE_RESULT ? 0 : busy + 1;
        REQUIRE(busy <= BUSY_FRAMES_MAX, "%d frames in states 0, 2, 3, 4 (now %u)", busy, after);
        signFall =
            after == STATE_RESULT && game->intpl[INT_SIGN_GRAVITY].running ? signFall + 1 : 0;
        REQUIRE(signFall <= SIGN_FALL_MAX, "the sign has fallen for %d frames", signFall);
        heapWarm = ++played == WARM_UP_FRAMES ? static_cast<long>(HEAP_IN_USE) : heapWarm;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    ull value[3] = {100000, 10, 1}; // frames, seeds, first seed
    const std::string_view flags[] = {"--frames", "--seeds", "--first-seed"};
    for (int i = 1; i < argc; i += 2) {
        const auto k = std::find(flags, flags + 3, argv[i]) - flags;
        char* end = nullptr;
        if (k == 3 || i + 1 == argc || (value[k] = strtoull(argv[i + 1], &end, 10), *end != '\0')) {
            fprintf(stderr, "usage: %s [--frames N] [--seeds K] [--first-seed S]\n", argv[0]);
            return 2;
        }
    }
    pristineRecord = theGame;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    // The display start-up asks for, a 32-bit picture (the dummy display is 8-bit), no diagnostics.
    SDL_Surface* picture = nullptr;
    if (SDL_Init(SDL_INIT_VIDEO) < 0 ||
        !SDL_SetVideoMode(640, 480, 0, SDL_HWSURFACE | SDL_DOUBLEBUF) ||
        !(picture = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0)) ||
        fflush(stdout) != 0 || !freopen("/dev/null", "w", stdout)) {
        fprintf(stderr, "soak: %s\n", SDL_GetError());
        return 1;
    }
    load_scene();
    if (!bg || !std::all_of(sprtbl, sprtbl + IMAGE_COUNT, [](auto& r) { return r.surface; })) {
        fprintf(stderr, "soak: the scene did not load\n");
        return 1;
    }
    screen = picture;

    for (seed = value[2]; seed < value[2] + value[1]; seed++) {
        playGame(value[0]);
    }
    const long heapEnd = static_cast<long>(HEAP_IN_USE);
    static const ull least[KINDS] = {20, 20, 3, 5, 5, 5}; // per 100000 frames, to judge a run
    bool judged = true;
    fprintf(stderr, "soak: %llu frames; strikes, misses, rests, stuck, bounces, Returns:", played);
    for (int k = 0; k < KINDS; k++) {
        fprintf(stderr, " %llu", tally[k]);
        judged = judged && tally[k] >= least[k] * (played / 100000);
    }
    fprintf(stderr, "; heap %ld -> %ld bytes\n", heapWarm, heapEnd);
    if (!judged || (heapWarm >= 0 && heapEnd > heapWarm + HEAP_SLACK)) {
        fprintf(stderr, "soak: %s\n", judged ? "the heap grew" : "too few throws to judge");
        return 1;
    }
    SDL_Quit();
}
