// One step's actions: the game keys held on that step, one bit each. A game
// reads exactly one such byte a step, from the player or a recording.
#pragma once

#include <cstdint>

constexpr uint8_t kActionUp = 1 << 0;
constexpr uint8_t kActionDown = 1 << 1;
constexpr uint8_t kActionLeft = 1 << 2;
constexpr uint8_t kActionRight = 1 << 3;
constexpr uint8_t kActionFire = 1 << 4;
constexpr uint8_t kActionBomb = 1 << 5;
constexpr uint8_t kActionMask = 0x3F;
