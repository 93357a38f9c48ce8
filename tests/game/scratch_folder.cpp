#include "scratch_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "screens/title_screen.h"
#include "support/allegro_fixture.h"

ScratchFolder::ScratchFolder() {
  char here[4096];
  if (getcwd(here, sizeof here)) previous_ = here;
  char pattern[] = "/tmp/kav-screen-XXXXXX";
  if (const char* made = mkdtemp(pattern)) path_ = made;
  if (path_.empty() || chdir(path_.c_str()) != 0) std::abort();
}

ScratchFolder::~ScratchFolder() {
  if (!previous_.empty() && chdir(previous_.c_str()) != 0) std::abort();
  const std::string command = "rm -rf '" + path_ + "'";
  if (std::system(command.c_str()) != 0) std::abort();
}

bool ScratchFolder::LinkMusic() const {
  for (const char* name : {kTitleTrackFile, kMenuTrackFile}) {
    const std::string source = kav_test::DataDir() + "/" + name;
    if (access(source.c_str(), R_OK) != 0) return false;
    if (symlink(source.c_str(), Path(name).c_str()) != 0) return false;
  }
  return true;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
