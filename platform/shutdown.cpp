#include "platform/shutdown.h"

#include <cstdlib>
#include <unistd.h>

volatile std::sig_atomic_t Shutdown_requested;
unsigned Shutdown_limit = 3;

static void request(int) {
    Shutdown_requested = 1;
}

static void overrun(int) {
    _exit(EXIT_FAILURE);
}

// Installs handler for sig; the system calls it interrupts carry on.
static void take(int sig, void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigaction(sig, &action, nullptr);
}

void Shutdown_catchSignals() {
    take(SIGTERM, request);
    take(SIGINT, request);
}

void Shutdown_ifRequested() {
    if (Shutdown_requested) {
        exit(0);
    }
}

void Shutdown_bound() {
    take(SIGALRM, overrun);
    alarm(Shutdown_limit);
}
