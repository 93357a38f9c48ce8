#include "engine/settings_store.h"

#include <cstdio>
#include <vector>

#include "engine/game_folders.h"

SettingsStore settingsStore;

void SettingsStore::Load() {
  const std::string file = gameFolders.SettingsFile();
  if (file.empty()) return;
  std::vector<std::string> problems;
  current_ = LoadSettings(file, &problems);
  // The file is the player's: say what was wrong with it, then carry on with
  // the defaults for those entries.
  for (const std::string& problem : problems) std::fprintf(stderr, "vevarnholt: %s: %s\n", file.c_str(), problem.c_str());
}

void SettingsStore::Change(const Settings& settings) {
  current_ = settings;
  const std::string file = gameFolders.SettingsFile();
  if (!file.empty() && !SaveSettings(file, current_))
    std::fprintf(stderr, "vevarnholt: the settings could not be saved to %s\n", file.c_str());
}
