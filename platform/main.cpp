// The process entry: hands over to the game's own entry, SDL_main, and ends
// the process with status 0 when it returns.
#include <cstdlib>

#include "platform/startup.h"

int main(int argc, char* argv[]) {
    SDL_main(argc, argv);
    return EXIT_SUCCESS;
}
