#include "screens/menu_button.h"

#include <allegro.h>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"

BITMAP* MakeMenuButton(const char* word) {
  BITMAP* help = engine.Bitmap(dat::kButtonHelp);
  if (!help || help->w != 256 || help->h != 64) return nullptr;
  BITMAP* button = create_bitmap(help->w, help->h);
  if (!button) return nullptr;
  blit(help, button, 0, 0, 0, 0, help->w, help->h);
  // The panel's gradient runs top to bottom only: one column clear of the
  // word, repeated across, gives the empty panel back.
  constexpr int kClearColumn = 22;
  for (int x = kClearColumn + 1; x < help->w - kClearColumn; ++x)
    blit(help, button, kClearColumn, 8, x, 8, 1, help->h - 16);
  FONT* font = engine.Font(dat::kFontMedium);
  const int y = (help->h - text_height(font)) / 2;
  textout_centre_ex(button, font, word, help->w / 2 + 2, y + 2, makecol(255, 58, 176), -1);
  textout_centre_ex(button, font, word, help->w / 2, y, makecol(255, 224, 96), -1);
  return button;
}
