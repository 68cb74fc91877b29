// The game's scene for the rule and drawing tests: each frame of each image
// strip one opaque colour of its own, a plain background, frames run as the
// main loop runs them and a scripted random source.
#pragma once

#include <string>

#include "game/draw.h"

constexpr uint32_t SCENE_BG = 0x050505;
extern SDL_Surface* Scene_background;
// Values Game_rand hands out in turn (the last one repeats), and its calls.
struct Scene_Rand {
    int values[2], count, calls;
};
extern Scene_Rand Scene_rand;

// Start-up's scene and record in state 0, animations stopped, no sound
// playing, lastDistance 0, Game_rand giving 127.
void Scene_new();
// One frame: actionInput set for this frame only, then the fixed step.
void Scene_frame(uint8_t press = 0);
// Names of the sounds started since the last call, in sound order.
std::string Scene_sounds();
// A w x 480 play screen, the previous one freed.
SDL_Surface* Scene_screen(int w = 640);
// What is drawn at (x, y): "bg", "-" (black), or the strip with its frame
// ("font3", "ice") within 3 per channel; and the runs of it along a row.
std::string Scene_at(int x, int y);
std::string Scene_runs(int y, int x0, int x1);
