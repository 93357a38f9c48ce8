// The player's settings as this run holds them: read from the settings file at
// start-up, changed by the player (keys, display, volumes), and written back
// at every change. Everything that follows a setting reads it here.
#pragma once

#include <string>

#include "engine/settings.h"

class SettingsStore {
 public:
  // Reads the file of the player's settings (when there is one); each wrong
  // entry is reported on standard error and falls back to its default.
  void Load();
  const Settings& Current() const { return current_; }
  // Takes a change the player made and writes the settings file.
  void Change(const Settings& settings);
  // The score server for this run only (the command line's), never saved;
  // empty: the settings' own.
  void OverrideServer(const std::string& url) { serverOverride_ = url; }
  // The score server this run talks to; empty: none, no network at all.
  const std::string& Server() const { return serverOverride_.empty() ? current_.server : serverOverride_; }
  // For a program that keeps no file (tests): the settings as given.
  void Reset(const Settings& settings = DefaultSettings()) { current_ = settings; }

 private:
  Settings current_;
  std::string serverOverride_;
};

extern SettingsStore settingsStore;
