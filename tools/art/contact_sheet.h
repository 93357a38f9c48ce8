// One PNG showing every picture with its index (large ones scaled down, small
// ones enlarged) and a line of each font, for looking over the art at a glance.
#pragma once

#include <string>
#include <vector>

#include "tools/art/artwork.h"
#include "tools/art/typeface.h"

namespace art {

struct SheetFont {
  int index;
  std::string use;
  GlyphGrid grid;
};

bool WriteContactSheet(const std::vector<const Artwork*>& pictures, const std::vector<SheetFont>& fonts,
                       const std::string& path);

}  // namespace art
