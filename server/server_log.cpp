#include "server/server_log.h"

#include <unistd.h>

#include <chrono>
#include <ctime>

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string IsoDate(int64_t ms) {
  const time_t seconds = static_cast<time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
  tm parts{};
  char text[32];
  if (!gmtime_r(&seconds, &parts) || !std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts))
    return "1970-01-01T00:00:00Z";
  return text;
}

void LogLine(const std::string& text) {
  // One write call: lines of different threads never interleave.
  std::string line = IsoDate(NowMs()) + " " + text + "\n";
  const char* data = line.data();
  size_t left = line.size();
  while (left > 0) {
    const ssize_t n = write(STDERR_FILENO, data, left);
    if (n <= 0) return;
    data += n;
    left -= static_cast<size_t>(n);
  }
}
