#pragma once

// The title screen: the title music, the logo sliding in, the high-score
// table with the entry of a qualifying score; closes on a click or a key and
// saves the table.
void RunTitleScreen();
