// The run-length form of plain 8-bit cells.
//
// The plain data is read as M = ceil(N / 4) little-endian words (N = width x height pixels,
// at least one word). The form is a link word at byte 0 (the position of the first run record,
// or 0), then the items in data order: literal words (4 bytes) and run records (12 bytes: the
// repeated word, its count, the position of the next record or 0). A run of 4 or more equal
// words becomes a record, shorter runs stay literal; the form is exactly
// 4 + 4 x literals + 12 x records bytes.
//
// Expansion stores the words at their plain pixel positions. For a width that is not a multiple
// of 4 a word crosses a row end, so its bytes are placed one by one; the padding bytes past the
// last pixel are dropped. Expansion reads only inside the form and writes only inside the
// destination, whatever the form holds.
#pragma once

#include <cstdint>

#include "cells/cell_table.h"

namespace tavikit {

inline constexpr size_t kRunRecordBytes = 12;

// Compresses a plain 8-bit cell in place and shrinks its buffer to the form. Returns the size of
// the form (the export reports it negated); 0 (cell unchanged) for an empty, full-colour or
// already compressed cell, and 0 with the cell emptied when the buffer cannot be shrunk.
int32_t CompressCell(Cell& cell);

// Writes a run-length cell into a bottom-up 8-bit destination of `stride` bytes per row and
// `destHeight` rows, the cell's top-left pixel at (x, y). Every pixel is written, index 0 too;
// pixels that fall outside the destination are left out.
void ExpandCell(const Cell& cell, uint8_t* dest, int32_t stride, int32_t destHeight, int32_t x,
                int32_t y);

}  // namespace tavikit
