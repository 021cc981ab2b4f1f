// Moving a block of pixels between screen rows and the lines of a column-order band, turning rows
// into columns on the way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavikit {

// The part of a block that went as whole tiles: its first `lines` band lines and first
// `positions` positions along them.
struct TiledPart {
  int64_t lines = 0;
  int64_t positions = 0;
};

// The block has `positions` screen rows, the first at `rows` and each `down` bytes after the
// previous one, of `lines` pixels each; and `lines` band lines, the first at `band` and each
// `stride` bytes after the previous one, of `positions` pixels each. Pixel k of screen row p is
// pixel p of band line k. `load` copies the screen into the band, otherwise the band goes back
// to the screen. Only whole 16 x 16 tiles move here, and only where the processor has vectors
// for them; the rest of the block is left to the caller.
TiledPart TransferTiles(bool load, uint8_t* rows, intptr_t down, uint8_t* band, size_t stride,
                        int64_t lines, int64_t positions);

}  // namespace tavikit
