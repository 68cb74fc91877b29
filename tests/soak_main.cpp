// A long random game: the real frame sequence (events polled through SDL's
// queue and handled by the loop's own handler, the sprite step, the
// collisions and the rules, then the drawing of the whole screen) fed with a
// seeded random stream of presses, clicks, wheel turns and keys, checking
// after every frame that the game stays inside what its physics allows and
// never gets stuck.
//
//   soak_game [--frames N] [--seeds K] [--first-seed S]
//
// plays K games of N frames each, with seeds S, S+1, ...; every game starts
// from freshly built tables, so one seed replays alone exactly as it ran in a
// longer series. A failed check names the seed and the frame and ends with 1.
#include <SDL/SDL.h>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/images.h"
#include "platform/main_loop.h"
#include "platform/startup.h"
#include "platform/assets.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizer's allocator replaces malloc's, and keeps its own count of the
// bytes in use (its header is not shipped with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#define SOAK_SANITIZER_HEAP 1
#endif

namespace {

// Bounds of the bird's motion, 16.16. The fastest strike is the nominal
// 30.625 px per frame times the largest speed factor 1.0625.
constexpr fixed LAUNCH_MAX = 0x001EA000 + 0x001EA000 / 16; // 32.539 px per frame
constexpr fixed START_X = 0x02240000;                      // 548.0: the bird only moves left of it
// The farthest throw: at most about 540 frames in the air (a first arc of
// under 250 frames from an apex near 2000 px, then bounces that halve), over
// which quadratic air drag alone keeps the distance under
// ln(1 + k v0 T) / k = 7298 px (k = 14 / 65536), then a slide of at most
// ln(1 + a v0^2 / b) / 2a = 297 px; one more frame at full speed makes 7628
// px from the start, x = -7080. (The best throws seen end near x = -3300.)
constexpr fixed FARTHEST_X = -7200 * 65536;
constexpr fixed SNOW_LINE = 0x00337FFF; // 51.49998: the collision puts the bird back above it
// Apex: 162.8 + 30.6^2 / (2 * 0.256) + 30.6 / 2 = 2004 px for the steepest strike.
constexpr fixed APEX_MAX = 2100 * 65536;
// Downward speed: a fall from that apex to the snow gains under 32 px per frame.
constexpr fixed VY_MAX = LAUNCH_MAX + 65536;
// The sign drops from 528 to 82 under 0.248 px per frame^2: under 15 px per frame.
constexpr fixed SIGN_SPEED_MAX = 16 * 65536;
// Frames a throw may spend in states 0, 2, 3 and 4 without a Return: 70 of
// waiting, at most 53 of falling plus the swing and the head-first animation,
// at most 540 in the air, 153 of sliding and 16 head-first; rounded up.
constexpr int BUSY_FRAMES_MAX = 1500;
// Frames the sign may fall before it lands (about 60).
constexpr int SIGN_FALL_MAX = 200;
// Frames played before the heap in use is first measured: by then whole
// throws have been drawn and the strips' blit caches built.
constexpr int WARM_UP_FRAMES = 20000;
// Heap bytes the play may hold on to beyond the warm-up's: room for a cache
// built the first time a rarer picture is drawn, not for a leak per throw.
constexpr long HEAP_SLACK = 4096;

// splitmix64: the event stream, a fixed function of the seed.
struct Random {
    uint64_t s;
    uint64_t next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 1 with probability 1 / n.
    bool oneIn(uint32_t n) { return next() % n == 0; }
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
};

// A release (or other event) due at a later frame. A fixed ring: the soak
// allocates nothing while it plays.
struct Pending {
    uint64_t frame;
    SDL_Event event;
};
constexpr int PENDING_MAX = 64;
struct PendingRing {
    Pending items[PENDING_MAX];
    int count = 0;
};

SDL_Event keyEvent(uint8_t type, SDLKey key) {
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    return e;
}

SDL_Event buttonEvent(uint8_t type, uint8_t button) {
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    e.button.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = 320;
    e.button.y = 240;
    return e;
}

// Keys that do nothing in the game.
const SDLKey OTHER_KEYS[] = {SDLK_a,        SDLK_z,         SDLK_LEFT,  SDLK_UP,
                             SDLK_F1,       SDLK_TAB,       SDLK_0,     SDLK_LSHIFT,
                             SDLK_KP_ENTER, SDLK_BACKSPACE, SDLK_PAUSE, SDLK_DELETE};

// What a series of games saw.
struct Tally {
    uint64_t frames = 0;
    uint64_t presses = 0; // Space and left-button releases
    uint64_t throws = 0;  // entries to state 2
    uint64_t swings = 0;  // entries to state 3
    uint64_t strikes = 0; // 3 -> 4
    uint64_t misses = 0;  // 2 or 3 -> 5
    uint64_t rests = 0;   // 4 -> 5 with the bird lying on the snow
    uint64_t stuck = 0;   // 4 -> 5 with the bird head-first
    uint64_t returns = 0; // Return releases
    uint64_t escapes = 0; // Escape releases (the loop would have ended there)
    uint64_t bounces = 0; // flight frames in which the bird left the snow upward
    fixed best = 0;       // best distance over all games
    int busyMax = 0;      // longest run of frames in states 0, 2, 3, 4 without Return
};

// The game record before anything has touched it: every game starts from it,
// so that nothing of one game (the last distance, the marks) leaks into the next.
GameRecord pristineRecord;

uint64_t currentSeed = 0;
uint64_t currentFrame = 0;

[[noreturn]] void fail(const char* format, ...) {
    fprintf(stderr, "soak: seed %llu, frame %llu: ", static_cast<unsigned long long>(currentSeed),
            static_cast<unsigned long long>(currentFrame));
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fprintf(stderr, "\nsoak: replay with: --first-seed %llu --seeds 1 --frames %llu\n",
            static_cast<unsigned long long>(currentSeed),
            static_cast<unsigned long long>(currentFrame + 1));
    exit(1);
}

long heapInUse() {
#ifdef SOAK_SANITIZER_HEAP
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    return static_cast<long>(mallinfo2().uordblks);
#endif
}

long residentKiB() {
    long pages = 0;
    long resident = 0;
    FILE* f = fopen("/proc/self/statm", "r");
    if (f == nullptr) {
        return -1;
    }
    if (fscanf(f, "%ld %ld", &pages, &resident) != 2) {
        resident = -1;
    }
    fclose(f);
    return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The transitions the rules may make within one frame's step.
bool legalStep(uint32_t from, uint32_t to, uint8_t pressed) {
    if (from == to) {
        return true;
    }
    switch (from) {
    case STATE_WAIT:
        return to == STATE_READY;
    case STATE_READY:
        return to == STATE_DROP && pressed;
    case STATE_DROP:
        return (to == STATE_SWING && pressed) || to == STATE_RESULT;
    case STATE_SWING:
        return to == STATE_FLIGHT || to == STATE_RESULT;
    case STATE_FLIGHT:
        return to == STATE_RESULT;
    case STATE_RESULT:
        return to == STATE_WAIT && pressed;
    default:
        return false;
    }
}

// The player: how often the action is pressed changes from stretch to
// stretch, from hasty to idle, so that every timing of the second press is
// met; the other inputs are noise the game must ignore.
struct Player {
    Random rnd;
    PendingRing pending;
    uint32_t actionOneIn = 25;
    uint32_t returnOneIn = 3000;
    uint64_t stretchEnd = 0;
    // In an aiming stretch the player also times a second press after the
    // first, 28 to 52 frames on: about half of these fall in the strike window.
    bool aiming = false;
    uint32_t lastState = STATE_WAIT;
};

void schedule(Player* p, uint64_t frame, const SDL_Event& e) {
    if (p->pending.count < PENDING_MAX) {
        p->pending.items[p->pending.count++] = Pending{frame, e};
    }
}

void push(const SDL_Event& e) {
    SDL_Event copy = e;
    if (SDL_PushEvent(&copy) != 0) {
        fail("SDL's event queue refused an event");
    }
}

// Queues this frame's events: new presses now, their releases now or later.
// `state` is the state the last frame left the game in.
void queueEvents(Player* p, uint64_t frame, uint32_t state) {
    Random& r = p->rnd;
    if (frame >= p->stretchEnd) {
        static const uint32_t actionRates[] = {4, 8, 15, 25, 25, 35, 50, 90};
        static const uint32_t returnRates[] = {200, 1500, 4000, 20000, 20000};
        p->actionOneIn = actionRates[r.below(8)];
        p->returnOneIn = returnRates[r.below(5)];
        p->aiming = r.oneIn(2);
        p->stretchEnd = frame + 500 + r.below(6000);
    }
    if (p->aiming && state == STATE_DROP && p->lastState != STATE_DROP) {
        // State 2 was entered in the last frame.
        uint64_t release = frame - 1 + 28 + r.below(25);
        schedule(p, release - r.below(8), keyEvent(SDL_KEYDOWN, SDLK_SPACE));
        schedule(p, release, keyEvent(SDL_KEYUP, SDLK_SPACE));
    }
    p->lastState = state;
    if (r.oneIn(p->actionOneIn)) {
        // Held for 0 to 11 frames; a hold of 0 releases in the same frame.
        uint64_t release = frame + r.below(12);
        if (r.oneIn(2)) {
            push(keyEvent(SDL_KEYDOWN, SDLK_SPACE));
            schedule(p, release, keyEvent(SDL_KEYUP, SDLK_SPACE));
        } else {
            push(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
            schedule(p, release, buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT));
        }
    }
    if (r.oneIn(40)) {
        uint8_t button = r.oneIn(2) ? SDL_BUTTON_RIGHT : SDL_BUTTON_MIDDLE;
        push(buttonEvent(SDL_MOUSEBUTTONDOWN, button));
        schedule(p, frame + r.below(10), buttonEvent(SDL_MOUSEBUTTONUP, button));
    }
    if (r.oneIn(30)) {
        // A wheel notch: a press and a release of button 4 or 5 together.
        uint8_t button = r.oneIn(2) ? SDL_BUTTON_WHEELUP : SDL_BUTTON_WHEELDOWN;
        push(buttonEvent(SDL_MOUSEBUTTONDOWN, button));
        push(buttonEvent(SDL_MOUSEBUTTONUP, button));
    }
    if (r.oneIn(35)) {
        SDLKey key = OTHER_KEYS[r.below(sizeof OTHER_KEYS / sizeof OTHER_KEYS[0])];
        push(keyEvent(SDL_KEYDOWN, key));
        schedule(p, frame + r.below(10), keyEvent(SDL_KEYUP, key));
    }
    if (r.oneIn(6)) {
        SDL_Event e;
        memset(&e, 0, sizeof e);
        e.type = SDL_MOUSEMOTION;
        e.motion.type = SDL_MOUSEMOTION;
        e.motion.x = static_cast<uint16_t>(r.below(640));
        e.motion.y = static_cast<uint16_t>(r.below(480));
        push(e);
    }
    if (r.oneIn(p->returnOneIn)) {
        push(keyEvent(SDL_KEYDOWN, SDLK_RETURN));
        schedule(p, frame + r.below(4), keyEvent(SDL_KEYUP, SDLK_RETURN));
    }
    if (r.oneIn(50000)) {
        push(keyEvent(SDL_KEYDOWN, SDLK_ESCAPE));
        schedule(p, frame + r.below(3), keyEvent(SDL_KEYUP, SDLK_ESCAPE));
    }
    // Due events follow this frame's new presses, in the order they were
    // scheduled, so a timed press comes before its own release.
    int kept = 0;
    for (int i = 0; i < p->pending.count; i++) {
        if (p->pending.items[i].frame <= frame) {
            push(p->pending.items[i].event);
        } else {
            p->pending.items[kept++] = p->pending.items[i];
        }
    }
    p->pending.count = kept;
}

bool isAction(const SDL_Event& e) {
    return (e.type == SDL_KEYUP && e.key.keysym.sym == SDLK_SPACE) ||
           (e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT);
}

// Checks of the bird and the sign after a frame.
void checkBounds(const GameRecord* game) {
    const Sprite& bird = game->spr[SPR_BIRD];
    const Sprite& sign = game->spr[SPR_SIGN];
    if (game->state > STATE_RESULT) {
        fail("state %u", game->state);
    }
    if (game->scratchCount > SCRATCH_MAX) {
        fail("%u scratch marks", game->scratchCount);
    }
    if (bird.x.value > START_X || bird.x.value < FARTHEST_X) {
        fail("bird x %f outside %f..548", bird.x.value / 65536.0, FARTHEST_X / 65536.0);
    }
    if (bird.y.value < SNOW_LINE || bird.y.value > APEX_MAX) {
        fail("bird y %f outside 51.49998..%f", bird.y.value / 65536.0, APEX_MAX / 65536.0);
    }
    if (bird.x.speed > 0 || bird.x.speed < -LAUNCH_MAX) {
        fail("bird x speed %f", bird.x.speed / 65536.0);
    }
    if (bird.y.speed > LAUNCH_MAX || bird.y.speed < -VY_MAX) {
        fail("bird y speed %f", bird.y.speed / 65536.0);
    }
    if (sign.y.speed > SIGN_SPEED_MAX || sign.y.speed < -SIGN_SPEED_MAX) {
        fail("sign y speed %f", sign.y.speed / 65536.0);
    }
    if (game->lastDistance < 0 || game->lastDistance > game->bestDistance) {
        fail("last distance %f, best %f", game->lastDistance / 65536.0,
             game->bestDistance / 65536.0);
    }
    if (game->stuck && bird.y.value != 0x003EFFFF) {
        fail("stuck bird at height %f", bird.y.value / 65536.0);
    }
}

// One game of `frames` frames from freshly built tables.
void playGame(uint64_t seed, uint64_t frames, Tally* tally, long* heapAfterWarmUp) {
    currentSeed = seed;
    currentFrame = 0;
    Player player;
    player.rnd.s = seed;
    srand(static_cast<unsigned>(seed));
    Game_rand = std::rand;
    SDL_Event drained;
    while (SDL_PollEvent(&drained)) {
    }

    GameRecord* game = &theGame;
    // The record as the program starts with it, then built as start-up does.
    theGame = pristineRecord;
    Game_init();
    Game_setState(game, STATE_WAIT);
    fixed best = game->bestDistance;
    int busy = 0;     // frames in states 0, 2, 3, 4 since the last Return or state 1 or 5
    int signFall = 0; // frames of the sign's fall in state 5

    for (uint64_t f = 0; f < frames; f++) {
        currentFrame = f;
        actionInput = 0;
        queueEvents(&player, f, game->state);

        uint8_t pressed = 0;
        bool returned = false;
        bool escaped = false;
        while (SDL_PollEvent(&event)) {
            SDL_Event e = event;
            uint8_t end = Game_handleEvent(game, &event);
            bool escape = e.type == SDL_KEYUP && e.key.keysym.sym == SDLK_ESCAPE;
            if (end != (escape ? 1 : 0)) {
                fail("the handler answered %u to an event of type %u", end, e.type);
            }
            if (escape) {
                // Here the loop would end; the rest of this frame's queue is dropped.
                escaped = true;
                tally->escapes++;
                while (SDL_PollEvent(&drained)) {
                }
                break;
            }
            if (isAction(e)) {
                pressed = 1;
                tally->presses++;
            }
            if (e.type == SDL_KEYUP && e.key.keysym.sym == SDLK_RETURN) {
                returned = true;
                tally->returns++;
                if (game->state != STATE_WAIT) {
                    fail("Return left the game in state %u", game->state);
                }
            }
        }
        if (actionInput != pressed) {
            fail("actionInput %u after a frame with%s an action release", actionInput,
                 pressed ? "" : "out");
        }
        if (escaped) {
            continue;
        }

        const uint32_t before = game->state;
        const fixed vyBefore = game->spr[SPR_BIRD].y.speed;
        Game_step(game);
        const uint32_t after = game->state;
        if (!legalStep(before, after, actionInput)) {
            fail("state %u went to %u (press %u)", before, after, actionInput);
        }
        if (after != before) {
            if (after == STATE_DROP) {
                tally->throws++;
            } else if (after == STATE_SWING) {
                tally->swings++;
            } else if (after == STATE_FLIGHT) {
                tally->strikes++;
            } else if (after == STATE_RESULT && before != STATE_FLIGHT) {
                tally->misses++;
            } else if (after == STATE_RESULT) {
                (game->stuck ? tally->stuck : tally->rests)++;
            }
        }
        if (after == STATE_FLIGHT && game->coll[COL_BIRD].hit && vyBefore <= 0 &&
            game->spr[SPR_BIRD].y.speed > 0) {
            tally->bounces++;
        }

        Game_draw(game);

        checkBounds(game);
        if (game->bestDistance < best) {
            fail("best distance fell from %f to %f", best / 65536.0, game->bestDistance / 65536.0);
        }
        best = game->bestDistance;

        if (returned || after == STATE_READY || after == STATE_RESULT) {
            busy = 0;
        } else if (++busy > BUSY_FRAMES_MAX) {
            fail("%d frames in states 0, 2, 3, 4 without a Return (now in %u)", busy, after);
        }
        if (busy > tally->busyMax) {
            tally->busyMax = busy;
        }
        if (after == STATE_RESULT && game->intpl[INT_SIGN_GRAVITY].running) {
            if (++signFall > SIGN_FALL_MAX) {
                fail("the sign has fallen for %d frames without landing", signFall);
            }
        } else {
            signFall = 0;
        }

        tally->frames++;
        if (tally->frames == WARM_UP_FRAMES) {
            *heapAfterWarmUp = heapInUse();
        }
    }
    if (game->bestDistance > tally->best) {
        tally->best = game->bestDistance;
    }
}

bool parseCount(const char* text, uint64_t* out) {
    char* end = nullptr;
    unsigned long long v = strtoull(text, &end, 10);
    if (end == text || *end != '\0') {
        return false;
    }
    *out = v;
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    uint64_t frames = 100000;
    uint64_t seeds = 10;
    uint64_t firstSeed = 1;
    for (int i = 1; i < argc; i++) {
        uint64_t* target = nullptr;
        if (strcmp(argv[i], "--frames") == 0) {
            target = &frames;
        } else if (strcmp(argv[i], "--seeds") == 0) {
            target = &seeds;
        } else if (strcmp(argv[i], "--first-seed") == 0) {
            target = &firstSeed;
        }
        if (target == nullptr || i + 1 >= argc || !parseCount(argv[i + 1], target)) {
            fprintf(stderr, "usage: %s [--frames N] [--seeds K] [--first-seed S]\n", argv[0]);
            return 2;
        }
        i++;
    }

    pristineRecord = theGame;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "soak: SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    // The display the strips and the background are converted against, at
    // its own depth, as start-up asks for it.
    if (SDL_SetVideoMode(640, 480, 0, SDL_HWSURFACE | SDL_DOUBLEBUF) == nullptr) {
        fprintf(stderr, "soak: SDL_SetVideoMode: %s\n", SDL_GetError());
        return 1;
    }
    // The game's diagnostic lines (one per frame of flight) go nowhere.
    fflush(stdout);
    int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
        dup2(devNull, 1);
        close(devNull);
    }
    load_scene();
    for (const ImageEntry& row : sprtbl) {
        if (row.surface == nullptr) {
            fprintf(stderr, "soak: strip %s did not load\n", row.fileName);
            return 1;
        }
    }
    // The picture is drawn into a 32-bit surface of its own: the headless
    // display is 8-bit.
    SDL_Surface* picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    if (picture == nullptr || bg == nullptr) {
        fprintf(stderr, "soak: no surface: %s\n", SDL_GetError());
        return 1;
    }
    screen = picture;

    Tally tally;
    long heapWarm = -1;
    const long residentStart = residentKiB();
    const auto started = std::chrono::steady_clock::now();
    for (uint64_t s = firstSeed; s < firstSeed + seeds; s++) {
        playGame(s, frames, &tally, &heapWarm);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const long heapEnd = heapInUse();
    const long residentEnd = residentKiB();

    fprintf(stderr,
            "soak: seeds %llu..%llu, %llu frames in %.1f s (%.1f us per frame)\n"
            "soak: %llu action releases, %llu throws, %llu swings, %llu strikes, %llu misses,\n"
            "soak: %llu flights at rest, %llu stuck head-first, %llu bounces, %llu Returns, "
            "%llu Escapes\n"
            "soak: best distance %f; longest busy run %d frames\n"
            "soak: heap in use %ld bytes after warm-up, %ld at the end; resident %ld KiB -> %ld "
            "KiB\n",
            static_cast<unsigned long long>(firstSeed),
            static_cast<unsigned long long>(firstSeed + seeds - 1),
            static_cast<unsigned long long>(tally.frames), seconds,
            tally.frames ? seconds * 1e6 / static_cast<double>(tally.frames) : 0.0,
            static_cast<unsigned long long>(tally.presses),
            static_cast<unsigned long long>(tally.throws),
            static_cast<unsigned long long>(tally.swings),
            static_cast<unsigned long long>(tally.strikes),
            static_cast<unsigned long long>(tally.misses),
            static_cast<unsigned long long>(tally.rests),
            static_cast<unsigned long long>(tally.stuck),
            static_cast<unsigned long long>(tally.bounces),
            static_cast<unsigned long long>(tally.returns),
            static_cast<unsigned long long>(tally.escapes), tally.best / 65536.0, tally.busyMax,
            heapWarm, heapEnd, residentStart, residentEnd);

    if (heapWarm >= 0 && heapEnd > heapWarm + HEAP_SLACK) {
        fprintf(stderr, "soak: the heap grew by %ld bytes over the run\n", heapEnd - heapWarm);
        return 1;
    }
    // A run long enough to judge must have seen whole throws of every kind.
    if (tally.frames >= 100000) {
        const uint64_t lots = tally.frames / 100000; // in lots of 100000 frames
        if (tally.strikes < 20 * lots || tally.rests < 3 * lots || tally.stuck < 5 * lots ||
            tally.misses < 20 * lots || tally.bounces < 5 * lots || tally.returns < 5 * lots) {
            fprintf(stderr, "soak: too few throws of some kind to judge the run\n");
            return 1;
        }
    }
    SDL_FreeSurface(picture);
    screen = nullptr;
    SDL_Quit();
    return 0;
}
