// Plays one scripted throw without a window and writes PNG pictures of chosen
// frames: the start screen, the drop, the strike, the flight with the view
// scrolling, the result with the sign and the distance, and the start screen
// again with the best distance on the board.
//
//   snowpunt_shots OUTDIR [--press2 N] [--every N] [--verbose]
//
// --press2 N  the second press comes N frames after the first (default 42:
//             the strike falls on the 48th frame of the fall and the bird
//             bounces and slides; 35 to 41 give steep throws that stick)
// --every N   also write every N-th frame of the whole run as frame-NNNN.png
// --verbose   keep the game's own diagnostic lines on standard output
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "game/draw.h"
#include "platform/images.h"
#include "tools/shots/png_write.h"

namespace {

struct Options {
    std::string dir;
    int press2 = 42;
    int every = 0;
    bool verbose = false;
};

// What the run has written and whether every file checked out.
struct Run {
    Options opt;
    SDL_Surface* picture = nullptr; // the 640 x 480 surface the game draws into
    int frame = 0;                  // frames played so far
    int written = 0;
    bool failed = false;
};

// A speed factor of exactly 1: the low byte 127 makes the spread 0.
int fixedRand() {
    return 127;
}

bool parse(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--press2") == 0 && i + 1 < argc) {
            o->press2 = atoi(argv[++i]);
        } else if (strcmp(argv[i], "--every") == 0 && i + 1 < argc) {
            o->every = atoi(argv[++i]);
        } else if (strcmp(argv[i], "--verbose") == 0) {
            o->verbose = true;
        } else if (argv[i][0] == '-' || !o->dir.empty()) {
            return false;
        } else {
            o->dir = argv[i];
        }
    }
    return !o->dir.empty() && o->press2 > 0 && o->every >= 0;
}

// Writes the picture and reads it back: the file must decode to exactly the
// pixels drawn.
void shoot(Run* run, const std::string& name) {
    const std::string path = run->opt.dir + "/" + name;
    if (!Png_write(path.c_str(), run->picture)) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        run->failed = true;
        return;
    }
    SDL_Surface* back = IMG_Load(path.c_str());
    bool same = back != nullptr && back->w == run->picture->w && back->h == run->picture->h;
    for (int y = 0; same && y < back->h; ++y) {
        for (int x = 0; same && x < back->w; ++x) {
            same = Png_pixel(back, x, y) == Png_pixel(run->picture, x, y);
        }
    }
    if (back != nullptr) {
        SDL_FreeSurface(back);
    }
    if (!same) {
        fprintf(stderr, "%s does not read back as drawn\n", path.c_str());
        run->failed = true;
        return;
    }
    ++run->written;
    fprintf(stderr, "frame %4d  state %u  %s\n", run->frame, theGame.state, path.c_str());
}

// One frame of the main loop without the events and the pacing: the press,
// the fixed step, the drawing.
void play(Run* run, bool press) {
    actionInput = press ? 1 : 0;
    Game_step(&theGame);
    Game_draw(&theGame);
    actionInput = 0;
    ++run->frame;
    if (run->opt.every > 0 && run->frame % run->opt.every == 0) {
        char name[32];
        snprintf(name, sizeof name, "frame-%04d.png", run->frame);
        shoot(run, name);
    }
}

// Plays until the game is in `state`, at most `limit` frames; true if it got there.
bool playUntil(Run* run, uint32_t state, int limit) {
    for (int i = 0; i < limit && theGame.state != state; ++i) {
        play(run, false);
    }
    return theGame.state == state;
}

void playFrames(Run* run, int n) {
    for (int i = 0; i < n; ++i) {
        play(run, false);
    }
}

bool startUp(Run* run) {
    // No window: SDL's dummy driver, unless the caller chose a driver.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return false;
    }
    atexit(SDL_Quit);
    // The strips are converted against the display's format: ask for 32 bits.
    if (SDL_SetVideoMode(640, 480, 32, SDL_SWSURFACE) == nullptr) {
        fprintf(stderr, "SDL_SetVideoMode: %s\n", SDL_GetError());
        return false;
    }
    run->picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    if (run->picture == nullptr) {
        return false;
    }

    // Everything loaded as start-up loads it, against the 32-bit display.
    load_scene();
    if (bg == nullptr) {
        fprintf(stderr, "bg.bmp cannot be decoded: the stand-in backdrop is shown\n");
    }
    screen = run->picture;
    Game_rand = fixedRand;
    Game_setState(&theGame, STATE_WAIT);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Run run;
    if (!parse(argc, argv, &run.opt)) {
        fprintf(stderr, "usage: %s OUTDIR [--press2 N] [--every N] [--verbose]\n", argv[0]);
        return 2;
    }
    mkdir(run.opt.dir.c_str(), 0777);
    if (!run.opt.verbose && freopen("/dev/null", "w", stdout) == nullptr) {
        return 1;
    }
    if (!startUp(&run)) {
        return 1;
    }

    // The bird shuffles on the ice until the game is ready.
    playFrames(&run, 10);
    shoot(&run, "01-start.png");
    if (!playUntil(&run, STATE_READY, 300)) {
        fprintf(stderr, "the game never became ready\n");
        return 1;
    }
    playFrames(&run, 5);

    // First press: the bird dives, the grumm lifts its club.
    play(&run, true);
    for (int f = 1; f < run.opt.press2; ++f) {
        play(&run, false);
        if (f == 20) {
            shoot(&run, "02-drop.png");
        }
    }
    // Second press: the swing.
    play(&run, true);
    shoot(&run, "03-swing.png");
    for (int i = 0; i < 20 && theGame.state == STATE_SWING; ++i) {
        play(&run, false);
    }
    if (theGame.state == STATE_FLIGHT) {
        shoot(&run, "04-strike.png");
        // The flight, with the view following the bird once it is far enough.
        const int offsets[] = {15, 45, 90, 150, 220, 300};
        int done = 0;
        char name[40];
        for (int k = 0; k < 6 && theGame.state == STATE_FLIGHT; ++k) {
            playFrames(&run, offsets[k] - done);
            done = offsets[k];
            if (theGame.state == STATE_FLIGHT) {
                snprintf(name, sizeof name, "05-flight-%03d.png", done);
                shoot(&run, name);
            }
        }
    } else {
        fprintf(stderr, "no strike with --press2 %d: the bird falls past the club\n",
                run.opt.press2);
    }

    if (!playUntil(&run, STATE_RESULT, 2000)) {
        fprintf(stderr, "the throw never ended\n");
        return 1;
    }
    playFrames(&run, 8);
    shoot(&run, "06-sign-drop.png");
    for (int i = 0; i < 200 && theGame.intpl[INT_SIGN_GRAVITY].running; ++i) {
        play(&run, false);
    }
    playFrames(&run, 40);
    shoot(&run, "07-result.png");
    fprintf(stderr, "distance %.3f, best %.3f\n", theGame.lastDistance / 65536.0,
            theGame.bestDistance / 65536.0);

    // The next throw's start screen shows the best distance on the board.
    play(&run, true);
    playFrames(&run, 30);
    shoot(&run, "08-best.png");

    fprintf(stderr, "%d pictures in %s\n", run.written, run.opt.dir.c_str());
    return run.failed ? 1 : 0;
}
