#include "blend/blend_table.h"

#include <algorithm>

#include "blend/palette.h"

namespace tavikit {
namespace {

int32_t Offset(BlendMode mode, int32_t component, int32_t factor) {
  switch (mode) {
    case BlendMode::kAdd:
      return (component * factor) >> 8;
    case BlendMode::kSubtract:
      return -((component * factor) >> 8);
    default:
      return -(((255 - component) * factor) >> 8);
  }
}

inline uint8_t Limit(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

void BuildAlphaTable(BlendTable& table, const ColourCube& cube, const uint8_t* palette,
                     uint8_t alpha) {
  if (table.tag.mode == BlendMode::kAlpha && table.tag.p1 == alpha) return;
  const WeightedPalette source = WeighPalette(palette, alpha);
  const WeightedPalette kept = WeighPalette(palette, 255 - alpha);
  for (int32_t d = 0; d < 256; ++d) {
    uint8_t* row = &table.entries[static_cast<size_t>(d) << 8];
    for (int32_t s = 0; s < 256; ++s) {
      row[s] =
          cube.cells[AlphaMixCell(source, kept, static_cast<uint8_t>(s), static_cast<uint8_t>(d))];
    }
  }
  table.tag.mode = BlendMode::kAlpha;
  table.tag.p1 = alpha;
}

void BuildFactorTable(BlendTable& table, const ColourCube& cube, BlendMode mode,
                      const uint8_t* destinationPalette, const uint8_t* sourcePalette,
                      uint8_t redFactor, uint8_t greenFactor, uint8_t blueFactor) {
  const BlendTag wanted{mode, redFactor, greenFactor, blueFactor};
  if (table.tag.mode == wanted.mode && table.tag.p1 == wanted.p1 && table.tag.p2 == wanted.p2 &&
      table.tag.p3 == wanted.p3) {
    return;
  }
  struct {
    std::array<int32_t, 256> r, g, b;
  } offset{};  // per source entry: what is added to each destination component
  for (int32_t s = 0; s < 256; ++s) {
    const PaletteColour c = PaletteEntry(sourcePalette, s);
    offset.r[s] = Offset(mode, c.r, redFactor);
    offset.g[s] = Offset(mode, c.g, greenFactor);
    offset.b[s] = Offset(mode, c.b, blueFactor);
  }
  for (int32_t d = 0; d < 256; ++d) {
    const PaletteColour c = PaletteEntry(destinationPalette, d);
    uint8_t* row = &table.entries[static_cast<size_t>(d) << 8];
    for (size_t s = 0; s < 256; ++s) {
      row[s] =
          cube.Lookup(Limit(c.r + offset.r[s]), Limit(c.g + offset.g[s]), Limit(c.b + offset.b[s]));
    }
  }
  table.tag = wanted;
}

}  // namespace tavikit
