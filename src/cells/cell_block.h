// Where a cell's rows land in a bottom-up plane of bytes (an 8-bit screen, a full-colour screen
// taken as bytes, or one long row), and the part of them inside a window of that plane.
//
// A block of `rows` data rows of `bytes` bytes each is placed with its top-left byte at column
// `left` of top-down row `top`. Data row r is the cell's row from the bottom, so it lands on
// top-down row top + rows - 1 - r, which is memory row planeRows - top - rows + r: data rows and
// memory rows run in the same direction.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tavikit {

struct BlockPlacement {
  int64_t left = 0;
  int64_t top = 0;
  int64_t bytes = 0;  // per data row
  int64_t rows = 0;
};

// Half-open: byte columns [left, right), top-down rows [top, bottom).
struct PlaneWindow {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
};

struct ClippedBlock {
  int64_t firstRow = 0;   // first visible data row
  int64_t rows = 0;       // visible data rows
  int64_t firstByte = 0;  // first visible byte within a data row
  int64_t bytes = 0;      // visible bytes per data row
  int64_t planeRow = 0;   // memory row of the first visible data row
  int64_t planeByte = 0;  // plane column of the first visible byte
};

// The visible part of the block, or false when nothing of it is inside the window.
inline bool ClipBlock(const BlockPlacement& b, const PlaneWindow& w, int64_t planeRows,
                      ClippedBlock* out) {
  const int64_t r0 = std::max<int64_t>(0, b.top + b.rows - w.bottom);
  const int64_t r1 = std::min<int64_t>(b.rows, b.top + b.rows - w.top);
  const int64_t c0 = std::max<int64_t>(0, w.left - b.left);
  const int64_t c1 = std::min<int64_t>(b.bytes, w.right - b.left);
  if (r0 >= r1 || c0 >= c1) return false;
  *out = ClippedBlock{r0, r1 - r0, c0, c1 - c0, planeRows - b.top - b.rows + r0, b.left + c0};
  return true;
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
