// A checksum of everything a game is at a step: the game's state value, byte
// by byte, and the objects of play that live outside it (the enemies, the
// ship, the shots, the humans, the spawn-ins, where the boss's parts stand).
// Two games from the same seed and actions have the same checksum at every
// step; a replay keeps one every few seconds, so that one that departs from
// its game says where.
#pragma once

#include <cstdint>

uint32_t GameStateChecksum();
