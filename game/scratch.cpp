#include <climits>
#include <cstdint>

#include "game/game.h"

// At or below this height (56.29997 px) the bird's centre is near enough to
// the snow to scrape it.
static constexpr fixed SCRATCH_NEAR_Y = 0x00384CCB;

uint8_t Scratch_do(GameRecord* game, uint8_t touching) {
    if (game == nullptr) {
        return 0;
    }
    fixed x = game->spr[SPR_BIRD].x.value;
    uint8_t count = game->scratchCount;
    ScratchMark* last = (count > 0 && count <= SCRATCH_MAX) ? &game->scratch[count - 1] : nullptr;

    if (touching != 1 && game->spr[SPR_BIRD].y.value > SCRATCH_NEAR_Y) {
        if (last != nullptr) {
            last->active = 0;
        }
        return 0;
    }
    if (last != nullptr && last->active) {
        last->endX = x;
        Scratch_scale(game);
        return 1;
    }
    if (count >= SCRATCH_MAX) {
        return 1;
    }
    ScratchMark* mark = &game->scratch[count];
    mark->startX = x;
    mark->endX = x;
    mark->active = 1;
    game->scratchCount = count + 1;
    Scratch_scale(game);
    return 1;
}

void Scratch_scale(GameRecord* game) {
    if (game == nullptr || game->scratchCount == 0 || game->scratchCount > SCRATCH_MAX) {
        return;
    }
    ScratchMark* mark = &game->scratch[game->scratchCount - 1];
    double w = game->spr[SPR_SCRATCH].src.w * 65536.0;
    if (w == 0) {
        // Without an image there is no width to stretch: keep the natural zoom.
        mark->scaleX = FIX_ONE;
        return;
    }
    int64_t d = wrap_sub(mark->endX, mark->startX);
    if (d < 0) {
        d = -d;
    }
    double scale = ((static_cast<double>(d) + w) / 65536) / (w / 65536) * 65536;
    // Only a one-pixel image and a mark across most of the number range get here.
    mark->scaleX = scale >= static_cast<double>(INT32_MAX) ? INT32_MAX : static_cast<fixed>(scale);
}

void Scratch_reset(GameRecord* game) {
    if (game == nullptr) {
        return;
    }
    game->scratchCount = 0;
}
