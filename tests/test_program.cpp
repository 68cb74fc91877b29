// The whole program on a fake clock in this process: frame pacing, start-up
// with its two timed screens and its failures, what it leaves set up for the
// player (screen, sound device, keyboard, gamepads, icon), the player's input
// through the real loop, and its end on a signal. (The real executable runs
// under the memory checker and from the installed package.)
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <dlfcn.h>
#include <fstream>
#include <regex>
#include <unistd.h>

#include "game/draw.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/main_loop.h"
#include "platform/shutdown.h"
#include "platform/startup.h"
#include "tests/support/test_env.h"

// A clock that stands still but for the sleeps, which it records, and the
// flips, which take `showing` ms each and record when they began.
static uint32_t now, showing;
static std::vector<uint32_t> sleeps, flips;
static void (*onSleep)() = [] {};
static const auto realTicks = Frame_getTicks;
static const auto realDelay = Frame_delay;
static const bool fakeClock = [] {
    Frame_getTicks = [] { return now; };
    Frame_delay = [](uint32_t ms) {
        sleeps.push_back(ms);
        now += ms;
        onSleep();
    };
    return true;
}();
extern "C" int SDL_Flip(SDL_Surface* s) {
    static auto real = reinterpret_cast<decltype(&SDL_Flip)>(dlsym(RTLD_NEXT, "SDL_Flip"));
    flips.push_back(now);
    now += showing;
    return real(s);
}

TEST(FrameTiming, FlipsComeTheTargetApartWhateverShowingTakes) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    ASSERT_TRUE(Display_open());
    // A run of frames: the work and the flip of each (ms), what was left of
    // the 16 ms after the work and the flip before (slept when above 0), and
    // the time from the flip before to its own. The fourth and sixth overrun:
    // the frame after each follows at once and still gets its 16 ms. The tick
    // counter wraps during the third flip.
    const int rows[][4] = {{5, 3, 11, 0}, {5, 3, 8, 16},   {10, 6, 3, 16}, {12, 3, -2, 18},
                           {5, 0, 8, 16}, {20, 3, -4, 20}, {1, 0, 12, 16}};
    now = 0xFFFFFFCE;
    for (auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        sleeps.clear();
        Frame_start();
        now += row[0];
        showing = row[1];
        Frame_end(16);
        EXPECT_EQ(delta_time, row[2]);
        EXPECT_EQ(sleeps, std::vector<uint32_t>(row[2] > 0, uint32_t(row[2])));
        EXPECT_EQ(flips.size() > 1 ? flips.back() - flips.end()[-2] : 0, uint32_t(row[3]));
    }
    // The real sleep waits at least what it is asked, and SDL's clock sees it.
    const uint32_t ticks = realTicks();
    const auto begun = std::chrono::steady_clock::now();
    realDelay(30);
    EXPECT_GE(std::chrono::steady_clock::now() - begun, std::chrono::milliseconds(30));
    EXPECT_GE(realTicks() - ticks, 29u);
}

// What reached the window system: the display as SDL was last asked to show
// it, and the icon's shape (one bit a pixel, leftmost highest, rows of whole
// bytes) against its pixels' opacity.
static SDL_Surface* sent;
static std::string iconShape;
extern "C" void SDL_UpdateRects(SDL_Surface* s, int n, SDL_Rect* rects) {
    static auto real =
        reinterpret_cast<decltype(&SDL_UpdateRects)>(dlsym(RTLD_NEXT, "SDL_UpdateRects"));
    if (s == display && (!sent || sent->w != s->w || sent->h != s->h)) {
        SDL_FreeSurface(sent);
        sent = SDL_CreateRGBSurface(0, s->w, s->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    }
    for (int i = 0; s == display && i < n; i++) {
        SDL_Rect to = rects[i];
        SDL_BlitSurface(s, &rects[i], sent, &to);
    }
    real(s, n, rects);
}
extern "C" void SDL_WM_SetIcon(SDL_Surface* icon, Uint8* mask) {
    int wrong = 0, opaque = 0;
    for (int y = 0; y < icon->h; y++) {
        for (int x = 0; x < icon->w; x++) {
            uint8_t r, g, b, a;
            SDL_GetRGBA(static_cast<uint32_t*>(icon->pixels)[y * icon->pitch / 4 + x], icon->format,
                        &r, &g, &b, &a);
            opaque += a >= 128;
            wrong += (a >= 128) != bool(mask[y * ((icon->w + 7) / 8) + x / 8] & 0x80 >> x % 8);
        }
    }
    iconShape = std::to_string(icon->w) + "x" + std::to_string(icon->h) + ", " +
                std::to_string(opaque) + " opaque, " + std::to_string(wrong) + " wrong";
}

// Pixels the window system was not sent of the named picture, scaled to
// fill the display.
static int notShown(const char* name) {
    const Asset* a = RES_find(name);
    if (a == nullptr || sent == nullptr) {
        return -1;
    }
    SDL_Surface* bmp = SDL_LoadBMP_RW(SDL_RWFromConstMem(a->begin, int(a->end - a->begin)), 1);
    SDL_Surface* p = SDL_ConvertSurface(bmp, sent->format, 0);
    int wrong = 0, k = sent->w / 640;
    for (int y = 0; y < sent->h; y++) {
        for (int x = 0; x < sent->w; x++) {
            wrong += Test_pixel(sent, x, y) != Test_pixel(p, x / k, y / k);
        }
    }
    SDL_FreeSurface(bmp);
    SDL_FreeSurface(p);
    return wrong;
}

// A key released (its sym), or with DOWN pressed; with BUTTON a mouse button,
// with PAD a gamepad button; AXIS a gamepad's stick moved.
constexpr int DOWN = 0x200, BUTTON = 0x400, PAD = 0x800, AXIS = 0xC00;
static SDL_Event ev(int code) {
    const uint8_t types[] = {SDL_KEYUP,           SDL_KEYDOWN,     SDL_MOUSEBUTTONUP,
                             SDL_MOUSEBUTTONDOWN, SDL_JOYBUTTONUP, SDL_JOYBUTTONDOWN,
                             SDL_JOYAXISMOTION};
    SDL_Event e{.type = types[code >> 9]};
    if (code & (BUTTON | PAD)) { // the mouse's and the gamepad's button lie alike
        e.button.button = uint8_t(code);
    } else {
        e.key.keysym.sym = SDLKey(code & 0x1FF);
    }
    return e;
}

// The player's input: the events queued before each frame. Before frame 10
// the game is made ready; had its rules seen that, the press would have
// dropped the bird with its "hepp". Escape ends frame 11 before its Space.
// clang-format off
static const std::vector<int> script[] = {
    {DOWN + SDLK_SPACE}, {PAD + DOWN, AXIS, DOWN + SDLK_F11}, {SDLK_SPACE}, {PAD + 3},
    {DOWN + BUTTON + 1}, {BUTTON + 1},
    {SDLK_SPACE, BUTTON + 1}, {BUTTON + 2, BUTTON + 3}, {BUTTON + 4, BUTTON + 5},
    {SDLK_a, DOWN + SDLK_RETURN, DOWN + SDLK_ESCAPE}, {SDLK_SPACE, SDLK_RETURN},
    {SDLK_ESCAPE, SDLK_SPACE}};
// clang-format on
static std::vector<int> seen;
// A signal raised during sleep `signalAt` (0: before SDL starts; 1 and 2: the
// start-up pictures), each sleep then marked on standard error.
static int signalAt = -1, signalNo;

// Start-up with `asset` left out, or replaced by `bytes`, and the environment
// setting `env` ("mode": no video mode; "2x": a display twice the size asked;
// "stuck": SDL's shutdown never ends), the script, and a signal at a sleep.
struct Start {
    const char *asset, *bytes, *env;
    int status;                    // of the process
    const char *out, *err;         // what the outputs match (a failure's together)
    const char* machine = nullptr; // what is set up for the player, once playing
    int signalAt = -1, signalNo = 0;
};
static std::string machine, readySound;

// A 32-bit display (the dummy one is 8-bit), twice the size asked for in "2x", none in "mode".
static int zoom = 1;
static SDL_Surface* mode32(int w, int h, int, uint32_t flags) {
    return zoom ? SDL_SetVideoMode(w * zoom, h * zoom, 32, flags)
                : (SDL_SetError("no such mode"), nullptr);
}

static int start(const Start& s) {
    RES_catalogue = Test_catalogue(s.asset, s.bytes, s.bytes ? strlen(s.bytes) : 0);
    const std::string env = s.env ? s.env : "";
    zoom = env == "2x" ? 2 : env == "mode" ? 0 : 1;
    Display_setVideoMode = mode32;
    if (env == "stuck") {
        Shutdown_limit = 1;
        atexit([] { // runs after SDL_Quit
            for (auto t = time(nullptr); time(nullptr) < t + 10;) {
            }
            fputs("the shutdown was not bounded", stderr);
        });
    } else if (env.find('=') != std::string::npos) {
        putenv(const_cast<char*>(s.env));
    }
    now += 1000; // time passes before the game starts
    atexit([] {  // after SDL_Quit
        fputs(SDL_WasInit(SDL_INIT_EVERYTHING) ? "SDL still running at the end" : "", stderr);
    });
    std::tie(signalAt, signalNo) = std::pair(s.signalAt, s.signalNo);
    if (signalAt == 0) {
        Shutdown_catchSignals();
        raise(signalNo);
    }
    if (s.status) {
        dup2(2, 1);
    }
    // A gamepad: the device SDL_JOYSTICK_DEVICE names on classic SDL; SDL 2 takes only real
    // ones, so on sdl12-compat SDL 2's virtual gamepad (a controller, 2 axes, 4 buttons).
    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD); // loaded by sdl12-compat
    auto attach = reinterpret_cast<int (*)(int, int, int, int)>(
        sdl2 ? dlsym(sdl2, "SDL_JoystickAttachVirtual") : nullptr);
    EXPECT_TRUE(!Test_sdl12compat() || (attach && attach(1, 2, 4, 0) >= 0)) << "no virtual pad";
    sleeps.clear();
    seen.clear();
    machine.clear();
    SDL_FreeSurface(std::exchange(sent, nullptr));
    onSleep = [] { // the first two sleeps end the screens
        seen.push_back(actionInput);
        if (sleeps.size() < 3) { // the promo, then the title, on the screen
            const int wrong = notShown(sleeps.size() == 1 ? "promo1.bmp" : "ti.bmp");
            machine += "shown " + std::to_string(wrong) + ", ";
        }
        if (sleeps.size() == 3) { // the sound device: its rate, format, channels and buffer
            static const SDL_AudioSpec none{};
            const SDL_AudioSpec* d = hardware_spec ? hardware_spec : &none;
            char *title = nullptr, text[256];
            int delay = -1, interval = -1;
            SDL_WM_GetCaption(&title, nullptr);
            SDL_GetKeyRepeat(&delay, &interval);
            snprintf(text, sizeof text,
                     "%s, sound %d %d Hz %x %dch by %d, repeat %d, unicode %d, pads %d open %d "
                     "events %d, ",
                     title ? title : "", SDL_GetAudioStatus(), d->freq, d->format, d->channels,
                     d->samples, delay, SDL_EnableUNICODE(-1), SDL_NumJoysticks(),
                     SDL_JoystickOpened(0), SDL_JoystickEventState(SDL_QUERY));
            machine += text + iconShape + ", strips ";
            int strips = 0; // 32-bit with alpha, frames of their catalogue size, run-length
            for (uint16_t i = 0; i < IMAGE_COUNT; i++) { // coded but for those drawn turned
                const Test_Strip& c = Test_strips[i];
                const SDL_Surface* m = sprtbl[i].surface;
                const SDL_Rect& r = sprtbl[i].frameRect;
                // sdl12-compat takes no run-length coding from SDL_SetAlpha: its strips show none.
                const uint32_t rle = i == IMG_FLY || i == IMG_SCRATCH ? 0 : SDL_RLEACCELOK,
                               flags = SDL_SRCALPHA | (Test_sdl12compat() ? 0 : SDL_RLEACCELOK);
                strips += m && m->format->BitsPerPixel == 32 && m->format->Amask && m->w == c.w &&
                          m->h == c.frameH * c.frames && r.x == 0 && r.y == 0 && r.w == c.w &&
                          r.h == c.frameH && sprtbl[i].frameCount == c.frames &&
                          (m->flags & flags) == (SDL_SRCALPHA | (rle & flags));
            }
            machine += std::to_string(strips);
        }
        if (sleeps.size() == 8) { // the game steps and draws its frames
            machine += ", frame " + std::to_string(ani[ANI_WAIT].frame) +
                       (notShown("ti.bmp") > 0 ? " drawn" : "");
        }
        if (sleeps.size() == 12) {
            Game_setState(&theGame, STATE_READY);
            // The disk driver mixes as fast as it can: let it play the ready sound
            // (SDL_Delay lets the flag be read anew).
            const bool disk = strcmp(getenv("SDL_AUDIODRIVER"), "disk") == 0;
            for (int ms = 0; disk && snd[SND_READY].playing; ms++) {
                ASSERT_LT(ms, 5000) << "waited 5 s for the ready sound to be mixed";
                SDL_Delay(1);
            }
            if (disk) {
                readySound.assign(snd[SND_READY].data, snd[SND_READY].data + snd[SND_READY].length);
            }
        }
        if (signalAt >= 0) {
            fprintf(stderr, "[%zu]", sleeps.size());
        }
        if (int(sleeps.size()) == signalAt) {
            raise(signalNo);
        }
        for (int code : sleeps.size() < 2 ? std::vector<int>{} : script[sleeps.size() - 2]) {
            SDL_Event e = ev(code);
            SDL_PushEvent(&e);
        }
        if (sleeps.size() > 20) {
            abort(); // Escape was not obeyed
        }
    };
    char* argv[] = {nullptr};
    return SDL_main(0, argv);
}

TEST(StartUp, ShowsBothScreensMeetsEachFailureObeysThePlayerAndEndsOnASignal) {
    const std::string disk = testing::TempDir() + "snowpunt_" + std::to_string(getpid()) + ".raw";
    setenv("SDL_DISKAUDIOFILE", disk.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    setenv("SDL_JOYSTICK_DEVICE", "/dev/null", 1); // a gamepad that never moves
    // A system's own audio defaults, which the game's request must override.
    putenv(const_cast<char*>("SDL_AUDIO_FREQUENCY=44100"));
    putenv(const_cast<char*>("SDL_AUDIO_FORMAT=U8"));
    putenv(const_cast<char*>("SDL_AUDIO_SAMPLES=4096"));
    const char* ready =
        "shown 0, shown 0, Snowpunt, sound 1 22050 Hz 8010 1ch by 1024, repeat 0, unicode 1, "
        "pads 1 open 1 events 1, 32x32, 752 opaque, 0 wrong, strips 17, frame 2 drawn";
    const Start rows[] = {
        {"", nullptr, "SDL_AUDIODRIVER=disk", 0, "^((?!Error)[^])*$",
         "^(WARNING|CRITICAL): [^\n]* disk (writer|i/o) [^]*\\]\\.\\s*$", ready},
        {"", nullptr, "2x", 0, "^((?!Error)[^])*$", "^$", ready},
        {"PROMO1.BMP", nullptr, nullptr, 0,
         "^Error loading image: [^\n]*Error blitting image: [^\n]*Resource: ti\\.bmp",
         "^Error finding resource promo1\\.bmp!\n$"},
        {"BG.BMP", "BM but nothing else a picture needs", nullptr, 0, "Error loading bg image!\n",
         "^$"},
        {"GRUMM.PNG", nullptr, nullptr, 0,
         "Error loading title image grumm\\.png: .*!\nResource: signshad\\.png",
         "^Error finding resource grumm\\.png!\n$"},
        // No sound is loaded, and only the device's failure is reported.
        {"", nullptr, "SDL_AUDIODRIVER=none", 0, "^((?!\\.wav)[^])*Resource: bg\\.bmp",
         "^Couldn't open audio: .*\n$"},
        {"", nullptr, "SDL_VIDEODRIVER=none", 255, "", "^Could not initialize SDL: .+\\.\n$"},
        {"", nullptr, "mode", 1, "", "^Couldn't set 640x480x32 video mode: no such mode\n$"},
        {"HEPP.WAV", nullptr, nullptr, 255, "",
         "^Error finding resource hepp\\.wav!\nError: Could not open hepp\\.wav: "},
        // Signals end the game like a closed window after their wait; a stuck end is cut short.
        {"", nullptr, nullptr, 0, "", "^$", nullptr, 0, SIGTERM},
        {"", nullptr, nullptr, 0, "", "^\\[1\\]$", nullptr, 1, SIGINT},
        {"", nullptr, "stuck", 1, "", "\\[6\\]$", nullptr, 6, SIGTERM},
    };
    // The clock stands still while loading and each flip takes 4 ms: both
    // screens sleep their whole time, the frames what the flip left of 16 ms.
    showing = 4;
    const std::vector<uint32_t> slept = {3000, 3000, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12};
    for (const Start& r : rows) {
        SCOPED_TRACE(&r - rows);
        if (r.status || r.signalAt >= 0) {
            EXPECT_EXIT(start(r), testing::ExitedWithCode(r.status), r.err);
            continue;
        }
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(start(r), 0);
        EXPECT_NE(rand(), 1804289383) << "the throws' spread is not seeded anew"; // srand(1)
        fflush(stdout);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(std::regex_search(err, std::regex(r.err))) << err;
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(std::regex_search(out, std::regex(r.out))) << out;
        if (&r == rows) { // every asset in its turn, then the record built from them
            std::regex pair("Resource: ([^,]+), buffer: [0-9]+, size: [0-9]+\n"
                            "Bytes: [0-9a-f]+ [0-9a-f]+ [0-9a-f]+ [0-9a-f]+\n");
            EXPECT_EQ(std::regex_replace(out, pair, "$1 ", std::regex_constants::format_no_copy),
                      "promo1.bmp ti.bmp beat.wav ready.wav hui.wav hepp.wav bounce.wav lift.wav "
                      "fly.png font.png ice.png look.png prepjump.png rock.png scratch.png "
                      "sfont.png shadow.png sign.png ssign.png stick.png stree.png TOP.png "
                      "tree.png grumm.png signshad.png bg.bmp ");
            EXPECT_NE(out.find("height2ang: 0.001648\nang.max: 74.404907\n"), std::string::npos);
        }
        EXPECT_EQ(sleeps, slept);
        // actionInput at the screens, then as each frame's rules saw it
        EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0, 0, 1}));
        EXPECT_EQ(machine, r.machine ? r.machine : machine);
        EXPECT_TRUE(alarm(0) - 1 < 3u && !hardware_spec) << "end not bounded to 3 s, or sound open";
        EXPECT_EQ((std::vector<int>{actionInput, snd[SND_HEPP].playing}), (std::vector<int>{0, 0}));
        for (ImageEntry& row : sprtbl) {
            SDL_FreeSurface(std::exchange(row.surface, nullptr));
        }
        SDL_FreeSurface(bg);
        bg = screen = nullptr;
        std::fill(snd, snd + SOUND_COUNT, SoundEntry{});
        putenv(const_cast<char*>("SDL_AUDIODRIVER=dummy"));
    }
    RES_catalogue = &RES_linked;
    SDL_Event quit{.type = SDL_QUIT};
    EXPECT_EXIT(Game_handleEvent(&theGame, &quit), testing::ExitedWithCode(0), "");
    EXPECT_EQ(Game_handleEvent(&theGame, nullptr), 0);
    // The device was given the ready sound whole, from the start of a buffer, and silence around
    // it. sdl12-compat hands SDL 2's device the stream converted (measured: 44100 Hz stereo,
    // resampled); there the Mixer test alone checks what the mixer hands over.
    std::ifstream in(disk, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    remove(disk.c_str());
    if (Test_sdl12compat()) {
        return;
    }
    const size_t at = file.find(readySound);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(at % 2048, 0u);
    EXPECT_EQ(std::count(file.begin(), file.end(), 0) -
                  std::count(readySound.begin(), readySound.end(), 0),
              long(file.size() - readySound.size()));
}
