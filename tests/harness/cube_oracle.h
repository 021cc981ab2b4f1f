// The colour cube by its definition: the direct search over the palette, for the blend tests and
// as the baseline of the cube benchmark.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace tavitest {

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

}  // namespace tavitest
