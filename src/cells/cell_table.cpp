#include "cells/cell_table.h"

#include <algorithm>

namespace tavikit {
namespace {

// Plain cells: the pixels rounded up to a whole word, at least one word, plus one word. The
// run-length form of M words takes at most 4 + 4M bytes, so it always fits in place.
int64_t PlainBytes(int64_t pixels) { return 4 * std::max<int64_t>(1, (pixels + 3) / 4) + 4; }

}  // namespace

int64_t Cell::PixelCount() const { return width > 0 && height > 0 ? int64_t{width} * height : 0; }

void ReleaseCell(Cell& cell) { cell = Cell{}; }

bool AllocateCell(Cell& cell, int32_t width, int32_t height, bool fullColour, int64_t byteLimit) {
  ReleaseCell(cell);
  cell.width = width;
  cell.height = height;
  cell.fullColour = fullColour ? 1 : 0;
  const int64_t pixels = cell.PixelCount();
  const int64_t bytes = fullColour ? std::max<int64_t>(3 * pixels, 4) : PlainBytes(pixels);
  if (bytes > byteLimit) return false;
  cell.data.reset(static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bytes), 1)));
  if (cell.Empty()) return false;
  cell.size = static_cast<size_t>(bytes);
  return true;
}

void InitCells(CellState& state) {
  if (state.initialised) return;
  // Emptying releases the buffers too: a cell filled before the first call must not leak.
  for (Cell& cell : state.cells)
    ReleaseCell(cell);
  state.initialised = true;
}

void FreeCells(CellState& state, int32_t first, int32_t last) {
  first = std::clamp(first, 0, CellState::kCells - 1);
  last = std::clamp(last, 0, CellState::kCells - 1);
  if (first >= last) last = first;
  for (int32_t n = first; n <= last; ++n)
    ReleaseCell(state.cells[n]);
}

std::optional<int32_t> CellInfo(CellState& state, int32_t n, int32_t item) {
  const Cell* cell = state.Find(n);
  if (cell == nullptr || cell->Empty()) return 0;
  switch (item) {
    case 1:
      return cell->width;
    case 2:
      return cell->height;
    case 3:
      return cell->compressed;
    case 4:
      return cell->fullColour;
    default:
      return std::nullopt;
  }
}

}  // namespace tavikit
