// The blend table: for a destination pixel d meeting a source pixel s, the palette index of their
// mixture at entry d * 256 + s. Its tag records which mode and parameters it was built for, so
// that a request for the table it already holds costs nothing; the tag does not record palettes
// or the colour cube, so changes to those are not seen until a different table is asked for.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "blend/colour_cube.h"

namespace tavikit {

enum class BlendMode : uint8_t {
  kAlpha = 0,            // source weighted by alpha, destination by 255 - alpha
  kAdd = 1,              // source colour scaled by factors, added
  kSubtract = 2,         // source colour scaled by factors, subtracted
  kSubtractInverse = 3,  // inverted source colour scaled by factors, subtracted
  kNone = 0xFF,          // nothing built yet
};

struct BlendTag {
  BlendMode mode = BlendMode::kNone;
  uint8_t p1 = 0;
  uint8_t p2 = 0;
  uint8_t p3 = 0;
};

struct BlendTable {
  static constexpr size_t kEntries = 256 * 256;

  std::array<uint8_t, kEntries> entries{};
  BlendTag tag;

  const uint8_t* Row(uint8_t destination) const { return &entries[size_t{destination} << 8]; }
};

// Everything the blend subsystem keeps between calls.
struct BlendState {
  ColourCube cube;
  BlendTable table;
};

// The state behind the exports.
BlendState& ProcessBlend();

// The alpha table of one palette (used for both pixels): each component
// (source * alpha + destination * (255 - alpha)) >> 11, a 5-bit value, looked up in the cube.
// Does nothing when the tag already says alpha table with this alpha; keeps p2 and p3 of the tag.
void BuildAlphaTable(BlendTable& table, const ColourCube& cube, const uint8_t* palette,
                     uint8_t alpha);

// The factor tables (add, subtract, subtract inverse): the source colour, inverted for
// kSubtractInverse, is scaled by factor / 256 per component and added to or taken from the
// destination colour, limited to 0 to 255, and looked up in the cube. Destination colours come
// from `destinationPalette`, source colours from `sourcePalette`. Does nothing when the tag
// already holds this mode and these factors.
void BuildFactorTable(BlendTable& table, const ColourCube& cube, BlendMode mode,
                      const uint8_t* destinationPalette, const uint8_t* sourcePalette,
                      uint8_t redFactor, uint8_t greenFactor, uint8_t blueFactor);

}  // namespace tavikit
