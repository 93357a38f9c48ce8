// Where the game reads its data and keeps the player's files.
//
// A portable copy (the working directory holds "kav.dat") keeps everything in
// the working directory, as the build folder does. An installed game reads
// "kav.dat" and the music from <folder of the executable>/../share/games/vevarnholt
// and keeps the player's files in the XDG folders:
//   scores and replays  $XDG_DATA_HOME/vevarnholt    (default ~/.local/share/vevarnholt)
//   settings            $XDG_CONFIG_HOME/vevarnholt  (default ~/.config/vevarnholt)
// It never writes into its data folder or the working directory. An XDG value
// that is empty or relative is ignored, as the XDG rules say; without a usable
// home the player's files are simply not kept.
#pragma once

#include <string>
#include <vector>

constexpr const char* kDataFileName = "kav.dat";
constexpr const char* kScoreFileName = "KAVscores.sav";
constexpr const char* kSettingsFileName = "vevarnholt.cfg";
constexpr const char* kReplayFolderName = "replays";
constexpr const char* kRecordFileName = "KAVrecord.sav";

// What the resolution depends on, read from the process by ReadFolderEnvironment
// and made up freely by tests.
struct FolderEnvironment {
  bool dataInWorkingDirectory = false;
  std::string workingDirectory;
  std::string executable;  // absolute path of the running program, or empty
  bool hasHome = false, hasDataHome = false, hasConfigHome = false;
  std::string home, dataHome, configHome;
};

struct GameFolders {
  bool portable = true;
  // "" is the working directory (a portable copy).
  std::string data;
  // Folders of the player's files, "" in a portable copy. `unkept` is set when
  // there is no usable place for them.
  std::string user;
  std::string config;
  bool unkept = false;
  // A folder that must exist already: the user and config folders are created
  // below it but never it itself (a missing home stays missing).
  std::string anchor;
  // Where "kav.dat" was looked for, for the message when it is found nowhere.
  std::vector<std::string> searched;

  std::string DataFile(const std::string& name) const;
  // Empty when the player's files are not kept.
  std::string ScoreFile() const;
  std::string ReplayFolder() const;
  // Games waiting to be sent to the score server, beside the replays.
  std::string OutboxFolder() const;
  // The totals of the player's games, beside the score file.
  std::string RecordFile() const;
  std::string SettingsFile() const;
};

FolderEnvironment ReadFolderEnvironment();
GameFolders ResolveGameFolders(const FolderEnvironment& environment);

// Creates `folder` and the missing folders above it, up to (not including)
// `anchor`, which must exist; "" as anchor allows every level. True when the
// folder exists afterwards.
bool MakeFolders(const std::string& folder, const std::string& anchor);
// The folder of a file the game is about to write, made when needed.
bool MakeFolderFor(const std::string& file);

// The folders of this run; a portable copy in the working directory until
// start-up resolves them.
extern GameFolders gameFolders;
