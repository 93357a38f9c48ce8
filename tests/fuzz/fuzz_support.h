// Shared by the fuzz targets: the library without a display, the real data
// file and screen objects, a scripted machine, a private scratch folder, and a
// check that stops the run (and keeps the input) when a property fails.
#pragma once

#include <string>

namespace fuzz {

// Brings everything up once per process.
void SetUpGame();

// A fresh folder of this process for the files a target writes.
const std::string& ScratchFolder();

// Stops the fuzzer with the message when the condition fails; libFuzzer then
// saves the input that did it.
void Require(bool condition, const char* what);

}  // namespace fuzz
