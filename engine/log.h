#pragma once

// Writes one text to standard output, unchanged, and flushes at once, so the
// last start-up step reached before a failure is always visible.
void Log(const char* text);
