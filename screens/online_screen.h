// The "Online scores" screen, opened from the menu with O: the score server's
// best ten, the name the player's games are listed under (typed here) and
// whether games are sent; without a server it says how to set one.
#pragma once

struct BITMAP;
struct MusicTrack;

// Runs the screen over the menu's music until Enter (which keeps a name
// typed), Escape or a click.
void RunOnlineScores(MusicTrack* track);

// The menu's "Online scores" button, drawn in the style of the menu's own
// buttons from the Help button's picture. Made when the menu shows (after the
// graphics mode is set), released when it hides. Null when it could not be
// made.
BITMAP* MakeOnlineButton();
