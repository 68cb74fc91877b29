#include <cstdio>

#include "game/game.h"

GameRecord theGame = {
    .state = STATE_WAIT,
    .ani = ani,
    .intpl = intpl,
    .coll = coll,
    .spr = spr,
    .snd = snd,
    .heightMin = 0,
    .heightMax = 0,
    .angleMin = 0,
    .height2ang = 0,
    .launchSpeed = 0,
    .stickAngle = 0,
    .stuck = 0,
    .distPerPixel = 0,
    .pixelsPerDist = 0,
    .bestDistance = 0,
    .lastDistance = 0,
    .screenWidth = 640,
    .screenHeight = 480,
    .scratch = {},
    .scratchCount = 0,
};

void Game_init() {
    GameRecord* game = &theGame;
    game->state = STATE_WAIT;
    game->screenWidth = 640;
    game->screenHeight = 480;
    game->stickAngle = -9102; // -49.998779 degrees
    game->scratchCount = 0;

    init_sprites();
    init_animations();
    init_interpolations();
    init_collisions();

    game->heightMin = 0x003DB850; // 61.71997 px
    game->heightMax = 0x00AA4937; // 170.28600 px
    game->angleMin = 1820;        // 9.9976 degrees
    game->height2ang = 108;       // 0.59326 degrees per pixel
    printf("height2ang: %f\n", game->height2ang / 65536.0);
    int32_t maxAngle = game->angleMin + fixmul(game->heightMax - game->heightMin, game->height2ang);
    printf("ang.max: %f\n", maxAngle * 360 / 65536.0);

    game->launchSpeed = 0x001EA000;   // 30.625 px per frame
    game->distPerPixel = 5557;        // 0.0847931 distance units per px
    game->pixelsPerDist = 0x000BCB01; // 11.79298 px per distance unit
    game->bestDistance = 0;
}
