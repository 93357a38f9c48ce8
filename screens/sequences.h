#pragma once

// Three astronauts walk past a plane before each game.
void RunIntro();
// Three astronauts fall from the sky after each game, and before the program
// ends.
void RunClosingSequence();
