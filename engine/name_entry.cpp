#include "engine/name_entry.h"

#include <allegro.h>

#include <cstring>

#include "engine/graphics_engine.h"
#include "engine/input.h"

static bool Ignored(int s) {
  return (s >= KEY_F1 && s <= KEY_ESC) || s == KEY_TAB || s == KEY_STOP || (s >= KEY_INSERT && s <= KEY_DOWN) ||
         s == KEY_DEL_PAD || (s >= KEY_PRTSCR && s <= KEY_NOCONVERT) || s == KEY_COLON2 || s == KEY_KANJI;
}

int EditName(char* text, int key, int maxLength) {
  int s = key >> 8;
  if (s <= 0 || s > KEY_SEMICOLON) return 0;
  if (s == KEY_ENTER || s == KEY_ENTER_PAD) return -1;
  int n = static_cast<int>(std::strlen(text));
  if (s == KEY_BACKSPACE) {
    if (n > 0) text[n - 1] = '\0';
    return 0;
  }
  if (Ignored(s)) return 0;
  if (n < maxLength) {
    // The character comes from the scancode, so shift and caps lock don't
    // matter. Only printable characters go into a name: it is drawn with the
    // game's font and saved in the score file.
    int c = input.ScancodeToAscii(s);
    if (c >= 32 && c <= 126) {
      text[n] = static_cast<char>(c);
      text[n + 1] = '\0';
    }
  }
  return 0;
}
