// One line per request or event on the standard error stream (journald keeps
// it under systemd), written whole even when threads log at once.
#pragma once

#include <cstdint>
#include <string>

void LogLine(const std::string& text);

// Milliseconds since 1970 UTC, now.
int64_t NowMs();

// "2026-12-08T15:26:00Z" (ISO 8601, UTC, whole seconds).
std::string IsoDate(int64_t ms);
