// The options of the game's command line, read in one place. Without options
// the game starts as a player expects: title, menu, play.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "engine/settings.h"

// sysexits.h: a wrong command line, a file of bad data, and output lost.
constexpr int kExitUsage = 64;
constexpr int kExitBadData = 65;
// An output that could not be written.
constexpr int kExitIoError = 74;

struct CommandLine {
  enum Action { kPlay, kHelp, kVersion, kReplay, kVerify, kUsageError };
  Action action = kPlay;
  // The replay to watch or verify.
  std::string file;
  // With kVerify: the game's numbers printed too.
  bool stats = false;
  // -1: as the settings say; 0 window, 1 full screen.
  int fullscreen = -1;
  // -1: as the settings say; else kScaleFit or 1 to kLargestScale.
  int scale = -1;
  // Nothing: as the settings say.
  std::optional<RefreshMode> refresh;
  // The score server for this run only; empty: as the settings say.
  std::string server;
  // What was wrong, for kUsageError.
  std::string error;
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

void PrintUsage(std::FILE* out);
void PrintVersion(std::FILE* out);
