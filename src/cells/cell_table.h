// The sprite-cell table: 2048 cells, each an owned pixel buffer with its size and layout.
//
// A cell's data is one of three layouts:
//  - plain 8-bit: width x height palette indices, rows bottom-up (data row 0 is the cell's
//    bottom row), followed by zero padding up to a whole word and one more word, so that the
//    compressor can read whole words and write its form in place;
//  - full colour: 3 bytes per pixel (blue, green, red), data rows 3 x width bytes apart;
//  - run-length: the form made by CompressCell (run_length.h).
// A cell with a dimension of 0 or less holds no pixels but may still hold a buffer.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

#include "common/rect.h"

namespace tavikit {

struct FreeCellBytes {
  void operator()(uint8_t* p) const { std::free(p); }  // NOLINT: allocated with calloc/realloc
};
using CellBytes = std::unique_ptr<uint8_t, FreeCellBytes>;

struct Cell {
  int32_t width = 0;
  int32_t height = 0;
  uint8_t fullColour = 0;
  uint8_t compressed = 0;
  CellBytes data;   // null: the cell is empty
  size_t size = 0;  // bytes in data

  bool Empty() const { return data == nullptr; }
  // width x height, or 0 when either is 0 or less.
  int64_t PixelCount() const;
};

// Cell buffers larger than this are refused as allocation failures (a 4096 x 4096 full-colour
// cell still fits).
inline constexpr int64_t kCellByteLimit = int64_t{1} << 26;

struct CellState {
  static constexpr int32_t kCells = 2048;

  std::array<Cell, kCells> cells;
  int64_t byteLimit = kCellByteLimit;  // lower in tests and fuzzing
  bool initialised = false;
  Rect clip{0, 0, 1, 1};  // of keyed drawing: until set, pixel (0, 0) only

  // Cell n, or null when n is outside 0 to 2047.
  Cell* Find(int32_t n) { return n >= 0 && n < kCells ? &cells[n] : nullptr; }
};

// The table behind the exports.
CellState& ProcessCells();

// Releases the cell's buffer and sets every field to zero.
void ReleaseCell(Cell& cell);

// Releases cell n and refills it with width x height zero pixels in the given layout. The cell
// keeps its width and height and stays empty when the buffer cannot be allocated or would be
// larger than `byteLimit`; returns whether it was allocated.
bool AllocateCell(Cell& cell, int32_t width, int32_t height, bool fullColour,
                  int64_t byteLimit = kCellByteLimit);

// The first call empties every cell and marks the table initialised; later calls do nothing.
void InitCells(CellState& state);

// Releases cells first to last (clamped into the table; only first when first >= last).
void FreeCells(CellState& state, int32_t first, int32_t last);

// The value of item 1 width, 2 height, 3 compressed, 4 fullColour of cell n (the export reports
// it negated); 0 for an empty cell or a cell number outside the table, nothing for any other
// item.
std::optional<int32_t> CellInfo(CellState& state, int32_t n, int32_t item);

}  // namespace tavikit
