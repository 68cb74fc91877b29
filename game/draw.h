// The play screen, painted from scratch every frame, and the number display
// that writes distances with a digit font.
#pragma once

#include <SDL/SDL.h>

#include "game/game.h"

// The picture behind the scene: the background in the display's format once
// loaded (the promo and title pictures during start-up); null when missing.
extern SDL_Surface* bg;

void Game_draw(GameRecord* game);

// The text of a distance: up to three integer places and one tenth ("0",
// "12.5", "999.9"), written into at least 6 characters.
void printFixed(char* text, fixed value);
// Draws the text of value with font, glyph by glyph from the carrier's
// position (centred on it when centre is 1).
void Game_drawFixed(fixed value, Sprite* carrier, Animation* font, uint16_t pointFrame,
                    uint16_t digitBase, uint8_t centre, const View* view, uint16_t height);
