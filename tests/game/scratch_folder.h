// A fresh working folder for a test that runs a screen: the score file is
// written to, and the music read from, the working folder.
#pragma once

#include <string>

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  // Links the two music tracks of the data folder into this one; false when
  // they are missing there.
  bool LinkMusic() const;

 private:
  std::string path_;
  std::string previous_;
};

// The bytes of a file (empty when it cannot be read).
std::string ReadWholeFile(const std::string& path);
