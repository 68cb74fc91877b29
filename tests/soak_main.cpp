// soak_game [--frames N] [--seeds K] [--first-seed S]: random games through the real frame
// (SDL's queue, the loop's handler, Game_step, Game_draw), checked after every frame.
#include <SDL/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <malloc.h>
#include <string_view>

#include "game/draw.h"
#include "platform/images.h"
#include "platform/main_loop.h"

#define HEAP_IN_USE mallinfo2().uordblks // glibc's: judged in the plain build only

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
constexpr unsigned long long WARM_UP_FRAMES = 20000;
constexpr long HEAP_SLACK = 4096;
// A bit for each state a step may reach, without and with a press.
constexpr uint8_t STEPS[2][6] = {{0x03, 0x02, 0x24, 0x38, 0x30, 0x20},
                                 {0x03, 0x06, 0x2C, 0x38, 0x30, 0x21}};

unsigned long long seed, frame, played, tally[6]; // strikes, misses, rests, stuck, bounces, Returns

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

// Presses (Space or the left button, held 0 to 11 frames) at a pace that changes by
// stretches; in aiming stretches a second press released 28 to 52 frames into the dive (half
// hit the strike window); Returns and a rare Escape. (The start-up test sends ignored input.)
struct Player {
    uint64_t s = seed;
    struct {
        unsigned long long frame;
        SDL_Event event;
    } due[64]; // a fixed ring: nothing is allocated during play
    uint32_t dueCount = 0, pace = 25, returns = 3000, aiming = 0, lastState = STATE_WAIT;
    unsigned long long stretchEnd = 0;

    uint32_t below(uint32_t n) { // splitmix64
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<uint32_t>((z ^ (z >> 31)) % n);
    }
    // A key or button pressed on frame `at` and released up to `hold` - 1 frames later.
    void tap(uint8_t down, int which, uint32_t hold, unsigned long long at = frame) {
        for (uint8_t type : {down, uint8_t(down + 1)}) {
            SDL_Event e{};
            const uint8_t state = type == down; // SDL_PRESSED is 1
            if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
                e.key = {type, 0, state, {0, static_cast<SDLKey>(which), KMOD_NONE, 0}};
            } else {
                e.button = {type, 0, static_cast<uint8_t>(which), state, 320, 240};
            }
            if (dueCount < 64) {
                due[dueCount++] = {type == down ? at : at + below(hold), e};
            }
        }
    }

    void queue(uint32_t state) {
        if (frame >= stretchEnd) { // presses 1 in 4 to 1 in 64 frames, Returns 1 in 200 to 12800
            pace = 4u << below(5);
            returns = 200u << below(7);
            aiming = below(2);
            stretchEnd = frame + 500 + below(6000);
        }
        if (aiming && state == STATE_DROP && lastState != STATE_DROP) {
            tap(SDL_KEYDOWN, SDLK_SPACE, 1, frame + 27 + below(25));
        }
        lastState = state;
        if (below(pace) == 0) {
            const bool key = below(2);
            tap(key ? SDL_KEYDOWN : SDL_MOUSEBUTTONDOWN, key ? SDLK_SPACE : SDL_BUTTON_LEFT, 12);
        }
        if (below(returns) == 0) {
            tap(SDL_KEYDOWN, SDLK_RETURN, 4);
        }
        if (below(50000) == 0) {
            tap(SDL_KEYDOWN, SDLK_ESCAPE, 3);
        }
        // Due events in order: a timed press precedes its release.
        uint32_t kept = 0;
        for (uint32_t i = 0; i < dueCount; i++) {
            if (due[i].frame <= frame) {
                REQUIRE(SDL_PushEvent(&due[i].event) == 0, "SDL's queue refused an event");
            } else {
                due[kept++] = due[i];
            }
        }
        dueCount = kept;
    }
};

GameRecord pristineRecord;
long heapWarm = -1;

void playGame(unsigned long long frames) {
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
        uint8_t pressed = 0, returned = 0, escaped = 0;
        while (!escaped && SDL_PollEvent(&event)) {
            const SDLKey key = event.type == SDL_KEYUP ? event.key.keysym.sym : SDLK_UNKNOWN;
            const uint8_t type = event.type, end = Game_handleEvent(game, &event);
            escaped = key == SDLK_ESCAPE;
            REQUIRE(end == escaped, "the handler answered %u to event type %u", end, type);
            pressed |= key == SDLK_SPACE ||
                       (type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT);
            returned |= key == SDLK_RETURN;
            tally[5] += key == SDLK_RETURN;
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
        REQUIRE(before < 6 && after < 6 && (STEPS[pressed][before] >> after & 1),
                "state %u went to %u (press %u)", before, after, pressed);
        tally[0] += after == STATE_FLIGHT && before != after;
        tally[4] +=
            after == STATE_FLIGHT && game->coll[COL_BIRD].hit && vyBefore <= 0 && bird.y.speed > 0;
        if (after == STATE_RESULT && before != after) {
            tally[before != STATE_FLIGHT ? 1 : game->stuck ? 3 : 2]++;
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
                "the bird is out of its bounds (x %d, y %d)", bird.x.value, bird.y.value);
        REQUIRE(in(game->spr[SPR_SIGN].y.speed, -SIGN_SPEED_MAX, SIGN_SPEED_MAX) &&
                    in(game->lastDistance, 0, game->bestDistance) &&
                    game->bestDistance >= bestBefore && game->scratchCount <= SCRATCH_MAX,
                "the sign's speed, the distances or the marks are out of their bounds");
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
    unsigned long long value[3] = {100000, 10, 1}; // frames, seeds, first seed
    const std::string_view flags[] = {"--frames", "--seeds", "--first-seed"};
    for (int i = 1; i < argc; i += 2) {
        const long k = std::find(flags, flags + 3, argv[i]) - flags;
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
    static const unsigned long long least[6] = {20, 20, 3, 5, 5, 5}; // per 100000 frames played
    bool judged = true;
    fprintf(stderr, "soak: %llu frames; strikes, misses, rests, stuck, bounces, Returns:", played);
    for (int k = 0; k < 6; k++) {
        fprintf(stderr, " %llu", tally[k]);
        judged = judged && tally[k] >= least[k] * played / 100000;
    }
    fprintf(stderr, "; heap %ld -> %ld bytes\n", heapWarm, heapEnd);
    if (!judged || (heapWarm >= 0 && heapEnd > heapWarm + HEAP_SLACK)) {
        fprintf(stderr, "soak: %s\n", judged ? "the heap grew" : "too few throws to judge");
        return 1;
    }
    SDL_Quit();
}
