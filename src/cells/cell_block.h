// Where a cell's rows land in a bottom-up plane of bytes (an 8-bit screen, a full-colour screen
// taken as bytes, or one long row), and the part of them inside a window of that plane.
//
// A block of data rows is placed as a rectangle of the plane in byte columns and top-down rows
// (common/rect.h). Data row r is the cell's row from the bottom, so it lands on top-down row
// bottom - 1 - r, which is memory row planeRows - bottom + r: data rows and memory rows run in
// the same direction.
#pragma once

#include <cstdint>
#include <optional>

#include "common/rect.h"

namespace tavikit {

struct ClippedBlock {
  int64_t firstRow = 0;   // first visible data row
  int64_t rows = 0;       // visible data rows
  int64_t firstByte = 0;  // first visible byte within a data row
  int64_t bytes = 0;      // visible bytes per data row
  int64_t planeRow = 0;   // memory row of the first visible data row
  int64_t planeByte = 0;  // plane column of the first visible byte
};

// The visible part of `block` inside `window`, or nothing.
inline std::optional<ClippedBlock> ClipBlock(const Rect& block, const Rect& window,
                                             int64_t planeRows) {
  const Rect seen = block.Intersect(window);
  if (seen.Empty()) return std::nullopt;
  return ClippedBlock{block.bottom - seen.bottom, seen.bottom - seen.top,  seen.left - block.left,
                      seen.right - seen.left,     planeRows - seen.bottom, seen.left};
}

// Calls op(planeBytes, cellBytes, n) for every visible data row, in data-row order.
template <class RowOp>
void ForEachVisibleRow(const ClippedBlock& c, uint8_t* plane, int64_t planeStride, uint8_t* cell,
                       int64_t cellStride, RowOp op) {
  uint8_t* p = plane + c.planeRow * planeStride + c.planeByte;
  uint8_t* s = cell + c.firstRow * cellStride + c.firstByte;
  const auto n = static_cast<size_t>(c.bytes);
  for (int64_t r = 0; r < c.rows; ++r, p += planeStride, s += cellStride)
    op(p, s, n);
}

}  // namespace tavikit
