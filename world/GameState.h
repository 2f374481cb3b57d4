#pragma once

#include <cstdint>

enum class GameState : int32_t {
    Waiting = 0,    // level built, start screen shown, nothing moves
    Countdown = 1,  // three seconds before the flight; the world moves, the player does not
    Playing = 2,    // the timed run
    Lost = 3,
    Won = 4,
};
