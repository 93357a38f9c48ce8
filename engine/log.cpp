#include "engine/log.h"

#include <cstdio>

void Log(const char* text) {
  std::printf("%s", text);
  std::fflush(stdout);
}
