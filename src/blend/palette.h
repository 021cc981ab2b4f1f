// Palette entries as the host stores them: 256 entries of four bytes, blue, green, red and one
// byte that is not read.
#pragma once

#include <cstdint>

namespace tavikit {

struct PaletteColour {
  int32_t r = 0;
  int32_t g = 0;
  int32_t b = 0;
};

inline PaletteColour PaletteEntry(const uint8_t* palette, int32_t index) {
  const uint8_t* e = palette + static_cast<intptr_t>(index) * 4;
  return PaletteColour{e[2], e[1], e[0]};
}

}  // namespace tavikit
