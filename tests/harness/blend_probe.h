// Reading the blend table and the colour cube back through the exports, for tests and scenes.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_screen.h"
#include "host/library.h"

namespace tavihost {

// The whole blend table as tavi_gcopya applies it: destination pixel (s, d) holds d, source
// pixel (s, d) holds s, so after the copy destination pixel (s, d) is entry d * 256 + s. Selects
// a source screen and sets the copy rectangle of its own.
inline std::vector<uint8_t> ReadBlendTable(const Library& lib) {
  HostScreen grid(256, 256), sources(256, 256);
  for (int d = 0; d < 256; ++d) {
    for (int s = 0; s < 256; ++s) {
      grid.at(s, d) = static_cast<uint8_t>(d);
      sources.at(s, d) = static_cast<uint8_t>(s);
    }
  }
  lib.tavi_fset(sources.record(), 0, 0, 0);
  lib.tavi_copyset(0, 0, 256, 256);
  lib.tavi_gcopya(grid.record(), 0, 0, 0);
  std::vector<uint8_t> table(65536);
  for (int d = 0; d < 256; ++d) {
    for (int s = 0; s < 256; ++s)
      table[d * 256 + s] = grid.at(s, d);
  }
  return table;
}

// Makes the blend table map destination d to the colour cube entry of colour d of `screen`'s
// palette, for every source pixel: the factor tables with factors 0 (a subtractive build first,
// so that the additive one is never skipped).
inline void MapThroughCube(const Library& lib, const HostScreen& screen) {
  lib.tavi_fset(screen.record(), 0, 0, 0);
  lib.tavi_decset(screen.record(), 0, 0, 0);
  lib.tavi_addset(screen.record(), 0, 0, 0);
}

// The whole colour cube, 256 cells at a time, each named by a probe palette colour.
inline std::vector<uint8_t> ReadColourCube(const Library& lib) {
  HostScreen probe(1, 1);
  std::vector<uint8_t> cube(32768);
  for (int chunk = 0; chunk < 128; ++chunk) {
    for (int i = 0; i < 256; ++i) {
      const int cell = chunk * 256 + i;
      probe.SetColour(i, static_cast<uint8_t>((cell >> 10) * 8),
                      static_cast<uint8_t>(((cell >> 5) & 31) * 8),
                      static_cast<uint8_t>((cell & 31) * 8));
    }
    MapThroughCube(lib, probe);
    const auto table = ReadBlendTable(lib);
    for (int i = 0; i < 256; ++i)
      cube[chunk * 256 + i] = table[i * 256];
  }
  return cube;
}

}  // namespace tavihost
