// Indexed PNGs from the tool's own encoder. Its bytes depend on the picture alone, the same in
// every build of the tool (32-bit or 64-bit, whatever libraries the machine has), so that pictures
// can be compared by their checksums.
#pragma once

#include <cstdint>
#include <vector>

#include "png/indexed_image.h"

namespace tavitool {

// An 8-bit indexed PNG with the image's `paletteSize` palette entries: rows unfiltered, one
// deflate block with the fixed codes, matches looked for one pixel back, one row back and where
// the same three bytes were seen last.
std::vector<uint8_t> EncodeStablePng(const IndexedImage& image);

}  // namespace tavitool
