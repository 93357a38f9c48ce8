#pragma once

// Applies one key value (scancode << 8 | character) to the zero-terminated name
// being typed. Returns -1 when the key ends the entry (Enter), else 0.
int EditName(char* text, int key, int maxLength);
