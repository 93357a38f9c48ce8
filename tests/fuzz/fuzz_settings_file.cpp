// Any bytes as the settings file, read twice: once as they are, and once cut
// at each newline into the values of every known entry, in a file otherwise
// well laid out. Whatever the file, reading gives six distinct keys that are
// real and not Escape, a scale of 0 to 2, volumes of 0 to 8 and three
// distinct gamepad buttons of 0 to 31, with a few short printable problem
// lines; a right value next to wrong ones is kept; and what was read, saved
// and read again is the same and has no problem: a damaged file is rewritten
// cleanly.
#include <allegro.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "fuzz_support.h"
#include "support/allegro_fixture.h"

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool Distinct(const int* values, int count) {
  for (int i = 0; i < count; ++i)
    for (int j = 0; j < i; ++j)
      if (values[i] == values[j]) return false;
  return true;
}

void RequireSound(const Settings& s, const std::vector<std::string>& problems) {
  for (int key : s.keys) {
    fuzz::Require(key >= 1 && key < KEY_MAX, "a key is a real scancode");
    fuzz::Require(key != KEY_ESC, "Escape is not a game key");
  }
  fuzz::Require(Distinct(s.keys, kSettingsKeyCount), "six keys, six actions");
  fuzz::Require(s.scale >= 0 && s.scale <= 4, "scale fit or 1 to 4");
  fuzz::Require(s.refresh == RefreshMode::kDisplay || s.refresh == RefreshMode::kStep, "a refresh there is");
  fuzz::Require(s.musicVolume >= 0 && s.musicVolume <= 8, "music volume 0 to 8");
  fuzz::Require(s.effectsVolume >= 0 && s.effectsVolume <= 8, "effects volume 0 to 8");
  const int pad[] = {s.padFire, s.padBomb, s.padStart};
  for (int button : pad) fuzz::Require(button >= 0 && button <= 31, "gamepad button 0 to 31");
  fuzz::Require(Distinct(pad, 3), "three buttons, three actions");
  fuzz::Require(s.server.empty() || IsServerUrl(s.server), "no server or an http(s) address");
  fuzz::Require(s.onlineName.empty() || IsOnlineName(s.onlineName), "no online name or a listable one");
  fuzz::Require(s.bestWave >= 1 && s.bestWave <= kLastWave, "a best wave of 1 to 20");
  fuzz::Require(problems.size() <= 40, "a few problem lines");
  for (const std::string& line : problems) {
    fuzz::Require(!line.empty() && line.size() <= 120, "a problem line is short");
    for (char c : line) fuzz::Require(c >= 0x20 && c < 0x7F, "a problem line is printable");
  }
}

// What was read survives saving and reading again, and reads cleanly.
void RequireCleanRewrite(const Settings& read) {
  const std::string saved = fuzz::ScratchFolder() + "/saved.cfg";
  fuzz::Require(SaveSettings(saved, read), "the settings are saved");
  std::vector<std::string> problems;
  fuzz::Require(LoadSettings(saved, &problems) == read, "saved and read again, the settings are the same");
  fuzz::Require(problems.empty(), "a saved file has no problem");
}

// The value as a number when it is plain digits that no reader could take
// for anything else; -1 otherwise.
int Plain(const std::string& value) {
  if (value.empty() || value.size() > 3) return -1;
  int n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

struct Known {
  const char* section;
  const char* name;
};
const Known kEntries[] = {
    {"display", "fullscreen"}, {"display", "scale"}, {"display", "refresh"}, {"sound", "music"},   {"sound", "effects"},
    {"sound", "muted"},        {"controls", "up"},   {"controls", "down"}, {"controls", "left"},
    {"controls", "right"},     {"controls", "fire"}, {"controls", "bomb"}, {"gamepad", "fire"},
    {"gamepad", "bomb"},       {"gamepad", "start"},    {"practice", "best_wave"},
};
constexpr int kEntryCount = sizeof kEntries / sizeof kEntries[0];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kav_test::InitHeadlessAllegro();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file = fuzz::ScratchFolder() + "/vevarnholt.cfg";
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // The bytes as they are.
  if (!WriteFile(file, bytes)) return 0;
  std::vector<std::string> problems;
  const Settings raw = LoadSettings(file, &problems);
  RequireSound(raw, problems);
  RequireCleanRewrite(raw);

  // The bytes as the values of a well laid out file.
  std::vector<std::string> values;
  for (size_t start = 0; start < size && static_cast<int>(values.size()) < kEntryCount;) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = size;
    values.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  std::string text;
  const char* section = "";
  for (size_t i = 0; i < values.size(); ++i) {
    if (std::string(section) != kEntries[i].section) {
      section = kEntries[i].section;
      text += std::string("[") + section + "]\n";
    }
    text += std::string(kEntries[i].name) + " = " + values[i] + "\n";
  }
  if (!WriteFile(file, text)) return 0;
  problems.clear();
  const Settings laid = LoadSettings(file, &problems);
  RequireSound(laid, problems);
  RequireCleanRewrite(laid);

  // A right value is kept whatever stands beside it. (A carriage return ends
  // a line too, and could add entries of its own: then nothing is promised.)
  if (text.find('\r') != std::string::npos) return 0;
  const auto value = [&](int i) { return i < static_cast<int>(values.size()) ? values[i] : std::string(); };
  if (value(0) == "yes" || value(0) == "no") fuzz::Require(laid.fullscreen == (value(0) == "yes"), "fullscreen kept");
  if (value(5) == "yes" || value(5) == "no") fuzz::Require(laid.muted == (value(5) == "yes"), "muted kept");
  if (Plain(value(1)) >= 0 && Plain(value(1)) <= 4) fuzz::Require(laid.scale == Plain(value(1)), "scale kept");
  if (value(1) == "fit") fuzz::Require(laid.scale == kScaleFit, "fit kept");
  if (value(2) == "step" || value(2) == "display")
    fuzz::Require(laid.refresh == (value(2) == "step" ? RefreshMode::kStep : RefreshMode::kDisplay), "refresh kept");
  if (Plain(value(3)) >= 0 && Plain(value(3)) <= 8) fuzz::Require(laid.musicVolume == Plain(value(3)), "music kept");
  if (Plain(value(4)) >= 0 && Plain(value(4)) <= 8)
    fuzz::Require(laid.effectsVolume == Plain(value(4)), "effects kept");
  int keys[kSettingsKeyCount];
  bool keysRight = true;
  for (int i = 0; i < kSettingsKeyCount; ++i) {
    keys[i] = Plain(value(6 + i));
    keysRight = keysRight && keys[i] >= 1 && keys[i] < KEY_MAX && keys[i] != KEY_ESC;
  }
  if (keysRight && Distinct(keys, kSettingsKeyCount))
    for (int i = 0; i < kSettingsKeyCount; ++i) fuzz::Require(laid.keys[i] == keys[i], "six right keys kept");
  const int pad[] = {Plain(value(12)), Plain(value(13)), Plain(value(14))};
  if (pad[0] >= 0 && pad[0] <= 31 && pad[1] >= 0 && pad[1] <= 31 && pad[2] >= 0 && pad[2] <= 31 &&
      Distinct(pad, 3)) {
    fuzz::Require(laid.padFire == pad[0] && laid.padBomb == pad[1] && laid.padStart == pad[2],
                  "three right buttons kept");
  }
  return 0;
}
