// Moving a block of pixels between screen rows and the lines of a column-order band, turning rows
// into columns on the way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavikit {

// The block has `positions` screen rows, the first at `rows` and each `down` bytes after the
// previous one, of `lines` pixels each; and `lines` band lines, the first at `band` and each
// `stride` bytes after the previous one, of `positions` pixels each. Pixel k of screen row p is
// pixel p of band line k. Whole 16 x 16 tiles move in vector registers where the processor has
// them, the pixels around them one by one.
struct BandBlock {
  intptr_t down;
  size_t stride;
  int64_t lines;
  int64_t positions;
};

// The screen's pixels of the block into the band.
void ScreenToBand(const uint8_t* rows, uint8_t* band, const BandBlock& block);
// The band's pixels of the block onto the screen.
void BandToScreen(const uint8_t* band, uint8_t* rows, const BandBlock& block);

}  // namespace tavikit
