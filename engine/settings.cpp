#include "engine/settings.h"

#include <allegro.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/atomic_file.h"

namespace {

static_assert(KEY_UP == 84 && KEY_DOWN == 85 && KEY_LEFT == 82 && KEY_RIGHT == 83 && KEY_Z == 26 &&
                  KEY_SPACE == 75,
              "the default keys in settings.h are Allegro's scancodes");
static_assert(KEY_MAX == 127, "the key-name table covers scancodes 1..126");

// A real settings file is a few hundred bytes; anything this large is not one,
// and the library's parser would take it all into memory.
constexpr long kMaxFileSize = 1L << 20;
// Beyond this many, unknown entries (a file of some other kind) are counted.
constexpr int kMaxUnknownReports = 8;
// Longest piece of the file's own text quoted in a problem line.
constexpr size_t kMaxQuoted = 24;

const char* const kDisplay = "display";
const char* const kSound = "sound";
const char* const kControls = "controls";
const char* const kGamepad = "gamepad";
const char* const kOnline = "online";
const char* const kPractice = "practice";

const char* const kKeyEntries[kSettingsKeyCount] = {"up", "down", "left", "right", "fire", "bomb"};
const char* const kKeyActions[kSettingsKeyCount] = {"up", "down", "left", "right", "fire", "smart bomb"};
constexpr int kPadCount = 3;
const char* const kPadEntries[kPadCount] = {"fire", "bomb", "start"};

// Indexed by scancode, as Allegro numbers them.
const char* const kKeyNames[KEY_MAX] = {
    nullptr,     "A",          "B",         "C",          "D",         "E",          "F",
    "G",         "H",          "I",         "J",          "K",         "L",          "M",
    "N",         "O",          "P",         "Q",          "R",         "S",          "T",
    "U",         "V",          "W",         "X",          "Y",         "Z",          "0",
    "1",         "2",          "3",         "4",          "5",         "6",          "7",
    "8",         "9",          "0_PAD",     "1_PAD",      "2_PAD",     "3_PAD",      "4_PAD",
    "5_PAD",     "6_PAD",      "7_PAD",     "8_PAD",      "9_PAD",     "F1",         "F2",
    "F3",        "F4",         "F5",        "F6",         "F7",        "F8",         "F9",
    "F10",       "F11",        "F12",       "ESC",        "TILDE",     "MINUS",      "EQUALS",
    "BACKSPACE", "TAB",        "OPENBRACE", "CLOSEBRACE", "ENTER",     "COLON",      "QUOTE",
    "BACKSLASH", "BACKSLASH2", "COMMA",     "STOP",       "SLASH",     "SPACE",      "INSERT",
    "DEL",       "HOME",       "END",       "PGUP",       "PGDN",      "LEFT",       "RIGHT",
    "UP",        "DOWN",       "SLASH_PAD", "ASTERISK",   "MINUS_PAD", "PLUS_PAD",   "DEL_PAD",
    "ENTER_PAD", "PRTSCR",     "PAUSE",     "ABNT_C1",    "YEN",       "KANA",       "CONVERT",
    "NOCONVERT", "AT",         "CIRCUMFLEX", "COLON2",    "KANJI",     "EQUALS_PAD", "BACKQUOTE",
    "SEMICOLON", "COMMAND",    "UNKNOWN1",  "UNKNOWN2",   "UNKNOWN3",  "UNKNOWN4",   "UNKNOWN5",
    "UNKNOWN6",  "UNKNOWN7",   "UNKNOWN8",  "LSHIFT",     "RSHIFT",    "LCONTROL",   "RCONTROL",
    "ALT",       "ALTGR",      "LWIN",      "RWIN",       "MENU",      "SCRLOCK",    "NUMLOCK",
    "CAPSLOCK",
};
static_assert(KEY_0_PAD == 37 && KEY_F1 == 47 && KEY_ESC == 59 && KEY_ENTER == 67 && KEY_PGUP == 80 &&
                  KEY_ENTER_PAD == 91 && KEY_COMMAND == 106 && KEY_LSHIFT == 115 && KEY_CAPSLOCK == 126,
              "the key-name table follows Allegro's numbering");

// The library's configuration is one global state: ours is pushed over the
// drivers' allegro.cfg and popped again on every way out.
class ConfigScope {
 public:
  ConfigScope() { push_config_state(); }
  ~ConfigScope() { pop_config_state(); }
  ConfigScope(const ConfigScope&) = delete;
  ConfigScope& operator=(const ConfigScope&) = delete;
};

// Text from the file as it may appear in a message: printable and short.
std::string Quote(const char* text) {
  std::string out;
  for (const char* c = text; *c; ++c) {
    if (out.size() == kMaxQuoted) return out + "...";
    const unsigned char u = static_cast<unsigned char>(*c);
    out += u >= 0x20 && u < 0x7F ? static_cast<char>(u) : '?';
  }
  return out;
}

bool SameName(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

// The file is ASCII. The library reads text as UTF-8 and loops for ever on a
// sequence that decodes above 0x3FFFFFFF (FD AE 86 90 9E AF is enough), so no
// other byte may reach it; a NUL would only cut a line short.
void MakeAscii(std::string* bytes) {
  for (char& c : *bytes)
    if (c == '\0' || static_cast<unsigned char>(c) >= 0x80) c = '?';
}

// Reads a whole regular file of at most kMaxFileSize bytes. Absent: false with
// no problem. A named pipe or a device would block or never end, so only a
// regular file is read.
bool ReadFileBytes(const std::string& path, std::string* bytes, std::string* problem) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) *problem = std::string("settings file cannot be read: ") + std::strerror(errno);
    return false;
  }
  struct stat info;
  bool ok = false;
  if (fstat(fd, &info) != 0) {
    *problem = std::string("settings file cannot be read: ") + std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    *problem = "settings file is not a regular file";
  } else if (info.st_size > kMaxFileSize) {
    *problem = "settings file is larger than 1 MiB";
  } else {
    ok = true;
    char buffer[4096];
    for (;;) {
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got == 0) break;
      if (got < 0) {
        if (errno == EINTR) continue;
        *problem = std::string("settings file cannot be read: ") + std::strerror(errno);
        ok = false;
        break;
      }
      bytes->append(buffer, static_cast<size_t>(got));
      if (static_cast<long>(bytes->size()) > kMaxFileSize) {  // grew while we read
        *problem = "settings file is larger than 1 MiB";
        ok = false;
        break;
      }
    }
  }
  close(fd);
  return ok;
}

// Reads entries from the configuration currently set, reporting wrong ones.
class EntryReader {
 public:
  explicit EntryReader(std::vector<std::string>* problems) : problems_(problems) {}

  void Report(const std::string& line) {
    if (problems_) problems_->push_back(line);
  }

  // The entry's text; "" when it is there without a value; nothing when absent.
  std::optional<std::string> Text(const char* section, const char* name) {
    const char* value = get_config_string(section, name, nullptr);
    if (value) return std::string(value);
    // The library answers the same for an empty value and a missing entry.
    const char** names = nullptr;
    const int count = list_config_entries(section, &names);
    bool present = false;
    for (int i = 0; i < count && !present; ++i) present = SameName(names[i], name);
    free_config_entries(&names);
    if (present) return std::string();
    return std::nullopt;
  }

  // A plain decimal number; nothing (reported when present) otherwise. The
  // library's get_config_int would read "7abc" as 7 and "010" as 8. A number
  // too large for any type is read as the largest (or smallest) there is,
  // which every range here refuses.
  std::optional<long long> Number(const char* section, const char* name, const std::string& label) {
    const std::optional<std::string> text = Text(section, name);
    if (!text) return std::nullopt;
    if (text->empty()) {
      Report(label + ": no value");
      return std::nullopt;
    }
    const char* first = text->c_str();
    const char* last = first + text->size();
    long long value = 0;
    const std::from_chars_result read = std::from_chars(first, last, value);
    const bool digitsAfterSign = text->size() > (text->front() == '-' ? 1u : 0u) && text->front() != '+';
    if (!digitsAfterSign || read.ptr != last || (read.ec != std::errc() && read.ec != std::errc::result_out_of_range)) {
      Report(label + ": \"" + Quote(text->c_str()) + "\" is not a number");
      return std::nullopt;
    }
    if (read.ec == std::errc::result_out_of_range)
      value = text->front() == '-' ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
    return value;
  }

  // A number in lo..hi, or the fallback.
  int InRange(const char* section, const char* name, const std::string& label, int lo, int hi, int fallback) {
    const std::optional<long long> value = Number(section, name, label);
    if (!value) return fallback;
    if (*value < lo || *value > hi) {
      Report(label + ": " + Quote(get_config_string(section, name, "")) + " is not " + std::to_string(lo) +
             " to " + std::to_string(hi));
      return fallback;
    }
    return static_cast<int>(*value);
  }

  bool YesNo(const char* section, const char* name, const std::string& label, bool fallback) {
    const std::optional<std::string> text = Text(section, name);
    if (!text) return fallback;
    for (const char* yes : {"yes", "true", "on", "1"})
      if (SameName(text->c_str(), yes)) return true;
    for (const char* no : {"no", "false", "off", "0"})
      if (SameName(text->c_str(), no)) return false;
    if (text->empty())
      Report(label + ": no value");
    else
      Report(label + ": \"" + Quote(text->c_str()) + "\" is not yes or no");
    return fallback;
  }

  // Sections and entries the game doesn't know: a typo is worth a line, a
  // file of another kind a count.
  void ReportUnknown() {
    constexpr int kMaxKnown = 2 * kSettingsKeyCount + 1;  // the section, then its entries
    static const char* const kKnown[][kMaxKnown] = {
        {kDisplay, "fullscreen", "scale", "refresh"},
        {kSound, "music", "effects", "muted"},
        {kControls, "up", "down", "left", "right", "fire", "bomb", "up_name", "down_name", "left_name",
         "right_name", "fire_name", "bomb_name"},
        {kGamepad, "fire", "bomb", "start"},
        {kOnline, "server", "name"},
        {kPractice, "best_wave"},
    };
    std::set<std::string> seen;  // a section given twice (in any case) is one
    const char** sections = nullptr;
    const int sectionCount = list_config_sections(&sections);
    for (int s = 0; s < sectionCount; ++s) {
      std::string section = sections[s];
      if (section.size() >= 2 && section.front() == '[' && section.back() == ']')
        section = section.substr(1, section.size() - 2);
      std::string folded = section;
      for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (!seen.insert(folded).second) continue;
      const char* const* known = nullptr;
      for (const auto& entry : kKnown)
        if (SameName(entry[0], folded.c_str())) known = entry;
      if (!known) {
        Unknown("unknown section [" + Quote(section.c_str()) + "]");
        continue;
      }
      const char** names = nullptr;
      const int count = list_config_entries(sections[s], &names);
      for (int i = 0; i < count; ++i) {
        bool isKnown = false;
        for (int k = 1; k < kMaxKnown && known[k]; ++k) isKnown = isKnown || SameName(known[k], names[i]);
        if (!isKnown) Unknown("unknown entry \"" + Quote(names[i]) + "\" in [" + Quote(section.c_str()) + "]");
      }
      free_config_entries(&names);
    }
    free_config_entries(&sections);

    const char** names = nullptr;
    const int count = list_config_entries(nullptr, &names);
    for (int i = 0; i < count; ++i) Unknown("unknown entry \"" + Quote(names[i]) + "\" before any section");
    free_config_entries(&names);

    if (unknown_ > kMaxUnknownReports)
      Report("and " + std::to_string(unknown_ - kMaxUnknownReports) + " more unknown entries");
  }

 private:
  void Unknown(const std::string& line) {
    if (++unknown_ <= kMaxUnknownReports) Report(line);
  }

  std::vector<std::string>* problems_;
  int unknown_ = 0;
};

// Two actions on one key (or button): the later one takes its default; if
// that still leaves two on one, all take their defaults.
void SeparateChoices(int* values, const int* defaults, int count, const char* const* labels, const char* what,
                     const char* whole, EntryReader& reader) {
  for (int i = 1; i < count; ++i) {
    for (int j = 0; j < i; ++j) {
      if (values[i] != values[j]) continue;
      reader.Report(std::string(labels[i]) + " " + what + ": same " + what + " as " + labels[j]);
      values[i] = defaults[i];
      break;
    }
  }
  for (int i = 1; i < count; ++i) {
    for (int j = 0; j < i; ++j) {
      if (values[i] != values[j]) continue;
      reader.Report(std::string(whole) + ": two actions still share one " + what + ", all reset");
      for (int k = 0; k < count; ++k) values[k] = defaults[k];
      return;
    }
  }
}

// "fit" or a whole scale; 0, which files of earlier versions hold for the
// automatic choice, is fit too.
int ReadScale(EntryReader& reader, int fallback) {
  const std::optional<std::string> text = reader.Text(kDisplay, "scale");
  if (!text) return fallback;
  if (SameName(text->c_str(), "fit")) return kScaleFit;
  const char* first = text->c_str();
  const char* last = first + text->size();
  int value = -1;
  const std::from_chars_result read = std::from_chars(first, last, value);
  if (!text->empty() && text->front() != '-' && read.ec == std::errc() && read.ptr == last && value >= 0 &&
      value <= kLargestScale)
    return value;
  if (text->empty())
    reader.Report("scale: no value");
  else
    reader.Report("scale: \"" + Quote(first) + "\" is not fit or 1 to " + std::to_string(kLargestScale));
  return fallback;
}

RefreshMode ReadRefresh(EntryReader& reader, RefreshMode fallback) {
  const std::optional<std::string> text = reader.Text(kDisplay, "refresh");
  if (!text) return fallback;
  if (SameName(text->c_str(), "display")) return RefreshMode::kDisplay;
  if (SameName(text->c_str(), "step")) return RefreshMode::kStep;
  if (text->empty())
    reader.Report("refresh: no value");
  else
    reader.Report("refresh: \"" + Quote(text->c_str()) + "\" is not display or step");
  return fallback;
}

Settings ReadCurrentConfig(EntryReader& reader) {
  const Settings defaults;
  Settings s;
  s.fullscreen = reader.YesNo(kDisplay, "fullscreen", "fullscreen", defaults.fullscreen);
  s.scale = ReadScale(reader, defaults.scale);
  s.refresh = ReadRefresh(reader, defaults.refresh);
  s.musicVolume = reader.InRange(kSound, "music", "music volume", 0, kVolumeSteps, defaults.musicVolume);
  s.effectsVolume = reader.InRange(kSound, "effects", "effects volume", 0, kVolumeSteps, defaults.effectsVolume);
  s.muted = reader.YesNo(kSound, "muted", "muted", defaults.muted);

  for (int i = 0; i < kSettingsKeyCount; ++i) {
    const std::string label = std::string(kKeyActions[i]) + " key";
    const std::optional<long long> key = reader.Number(kControls, kKeyEntries[i], label);
    if (!key) continue;
    if (*key < 1 || *key >= KEY_MAX)
      reader.Report(label + ": " + Quote(get_config_string(kControls, kKeyEntries[i], "")) + " is not a key");
    else if (*key == KEY_ESC)
      reader.Report(label + ": Escape cannot be a game key");
    else
      s.keys[i] = static_cast<int>(*key);
  }
  SeparateChoices(s.keys, defaults.keys, kSettingsKeyCount, kKeyActions, "key", "game keys", reader);

  const int padDefaults[kPadCount] = {defaults.padFire, defaults.padBomb, defaults.padStart};
  int pad[kPadCount];
  const char* const padLabels[kPadCount] = {"gamepad fire", "gamepad bomb", "gamepad start"};
  for (int i = 0; i < kPadCount; ++i)
    pad[i] = reader.InRange(kGamepad, kPadEntries[i], std::string(padLabels[i]) + " button", 0,
                            kPadButtonCount - 1, padDefaults[i]);
  SeparateChoices(pad, padDefaults, kPadCount, padLabels, "button", "gamepad buttons", reader);
  s.padFire = pad[0];
  s.padBomb = pad[1];
  s.padStart = pad[2];

  // Empty is the default of both, and no fault.
  if (const std::optional<std::string> server = reader.Text(kOnline, "server"); server && !server->empty()) {
    if (IsServerUrl(*server))
      s.server = *server;
    else
      reader.Report("server: \"" + Quote(server->c_str()) + "\" is not an http:// or https:// address");
  }
  if (const std::optional<std::string> name = reader.Text(kOnline, "name"); name && !name->empty()) {
    if (IsOnlineName(*name))
      s.onlineName = *name;
    else
      reader.Report("online name: \"" + Quote(name->c_str()) + "\" is not 1 to 20 printable characters");
  }
  s.bestWave = reader.InRange(kPractice, "best_wave", "best wave", 1, kLastWave, defaults.bestWave);

  reader.ReportUnknown();
  return s;
}

struct Entry {
  const char* section;
  std::string name;
  std::string value;
};

// Every entry of the file, in the order it is laid out.
std::vector<Entry> EntriesOf(const Settings& s) {
  std::vector<Entry> entries = {
      {kDisplay, "fullscreen", s.fullscreen ? "yes" : "no"},
      {kDisplay, "scale", s.scale == kScaleFit ? "fit" : std::to_string(s.scale)},
      {kDisplay, "refresh", s.refresh == RefreshMode::kStep ? "step" : "display"},
      {kSound, "music", std::to_string(s.musicVolume)},
      {kSound, "effects", std::to_string(s.effectsVolume)},
      {kSound, "muted", s.muted ? "yes" : "no"},
  };
  for (int i = 0; i < kSettingsKeyCount; ++i) {
    entries.push_back({kControls, kKeyEntries[i], std::to_string(s.keys[i])});
    if (const char* name = KeyConstantName(s.keys[i]))
      entries.push_back({kControls, std::string(kKeyEntries[i]) + "_name", name});
  }
  entries.push_back({kGamepad, "fire", std::to_string(s.padFire)});
  entries.push_back({kGamepad, "bomb", std::to_string(s.padBomb)});
  entries.push_back({kGamepad, "start", std::to_string(s.padStart)});
  entries.push_back({kOnline, "server", s.server});
  entries.push_back({kOnline, "name", s.onlineName});
  entries.push_back({kPractice, "best_wave", std::to_string(s.bestWave)});
  return entries;
}

// The library's writer reports no error: a full disk leaves a short file
// behind without a word. So what it wrote is read back before it is trusted.
bool HoldsEvery(const std::string& path, const std::vector<Entry>& entries) {
  std::string bytes, problem;
  if (!ReadFileBytes(path, &bytes, &problem) || bytes.empty() || bytes.back() != '\n') return false;
  MakeAscii(&bytes);
  ConfigScope scope;
  set_config_data(bytes.data(), static_cast<int>(bytes.size()));
  for (const Entry& e : entries) {
    const char* value = get_config_string(e.section, e.name.c_str(), nullptr);
    // The library drops an entry set to "": absent is how an empty one reads.
    if (e.value.empty() ? value && *value : !value || e.value != value) return false;
  }
  return true;
}

// The folder of the settings file; only its last level is made, so a missing
// home folder is never created.
bool FolderReady(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return true;
  const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
  struct stat info;
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  return errno == ENOENT && mkdir(folder.c_str(), 0700) == 0;
}

}  // namespace

bool operator==(const Settings& a, const Settings& b) {
  for (int i = 0; i < kSettingsKeyCount; ++i)
    if (a.keys[i] != b.keys[i]) return false;
  return a.fullscreen == b.fullscreen && a.scale == b.scale && a.refresh == b.refresh && a.musicVolume == b.musicVolume &&
         a.effectsVolume == b.effectsVolume && a.muted == b.muted && a.padFire == b.padFire &&
         a.padBomb == b.padBomb && a.padStart == b.padStart && a.server == b.server &&
         a.onlineName == b.onlineName && a.bestWave == b.bestWave;
}

bool IsServerUrl(const std::string& url) {
  if (url.size() > kServerUrlLength) return false;
  size_t host = 0;
  if (url.compare(0, 7, "http://") == 0)
    host = 7;
  else if (url.compare(0, 8, "https://") == 0)
    host = 8;
  else
    return false;
  if (url.size() == host || url[host] == '/') return false;
  for (char c : url)
    if (c <= ' ' || c >= 0x7F) return false;
  return true;
}

bool IsOnlineName(const std::string& name) {
  if (name.empty() || name.size() > kOnlineNameLength) return false;
  bool onlySpaces = true;
  for (char c : name) {
    if (c < ' ' || c >= 0x7F) return false;
    if (c != ' ') onlySpaces = false;
  }
  return !onlySpaces;
}

Settings DefaultSettings() { return Settings(); }

const char* KeyConstantName(int scancode) {
  if (scancode < 1 || scancode >= KEY_MAX) return nullptr;
  return kKeyNames[scancode];
}

Settings LoadSettings(const std::string& path, std::vector<std::string>* problems) {
  std::string bytes, problem;
  if (!ReadFileBytes(path, &bytes, &problem)) {
    if (!problem.empty() && problems) problems->push_back(problem);
    return DefaultSettings();
  }
  if (bytes.empty()) return DefaultSettings();
  MakeAscii(&bytes);
  EntryReader reader(problems);
  ConfigScope scope;
  set_config_data(bytes.data(), static_cast<int>(bytes.size()));
  return ReadCurrentConfig(reader);
}

bool SaveSettings(const std::string& path, const Settings& settings) {
  if (path.empty() || path.back() == '/') return false;
  // A settings file the player made read-only stays as it is. (The permission
  // bits are asked, not access(): the superuser may write anything.)
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  if (!FolderReady(path)) return false;

  // A temporary file left by a run that died mid-write goes first: the
  // library would read it in and write its entries back out. unlink, unlike
  // remove, never takes away a folder standing in its place.
  const std::string temporary = path + ".tmp";
  if (unlink(temporary.c_str()) != 0 && errno != ENOENT) return false;

  const std::vector<Entry> entries = EntriesOf(settings);
  {
    ConfigScope scope;
    set_config_file(temporary.c_str());
    for (const Entry& e : entries) set_config_string(e.section, e.name.c_str(), e.value.c_str());
    flush_config_file();
  }
  // On the disk before it replaces the old file, and the rename itself kept:
  // a power cut leaves the old settings or the new ones, never an empty file.
  if (!HoldsEvery(temporary, entries) || !SyncFile(temporary) || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolderOf(path);
  return true;
}
