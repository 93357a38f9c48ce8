// The fades' translucent draw, done by the engine itself on 16-bit memory
// bitmaps: the library's draw_trans_sprite calls its blender through a function
// pointer for every pixel, which made each fade step cost more than a whole
// frame of play. The result is the library's own, pixel for pixel.
#pragma once

struct BITMAP;

// Same as set_trans_blender(0, 0, 0, alpha) followed by
// draw_trans_sprite(dst, src, 0, 0): pixels of src's mask colour are left out,
// every other destination pixel moves toward src's, and the blender is left set
// to (0, 0, 0, alpha). Bitmaps that aren't both 16-bit memory bitmaps go to the
// library.
void DrawTranslucent(BITMAP* dst, BITMAP* src, int alpha);
