// The program's loop: title, menu, the game and the closing sequence, until
// Quit is chosen; and what the program does on every ordinary end.
#pragma once

// Title, menu, game and closing sequence, until Quit is chosen.
void RunProgramLoop();

// The end of the program, however it comes (the return from main, a yes to
// the quit question, a signal from outside): the game being played is kept
// as a replay, a name being typed on the title goes into the table and into
// its game's replay, the table is saved, and a game played for the online
// table is sent (a few seconds at most; else it waits in the outbox).
void KeepThePlayersWork();
