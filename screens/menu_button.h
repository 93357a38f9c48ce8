// Buttons the menu gained beside its four pictures, drawn in their style: the
// Help button's panel with its word taken out and another word in its place.
#pragma once

struct BITMAP;

// A 256 x 64 button showing `word`. Made after the graphics mode is set;
// the caller releases it. Null when it could not be made.
BITMAP* MakeMenuButton(const char* word);
