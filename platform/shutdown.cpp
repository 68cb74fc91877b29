#include "platform/shutdown.h"

#include <cstdlib>
#include <unistd.h>

volatile std::sig_atomic_t Shutdown_requested = 0;
unsigned Shutdown_limit = 3;

static void request(int) {
    Shutdown_requested = 1;
}

static void overrun(int) {
    _exit(EXIT_FAILURE);
}

// Installs handler for sig, unblocked, with the given sigaction flags.
static void take(int sig, void (*handler)(int), int flags) {
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

void Shutdown_catchSignals() {
    // SA_RESETHAND: a second Ctrl+C is not swallowed when the end hangs.
    take(SIGTERM, request, SA_RESTART | SA_RESETHAND);
    take(SIGINT, request, SA_RESTART | SA_RESETHAND);
}

void Shutdown_ifRequested() {
    if (Shutdown_requested) {
        exit(0);
    }
}

void Shutdown_bound() {
    take(SIGALRM, overrun, 0);
    const unsigned left = alarm(Shutdown_limit);
    if (left != 0 && left < Shutdown_limit) {
        alarm(left);
    }
}
