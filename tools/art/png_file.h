// Writing a picture to a PNG file, row by row: shared by the opaque pictures
// of the contact sheet and the icons with their alpha channel.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace art {

// 0..1 to 0..255, rounded.
uint8_t ToByte(float v);

// `fillRow(y, row)` fills one row of width * 3 bytes (RGB) or width * 4 bytes
// (RGBA when `alpha`). False when the file can't be written.
bool WritePngRows(const std::string& path, int width, int height, bool alpha,
                  const std::function<void(int, uint8_t*)>& fillRow);

}  // namespace art
