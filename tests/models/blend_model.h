// Plain models of the colour cube and the blend tables, written the straightforward way, kept as
// the oracles that the library is compared against.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace tavimodel {

struct Rgb {
  int r, g, b;
};

inline Rgb PaletteColour(const std::vector<uint8_t>& palette, int index) {
  return Rgb{palette[index * 4 + 2], palette[index * 4 + 1], palette[index * 4 + 0]};
}

// The cube by the direct search: for every cell, every candidate in index order, three distance
// table lookups, a strictly better distance replaces the best, a distance of 0 ends the cell.
inline std::vector<uint8_t> StraightCube(const std::vector<uint8_t>& palette, int count) {
  const int n = ((count - 1) & 255) + 1;
  std::vector<uint8_t> dr(256 * 32), dg(256 * 32), db(256 * 32);
  for (int j = 0; j < n; ++j) {
    const Rgb c = PaletteColour(palette, j);
    for (int k = 0; k < 32; ++k) {
      const int v = 8 * k + 3;
      dr[j * 32 + k] = static_cast<uint8_t>(std::abs(v - c.r));
      dg[j * 32 + k] = static_cast<uint8_t>(std::abs(v - c.g));
      db[j * 32 + k] = static_cast<uint8_t>(std::abs(v - c.b));
    }
  }
  std::vector<uint8_t> cube(32768, 0);
  for (int r5 = 0; r5 < 32; ++r5) {
    for (int g5 = 0; g5 < 32; ++g5) {
      for (int b5 = 0; b5 < 32; ++b5) {
        int best = 0xFFFFF;
        uint8_t& entry = cube[r5 * 1024 + g5 * 32 + b5];
        for (int j = 0; j < n; ++j) {
          const int distance = dr[j * 32 + r5] + dg[j * 32 + g5] + db[j * 32 + b5];
          if (distance < best) {
            entry = static_cast<uint8_t>(j);
            best = distance;
            if (distance == 0) break;
          }
        }
      }
    }
  }
  return cube;
}

inline uint8_t CubeLookup(const std::vector<uint8_t>& cube, int r, int g, int b) {
  return cube[(r >> 3) * 1024 + (g >> 3) * 32 + (b >> 3)];
}

// The alpha mixture of destination d and source s, both colours of one palette.
inline uint8_t AlphaMix(const std::vector<uint8_t>& cube, const std::vector<uint8_t>& palette,
                        int d, int s, int alpha) {
  const Rgb cd = PaletteColour(palette, d), cs = PaletteColour(palette, s);
  const int r = (cs.r * alpha + cd.r * (255 - alpha)) >> 11;
  const int g = (cs.g * alpha + cd.g * (255 - alpha)) >> 11;
  const int b = (cs.b * alpha + cd.b * (255 - alpha)) >> 11;
  return cube[r * 1024 + g * 32 + b];
}

enum class FactorMode { kAdd, kSubtract, kSubtractInverse };

// The factor tables, each component computed as written: the scaled amount, then the sum or
// difference limited to 0 to 255, then the cube lookup of the 8-bit colour.
inline std::vector<uint8_t> FactorTable(const std::vector<uint8_t>& cube, FactorMode mode,
                                        const std::vector<uint8_t>& destinationPalette,
                                        const std::vector<uint8_t>& sourcePalette, int rf, int gf,
                                        int bf) {
  auto component = [mode](int d, int s, int factor) {
    if (mode == FactorMode::kAdd) {
      const int v = d + ((s * factor) >> 8);
      return v > 255 ? 255 : v;
    }
    const int amount =
        mode == FactorMode::kSubtract ? (s * factor) >> 8 : ((255 - s) * factor) >> 8;
    const int v = d - amount;
    return v < 0 ? 0 : v;
  };
  std::vector<uint8_t> table(65536);
  for (int d = 0; d < 256; ++d) {
    const Rgb cd = PaletteColour(destinationPalette, d);
    for (int s = 0; s < 256; ++s) {
      const Rgb cs = PaletteColour(sourcePalette, s);
      table[d * 256 + s] = CubeLookup(cube, component(cd.r, cs.r, rf), component(cd.g, cs.g, gf),
                                      component(cd.b, cs.b, bf));
    }
  }
  return table;
}

}  // namespace tavimodel
