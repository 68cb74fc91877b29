// How the process ends: the termination signals turned into the game's own
// request to end, and a bound on how long the end may take.
#pragma once

#include <csignal>

// Set once SIGTERM or SIGINT has arrived; the game then ends as a closed
// window does, at the next check.
extern volatile std::sig_atomic_t Shutdown_requested;
// Seconds the end may take once it has begun.
extern unsigned Shutdown_limit;

// Takes SIGTERM and SIGINT from here on (SDL keeps handlers it finds in
// place): each sets Shutdown_requested.
void Shutdown_catchSignals();
// Ends the process with status 0, as a closed window does, when a signal
// has asked for it; otherwise does nothing.
void Shutdown_ifRequested();
// Starts the clock on the end: a process still there Shutdown_limit seconds
// later (the multimedia layer stuck in its shutdown) ends with status 1.
void Shutdown_bound();
