#include "engine/game_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

GameFolders gameFolders;

namespace {

constexpr const char* kPackageName = "vevarnholt";

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string Parent(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The XDG rules: a value that is missing, empty or relative is ignored.
bool Usable(bool set, const std::string& value) { return set && !value.empty() && value[0] == '/'; }

// "/home/ann/" and "/home/ann" are the same folder.
std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string Environment(const char* name, bool& set) {
  const char* value = std::getenv(name);
  set = value != nullptr;
  return value ? value : "";
}

}  // namespace

std::string GameFolders::DataFile(const std::string& name) const { return Join(data, name); }

std::string GameFolders::ScoreFile() const { return unkept ? "" : Join(user, kScoreFileName); }

std::string GameFolders::ReplayFolder() const { return unkept ? "" : Join(user, kReplayFolderName); }

std::string GameFolders::OutboxFolder() const { return unkept ? "" : Join(user, "outbox"); }

std::string GameFolders::RecordFile() const { return unkept ? "" : Join(user, kRecordFileName); }

std::string GameFolders::SettingsFile() const { return unkept ? "" : Join(config, kSettingsFileName); }

FolderEnvironment ReadFolderEnvironment() {
  FolderEnvironment environment;
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer)) environment.workingDirectory = buffer;
  environment.dataInWorkingDirectory = access(kDataFileName, F_OK) == 0;
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length > 0) environment.executable.assign(buffer, static_cast<size_t>(length));
  environment.home = Environment("HOME", environment.hasHome);
  environment.dataHome = Environment("XDG_DATA_HOME", environment.hasDataHome);
  environment.configHome = Environment("XDG_CONFIG_HOME", environment.hasConfigHome);
  return environment;
}

GameFolders ResolveGameFolders(const FolderEnvironment& environment) {
  GameFolders folders;
  folders.searched.push_back(environment.workingDirectory.empty() ? "." : environment.workingDirectory);
  if (environment.dataInWorkingDirectory) return folders;

  folders.portable = false;
  if (!environment.executable.empty()) {
    folders.data = Join(Parent(Parent(environment.executable)), std::string("share/games/") + kPackageName);
    folders.searched.push_back(folders.data);
  } else {
    // Without knowing where the program lies there is no data folder; the
    // data file is then found nowhere and start-up says so.
    folders.data = "/nonexistent";
  }

  const bool home = Usable(environment.hasHome, environment.home);
  const bool dataHome = Usable(environment.hasDataHome, environment.dataHome);
  const bool configHome = Usable(environment.hasConfigHome, environment.configHome);
  if (!home && (!dataHome || !configHome)) {
    folders.unkept = true;
    return folders;
  }
  const std::string homeFolder = WithoutTrailingSlashes(environment.home);
  folders.user = Join(dataHome ? WithoutTrailingSlashes(environment.dataHome) : Join(homeFolder, ".local/share"),
                      kPackageName);
  folders.config = Join(configHome ? WithoutTrailingSlashes(environment.configHome) : Join(homeFolder, ".config"),
                        kPackageName);
  // The home folder is never made; XDG folders given outright are made in
  // full when missing, as the XDG rules ask.
  if (home) folders.anchor = homeFolder;
  return folders;
}

bool MakeFolders(const std::string& folder, const std::string& anchor) {
  if (folder.empty()) return false;
  if (IsFolder(folder)) return true;
  if (folder == anchor) return false;
  const std::string parent = Parent(folder);
  if (parent == folder) return false;
  // A relative folder's first level lies in the working directory.
  if (!parent.empty() && !MakeFolders(parent, anchor)) return false;
  return (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) && IsFolder(folder);
}

bool MakeFolderFor(const std::string& file) {
  const std::string folder = Parent(file);
  if (folder.empty()) return true;  // the working directory
  return MakeFolders(folder, gameFolders.anchor);
}
