// What the desktop sees of the game: the window's name, and the keys and
// buttons a desktop player expects beyond the game's own.
#include <gtest/gtest.h>

#include "game/game.h"
#include "platform/main_loop.h"
#include "platform/startup.h"

TEST(Desktop, WindowIsNamedBeforeItOpens) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    Startup_nameWindow();
    char* title = nullptr;
    char* iconTitle = nullptr;
    SDL_WM_GetCaption(&title, &iconTitle);
    EXPECT_STREQ(title, "Snowpunt");
    EXPECT_STREQ(iconTitle, "Snowpunt");
    SDL_Quit();
}

TEST(Desktop, GamepadButtonActsLikeSpaceAndFullscreenKeyChangesNothingElse) {
    // The dummy display cannot switch to fullscreen: F11 must then do nothing.
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    screen = SDL_SetVideoMode(640, 480, 0, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    GameRecord game = {};
    game.state = STATE_SWING;
    struct Case {
        uint8_t type;
        SDLKey key;
        uint8_t action;
    };
    const Case cases[] = {
        {SDL_JOYBUTTONUP, SDLK_UNKNOWN, 1},   {SDL_JOYBUTTONDOWN, SDLK_UNKNOWN, 0},
        {SDL_JOYAXISMOTION, SDLK_UNKNOWN, 0}, {SDL_JOYHATMOTION, SDLK_UNKNOWN, 0},
        {SDL_JOYBALLMOTION, SDLK_UNKNOWN, 0}, {SDL_KEYUP, SDLK_F11, 0},
        {SDL_KEYDOWN, SDLK_F11, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        SDL_Event e = {};
        e.type = c.type;
        e.key.keysym.sym = c.key;
        actionInput = 0;
        EXPECT_EQ(Game_handleEvent(&game, &e), 0);
        EXPECT_EQ(actionInput, c.action);
        EXPECT_EQ(game.state, STATE_SWING);
    }
    screen = nullptr;
    SDL_Quit();
}
