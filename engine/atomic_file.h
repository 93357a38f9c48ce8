// Writing a file so that it is either the old one or the new one whole, never
// half of it, even after a crash or a power cut: the bytes go to a temporary
// file beside it ("<path>.tmp"), which is flushed to the disk, renamed over the
// old file, and the folder flushed so that the rename itself lasts.
#pragma once

#include <cstddef>
#include <string>

// False, with whatever was at `path` left as it was and no temporary file
// left behind, when anything fails.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size);

// Flushes a file already written (by a library that wrote it) to the disk.
bool SyncFile(const std::string& path);
// Flushes the folder holding `path`, so that a rename into it lasts.
void SyncFolderOf(const std::string& path);
