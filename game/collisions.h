#pragma once

// Decides every hit of a logic step, after everything has moved: bullets
// against enemies, missiles and humans; enemies and missiles against the ship;
// then the boss's own check.
void ResolveCollisions();
