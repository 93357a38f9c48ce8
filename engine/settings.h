// The player's lasting choices: the six game keys, full screen or window, the
// scale, the two volumes, muting and the gamepad buttons. They live in a plain
// INI file read and written with Allegro's configuration routines, laid out so
// that a player can edit it:
//
//   [display]
//   fullscreen = yes     yes or no (true/false, on/off and 1/0 are read too)
//   scale = fit          fit (full screen: the largest 4:3 picture that
//                        fits the desktop; window: the largest whole scale
//                        that fits in 85 % of its height), or 1 to 4 for
//                        every pixel shown that many times (0 reads as fit)
//   refresh = display    display: a new frame at every refresh of the
//                        display, the motion drawn between the game's
//                        steps; step: one frame a step (50 a second)
//   [sound]
//   music = 8            0 (silent) to 8 (full)
//   effects = 8
//   muted = no
//   [controls]
//   up = 84              an Allegro scancode, 1 to 126, never Escape (59)
//   up_name = UP         the key's name, written for the reader and ignored
//                        on reading: to change a key, change the number
//   down, left, right, fire, bomb (each with its _name)
//   [gamepad]
//   fire = 0             button numbers 0 to 31
//   bomb = 1
//   start = 7
//   [online]
//   server =             the score server, http://HOST[:PORT][/PATH] or
//                        https://...; empty (the default): the game never
//                        touches the network
//   name =               the name shown online: 1 to 20 printable ASCII
//                        characters, not all spaces; empty until chosen
//   [practice]
//   best_wave = 1        the highest wave a game from the menu has reached,
//                        1 to 20: Practice offers the waves up to it
//
// The file is ASCII: any other byte is read as '?'. Numbers are plain decimal
// ("7abc", "0x1A" and "" are wrong, not 7, 26, 0).
// Each wrong entry falls back to its own default and the rest are kept; two
// actions on one key give the later one its default (and if that still
// leaves two on one key, all six keys take theirs); the same holds for the
// three gamepad buttons. Unknown entries and sections are ignored.
//
// These functions use the library's configuration state only between a
// push_config_state and a pop_config_state, so the drivers' own allegro.cfg is
// never replaced. They work before or after the library's start-up (also with
// the display-less system driver of the tests). Main thread only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/display_modes.h"

constexpr int kSettingsKeyCount = 6;  // up, down, left, right, fire, smart bomb
constexpr int kVolumeSteps = 8;       // 0 silent .. 8 full
constexpr int kLargestScale = kMaxScale;
// How frames follow the display: at every refresh, or one a step.
enum class RefreshMode { kDisplay, kStep };
constexpr int kPadButtonCount = 32;   // buttons 0..31
constexpr size_t kOnlineNameLength = 20;
constexpr size_t kServerUrlLength = 200;
constexpr int kLastWave = 20;  // the waves are numbered 1..20

// The game keys a new player has, as scancodes in the order of the control
// table: KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_Z and KEY_SPACE.
constexpr int kDefaultKeys[kSettingsKeyCount] = {84, 85, 82, 83, 26, 75};

struct Settings {
  int keys[kSettingsKeyCount] = {kDefaultKeys[0], kDefaultKeys[1], kDefaultKeys[2],
                                 kDefaultKeys[3], kDefaultKeys[4], kDefaultKeys[5]};
  bool fullscreen = true;
  int scale = kScaleFit;
  RefreshMode refresh = RefreshMode::kDisplay;
  int musicVolume = kVolumeSteps;
  int effectsVolume = kVolumeSteps;
  bool muted = false;
  int padFire = 0;
  int padBomb = 1;
  int padStart = 7;
  std::string server;
  std::string onlineName;
  int bestWave = 1;
};

bool operator==(const Settings& a, const Settings& b);
inline bool operator!=(const Settings& a, const Settings& b) { return !(a == b); }

Settings DefaultSettings();

// Called once at start-up, before the command line's options are applied.
// A missing file gives the defaults and no problem; otherwise `problems` (may
// be null) gets one short line per wrong entry ("fire key: Escape cannot be a
// game key") and the file-level faults (not a regular file, larger than 1 MiB,
// unreadable), the file's own text shown printable and cut short.
Settings LoadSettings(const std::string& path, std::vector<std::string>* problems);

// Called whenever the player changes a setting. Writes every setting afresh
// (unknown entries are dropped) to "<path>.tmp" in the same folder, reads that
// back, and renames it over the old file only when it holds every entry. The
// folder is made when it is missing but its parent exists; a settings file
// made read-only is left alone. False, with the old file untouched and no
// temporary file left, when anything fails. The values are written as given.
bool SaveSettings(const std::string& path, const Settings& settings);

// A score server's address as the settings and the command line take it:
// "http://" or "https://" then a host, no spaces or controls, at most
// kServerUrlLength characters.
bool IsServerUrl(const std::string& url);
// A name the score server lists: 1..kOnlineNameLength printable ASCII
// characters, not all spaces.
bool IsOnlineName(const std::string& name);

// The name the file writes for a scancode: Allegro's constant without "KEY_"
// ("UP", "Z", "SPACE", "0_PAD"); null outside 1..126. Needs no keyboard.
const char* KeyConstantName(int scancode);
