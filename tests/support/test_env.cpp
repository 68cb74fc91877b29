#include "tests/support/test_env.h"

#include <cstdlib>

// Every test program runs headless: SDL's dummy video and audio drivers,
// unless the environment asks for others.
static const bool headless = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();

#include <fstream>
#include <sstream>

SDL_Surface* Test_makeScreen() {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

uint32_t Test_pixel(SDL_Surface* surface, int x, int y) {
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h) {
        return 0xFFFFFFFFu;
    }
    SDL_LockSurface(surface);
    const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    uint32_t value = reinterpret_cast<const uint32_t*>(row)[x];
    SDL_UnlockSurface(surface);
    uint8_t r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}

std::string Test_readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

#include <strings.h>

const Test_Strip Test_strips[IMAGE_COUNT] = {
#define STRIP(id, name, width, frameHeight, frames, flags) {name, width, frameHeight, frames},
#include "game/catalogue.def"
};

void Test_makeCatalogue(Test_Catalogue* out, const char* name, const uint8_t* bytes, size_t size) {
    uint16_t n = 0;
    for (uint16_t i = 0; i < RES_linked.count && n < 64; i++) {
        Asset asset = RES_linked.assets[i];
        if (strcasecmp(asset.name, name) == 0) {
            if (!bytes) {
                continue;
            }
            asset.begin = bytes;
            asset.end = bytes + size;
        }
        out->assets[n++] = asset;
    }
    out->catalogue = AssetCatalogue{out->assets, n};
}

#include <chrono>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

// Whether the process has a handler for SIGTERM yet: the multimedia layer
// installs one when it starts, and turns the signal into a quit event.
static bool catches_termination(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0) {
            unsigned long long mask = std::strtoull(line.c_str() + 7, nullptr, 16);
            return (mask >> (SIGTERM - 1)) & 1;
        }
    }
    return false;
}

Test_ProgramRun Test_runProgram(const std::vector<std::string>& sdlEnv) {
    Test_ProgramRun run;
    char outPath[] = "/tmp/snowpunt-out-XXXXXX";
    char errPath[] = "/tmp/snowpunt-err-XXXXXX";
    int outFd = mkstemp(outPath);
    int errFd = mkstemp(errPath);
    if (outFd < 0 || errFd < 0) {
        return run;
    }
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, outFd, 1);
    posix_spawn_file_actions_adddup2(&files, errFd, 2);
    std::vector<std::string> env = sdlEnv;
    for (char** e = environ; *e; ++e) {
        if (strncmp(*e, "SDL_", 4) != 0) {
            env.push_back(*e);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    const char* binary = SNOWPUNT_BINARY;
    char* argv[] = {const_cast<char*>(binary), nullptr};

    auto started = std::chrono::steady_clock::now();
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, binary, &files, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&files);
    close(outFd);
    close(errFd);
    if (spawned == 0) {
        int status = 0;
        while (!catches_termination(pid) && waitpid(pid, &status, WNOHANG) == 0) {
            usleep(10000);
        }
        kill(pid, SIGTERM);
        waitpid(pid, &run.status, 0);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.out = Test_readFile(outPath);
    run.err = Test_readFile(errPath);
    unlink(outPath);
    unlink(errPath);
    return run;
}
