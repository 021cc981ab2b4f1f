// Palette entries as the host stores them: 256 entries of four bytes, blue, green, red and one
// byte that is not read.
#pragma once

#include <array>
#include <cstddef>
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

// Every entry's components multiplied by one weight (0 to 255), in two words per entry: red at
// bit 16 and blue at bit 0 of one, green in the other. Two entries weighed by alpha and
// 255 - alpha add field by field without carries, each field's sum being at most
// 255 * 255 < 65536; 32-bit words keep the sums single registers in 32-bit code too.
struct WeightedEntry {
  uint32_t redBlue = 0;
  uint32_t green = 0;
};
using WeightedPalette = std::array<WeightedEntry, 256>;

inline WeightedPalette WeighPalette(const uint8_t* palette, int32_t weight) {
  WeightedPalette w;
  const auto scale = static_cast<uint32_t>(weight);
  for (int32_t i = 0; i < 256; ++i) {
    const PaletteColour c = PaletteEntry(palette, i);
    w[static_cast<size_t>(i)] = {
        (static_cast<uint32_t>(c.r) * scale << 16) | static_cast<uint32_t>(c.b) * scale,
        static_cast<uint32_t>(c.g) * scale};
  }
  return w;
}

// The cube cell of the alpha mixture of two entries weighed by WeighPalette with alpha (source)
// and 255 - alpha (destination): each component (s * alpha + d * (255 - alpha)) >> 11, which is
// already a 5-bit value, red most significant.
inline size_t AlphaMixCell(const WeightedPalette& source, const WeightedPalette& destination,
                           uint8_t s, uint8_t d) {
  const uint32_t redBlue = source[s].redBlue + destination[d].redBlue;
  const uint32_t green = source[s].green + destination[d].green;
  return static_cast<size_t>(((redBlue >> (16 + 11 - 10)) & (31u << 10)) |
                             ((green >> (11 - 5)) & (31u << 5)) | ((redBlue >> 11) & 31u));
}

}  // namespace tavikit
