#include "server/random_source.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

void FillRandom(void* buffer, size_t size) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    const ssize_t n = getrandom(bytes, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error(std::string("no random numbers: ") + std::strerror(errno));
    bytes += n;
    size -= static_cast<size_t>(n);
  }
}

}  // namespace

std::string NewToken() {
  unsigned char bytes[16];
  FillRandom(bytes, sizeof bytes);
  static const char kHex[] = "0123456789abcdef";
  std::string token;
  for (const unsigned char b : bytes) {
    token += kHex[b >> 4];
    token += kHex[b & 15];
  }
  return token;
}

uint32_t NewSeed() {
  uint32_t seed;
  FillRandom(&seed, sizeof seed);
  return seed;
}
