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

// Every entry's components multiplied by one weight, worked out once per call.
struct WeightedPalette {
  std::array<int32_t, 256> r{};
  std::array<int32_t, 256> g{};
  std::array<int32_t, 256> b{};
};

inline WeightedPalette WeighPalette(const uint8_t* palette, int32_t weight) {
  WeightedPalette w;
  for (int32_t i = 0; i < 256; ++i) {
    const PaletteColour c = PaletteEntry(palette, i);
    w.r[i] = c.r * weight;
    w.g[i] = c.g * weight;
    w.b[i] = c.b * weight;
  }
  return w;
}

// The alpha mixture of two entries weighed by WeighPalette with alpha (source) and 255 - alpha
// (destination): each component (s * alpha + d * (255 - alpha)) >> 11, already 5 bits.
inline size_t AlphaMixCell(const WeightedPalette& source, const WeightedPalette& destination,
                           uint8_t s, uint8_t d) {
  return (static_cast<size_t>((source.r[s] + destination.r[d]) >> 11) << 10) |
         (static_cast<size_t>((source.g[s] + destination.g[d]) >> 11) << 5) |
         static_cast<size_t>((source.b[s] + destination.b[d]) >> 11);
}

}  // namespace tavikit
