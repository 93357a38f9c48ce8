// Tokens and seeds from the kernel's cryptographic random source: a token
// cannot be guessed, and a seed cannot be known before it is issued.
#pragma once

#include <cstdint>
#include <string>

// 32 lowercase hex digits (128 bits).
std::string NewToken();
uint32_t NewSeed();
