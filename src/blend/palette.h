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

// Every entry's components multiplied by one weight (0 to 255), packed into one word per entry:
// red at bit 32, green at bit 16, blue at bit 0. Two entries weighed by alpha and 255 - alpha
// add field by field without carries, each field's sum being at most 255 * 255 < 65536.
using WeightedPalette = std::array<uint64_t, 256>;

inline WeightedPalette WeighPalette(const uint8_t* palette, int32_t weight) {
  WeightedPalette w;
  const auto scale = static_cast<uint64_t>(weight);
  for (int32_t i = 0; i < 256; ++i) {
    const PaletteColour c = PaletteEntry(palette, i);
    w[static_cast<size_t>(i)] = (static_cast<uint64_t>(c.r) * scale << 32) |
                                (static_cast<uint64_t>(c.g) * scale << 16) |
                                static_cast<uint64_t>(c.b) * scale;
  }
  return w;
}

// The cube cell of the alpha mixture of two entries weighed by WeighPalette with alpha (source)
// and 255 - alpha (destination): each component (s * alpha + d * (255 - alpha)) >> 11, which is
// already a 5-bit value, red most significant.
inline size_t AlphaMixCell(const WeightedPalette& source, const WeightedPalette& destination,
                           uint8_t s, uint8_t d) {
  const uint64_t sum = source[s] + destination[d];
  return static_cast<size_t>(((sum >> (32 + 11 - 10)) & (31u << 10)) |
                             ((sum >> (16 + 11 - 5)) & (31u << 5)) | ((sum >> 11) & 31u));
}

}  // namespace tavikit
