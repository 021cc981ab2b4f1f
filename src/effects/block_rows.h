// Rows of solid blocks, the mosaics' one way of drawing: a run of blocks side by side, each of one
// colour, over a number of rows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavikit {

// The blocks of one block row: `count` blocks side by side, block k covering bytes k n .. k n + n-1
// of each row (the last block only its first `last` bytes, 1 .. n), in colour colours[k]; or,
// when `centres` is set instead, in the colour of the byte at the centre of the block's own bytes
// of that row (centres[k n + n / 2], for the last block centres[(count-1) n + last / 2]). With a
// key of 0 to 255 the blocks whose colour is the key are left as they are.
struct BlockRun {
  const uint8_t* colours = nullptr;
  const uint8_t* centres = nullptr;
  size_t count = 0;
  size_t n = 1;
  size_t last = 1;
  int32_t key = -1;

  size_t Bytes() const { return count == 0 ? 0 : (count - 1) * n + last; }
  bool Skips(uint8_t colour) const { return key >= 0 && key <= 255 && colour == key; }
};

// Draws the blocks over `rows` rows from `top` on, each row `step` bytes on from the one before;
// the rows must not overlap one another. A centres row may be one of them: each block's centre is
// read before the block is drawn.
void FillBlockRows(uint8_t* top, intptr_t step, int32_t rows, const BlockRun& run);

}  // namespace tavikit
