#include "cells/cell_draw.h"

#include <algorithm>
#include <cstring>

#include "cells/cell_block.h"
#include "cells/keyed_row.h"
#include "cells/run_length.h"
#include "common/int32.h"
#include "common/rect.h"

namespace tavikit {
namespace {

// A screen's buffer seen as rows of bytes: 1 byte per pixel, or 3 for a full-colour screen.
struct BytePlane {
  uint8_t* bytes = nullptr;
  int64_t rowBytes = 0;
  int64_t rows = 0;

  Rect Whole() const { return Rect{0, 0, rowBytes, rows}; }
};

BytePlane PlaneOf(const Screen& screen, int64_t bytesPerPixel) {
  if (screen.pixels == nullptr || screen.width <= 0 || screen.height <= 0) return BytePlane{};
  return BytePlane{screen.pixels, bytesPerPixel * screen.width, screen.height};
}

// The same buffer as one row holding every byte: for sweeps over contiguous rows.
BytePlane AsOneRow(const BytePlane& plane) {
  return BytePlane{plane.bytes, plane.rowBytes * plane.rows, plane.rows > 0 ? 1 : 0};
}

void CopyRow(uint8_t* dst, const uint8_t* src, size_t n) { std::memcpy(dst, src, n); }

// Runs op(planeBytes, cellBytes, n) over the visible rows of the block.
template <class RowOp>
void VisitBlock(const BytePlane& plane, const Rect& window, const Rect& block, uint8_t* cell,
                int64_t cellStride, RowOp op) {
  if (plane.bytes == nullptr) return;
  const std::optional<ClippedBlock> visible = ClipBlock(block, window, plane.rows);
  if (!visible) return;
  ForEachVisibleRow(*visible, plane.bytes, plane.rowBytes, cell, cellStride, op);
}

void PutColour(const Cell& cell, const Screen& screen) {
  const BytePlane plane = PlaneOf(screen, 3);
  uint8_t* data = cell.data.get();
  const int64_t rowBytes = 3 * int64_t{cell.width};
  if (cell.width == screen.width && cell.height == screen.height) {
    const int64_t bytes = 4 * (rowBytes * cell.height / 4);
    VisitBlock(AsOneRow(plane), AsOneRow(plane).Whole(), Rect::FromSize(0, 0, bytes, 1), data, 0,
               CopyRow);
    return;
  }
  const Rect block =
      Rect::FromSize(3 * int64_t{screen.cursorX}, screen.cursorY, 4 * (rowBytes / 4), cell.height);
  VisitBlock(plane, plane.Whole(), block, data, rowBytes, CopyRow);
}

void PutOpaque(const Cell& cell, const Screen& screen) {
  const BytePlane plane = PlaneOf(screen, 1);
  uint8_t* data = cell.data.get();
  if (screen.cursorX == 0 && cell.width == screen.width) {
    // The cell's rows are contiguous in the screen: whole words of all of them in one sweep.
    const BytePlane row = AsOneRow(plane);
    const int64_t start = (int64_t{screen.height} - screen.cursorY - cell.height) * screen.width;
    const Rect block = Rect::FromSize(start, 0, 4 * (cell.PixelCount() / 4), 1);
    VisitBlock(row, row.Whole(), block, data, 0, CopyRow);
    return;
  }
  const Rect block =
      Rect::FromSize(screen.cursorX, screen.cursorY, 4 * (int64_t{cell.width} / 4), cell.height);
  VisitBlock(plane, plane.Whole(), block, data, cell.width, CopyRow);
}

// Plain cell pixels inside `window`, pixels equal to `key` left out; a key outside 0 to 255
// matches nothing.
void PutKeyed(const Cell& cell, const Screen& screen, const Rect& window, int32_t key) {
  const BytePlane plane = PlaneOf(screen, 1);
  const Rect block = Rect::FromSize(screen.cursorX, screen.cursorY, cell.width, cell.height);
  if (key < 0 || key > 255) {
    VisitBlock(plane, window, block, cell.data.get(), cell.width, CopyRow);
    return;
  }
  if (plane.bytes == nullptr) return;
  const std::optional<ClippedBlock> c = ClipBlock(block, window, plane.rows);
  if (!c) return;
  // Clipped once; the rows then go to the keyed kernel as one block (the cell's own buffer
  // never overlaps the screen).
  CopyBlockKeyed(plane.bytes + c->planeRow * plane.rowBytes + c->planeByte, plane.rowBytes,
                 cell.data.get() + c->firstRow * cell.width + c->firstByte, cell.width,
                 static_cast<size_t>(c->bytes), static_cast<size_t>(c->rows),
                 static_cast<uint8_t>(key));
}

const Cell* DrawableCell(CellState& state, int32_t n) {
  const Cell* cell = state.Find(n);
  return cell != nullptr && !cell->Empty() && cell->PixelCount() > 0 ? cell : nullptr;
}

}  // namespace

void PutCell(CellState& state, const Screen& screen, int32_t n, int32_t transparency) {
  const Cell* cell = DrawableCell(state, n);
  if (cell == nullptr) return;
  if (cell->fullColour != 0) {
    PutColour(*cell, screen);
  } else if (cell->compressed != 0) {
    ExpandCell(*cell, screen.pixels, screen.width, screen.height, screen.cursorX, screen.cursorY);
  } else if (transparency != 0) {
    PutKeyed(*cell, screen, PlaneOf(screen, 1).Whole(), 0);
  } else {
    PutOpaque(*cell, screen);
  }
}

void PutCellMasked(CellState& state, const Screen& screen, int32_t n, int32_t key) {
  const Cell* cell = DrawableCell(state, n);
  if (cell == nullptr || cell->compressed != 0 || cell->fullColour != 0) return;
  PutKeyed(*cell, screen, state.clip.Intersect(PlaneOf(screen, 1).Whole()), key);
}

void SetCellClip(CellState& state, int32_t x, int32_t y, int32_t w, int32_t h) {
  // The last column and row are x + w - 1 and y + h - 1 in 32-bit arithmetic; the rectangle ends
  // one past them.
  state.clip =
      Rect{x, y, int64_t{WrapSub(WrapAdd(x, w), 1)} + 1, int64_t{WrapSub(WrapAdd(y, h), 1)} + 1};
}

void CaptureCell(CellState& state, const Screen& screen, int32_t n, int32_t w, int32_t h) {
  Cell* cell = state.Find(n);
  if (cell == nullptr) return;
  const int32_t width = WrapSub(w, TruncMod(w, 4));
  if (!AllocateCell(*cell, width, h, false, state.byteLimit) || cell->PixelCount() == 0) return;
  const BytePlane plane = PlaneOf(screen, 1);
  VisitBlock(plane, plane.Whole(), Rect::FromSize(screen.cursorX, screen.cursorY, width, h),
             cell->data.get(), width,
             [](const uint8_t* src, uint8_t* dst, size_t count) { CopyRow(dst, src, count); });
}

void CaptureColourCell(CellState& state, const Screen& screen, int32_t n, int32_t w, int32_t h) {
  Cell* cell = state.Find(n);
  if (cell == nullptr) return;
  const int32_t width = TruncDiv(WrapMul(TruncDiv(WrapMul(3, w), 4), 4), 3);
  if (!AllocateCell(*cell, width, h, true, state.byteLimit) || cell->PixelCount() == 0) return;
  const BytePlane plane = PlaneOf(screen, 3);
  const int64_t rowBytes = 3 * int64_t{width};
  const Rect block = Rect::FromSize(3 * int64_t{screen.cursorX}, screen.cursorY, rowBytes, h);
  VisitBlock(plane, plane.Whole(), block, cell->data.get(), rowBytes,
             [](const uint8_t* src, uint8_t* dst, size_t count) { CopyRow(dst, src, count); });
}

}  // namespace tavikit
