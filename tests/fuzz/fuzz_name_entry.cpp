// Any sequence of key values typed into a name, as on the title screen: a
// 21-byte buffer and a limit of 20 characters, on a keyboard whose layout the
// input also chooses (a scancode may give any character, or none). After every
// key the name is terminated, at most 20 characters long and printable; a key
// changes it by at most one character at its end; Enter ends the entry and
// only Enter does.
//
// Input: records of five bytes. An even first byte types the key value made of
// the next four (little-endian, any int); an odd one changes the layout: the
// scancode in the second byte now gives the character in the third.
#include <allegro.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/graphics_engine.h"
#include "engine/name_entry.h"
#include "fuzz_support.h"
#include "game/high_scores.h"
#include "support/scripted_platform.h"

namespace {

constexpr int kBufferSize = kNameLength + 1;  // the title screen's name buffers

// The keyboard of this input.
class FuzzKeyboard : public ScriptedPlatform {
 public:
  void Reset() {
    for (int s = 0; s < 128; ++s) layout_[s] = ScriptedPlatform::ScancodeToAscii(s);
  }
  void Map(int scancode, int character) { layout_[scancode & 127] = character; }
  int ScancodeToAscii(int scancode) override { return scancode >= 0 && scancode < 128 ? layout_[scancode] : 0; }

 private:
  int layout_[128] = {};
};

FuzzKeyboard keyboard;

bool Printable(const char* text) {
  for (const char* c = text; *c; ++c)
    if (*c < 32 || *c > 126) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::SetUpGame();
  engine.SetPlatform(&keyboard);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  keyboard.Reset();
  // Exactly the buffer's size on the heap, so a byte written past it is seen.
  char* name = static_cast<char*>(std::calloc(kBufferSize, 1));
  char before[kBufferSize];
  for (size_t at = 0; at + 5 <= size; at += 5) {
    const uint8_t* record = data + at;
    if (record[0] & 1) {
      keyboard.Map(record[1], record[2]);
      continue;
    }
    const int key = static_cast<int>(static_cast<uint32_t>(record[1]) | static_cast<uint32_t>(record[2]) << 8 |
                                     static_cast<uint32_t>(record[3]) << 16 | static_cast<uint32_t>(record[4]) << 24);
    std::memcpy(before, name, kBufferSize);
    const size_t length = std::strlen(before);
    const int result = EditName(name, key, kNameLength);

    fuzz::Require(std::memchr(name, 0, kBufferSize) != nullptr, "name terminated");
    const size_t now = std::strlen(name);
    fuzz::Require(now <= static_cast<size_t>(kNameLength), "name at most 20 characters");
    fuzz::Require(Printable(name), "only printable characters in a name");
    const int scancode = key >> 8;
    const bool enter = scancode == KEY_ENTER || scancode == KEY_ENTER_PAD;
    fuzz::Require(result == (enter ? -1 : 0), "Enter, and only Enter, ends the entry");
    if (enter) fuzz::Require(std::strcmp(name, before) == 0, "Enter leaves the name as it is");
    if (now > length) {
      fuzz::Require(now == length + 1 && std::strncmp(name, before, length) == 0, "one character added at the end");
    } else if (now < length) {
      fuzz::Require(now + 1 == length && std::strncmp(name, before, now) == 0, "the last character taken back");
    } else {
      fuzz::Require(std::strcmp(name, before) == 0, "otherwise the name is unchanged");
    }
  }
  std::free(name);
  return 0;
}
