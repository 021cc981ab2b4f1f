// Drawing cells into screens and capturing them from screens. Every operation takes the screen
// it works on and places the cell's top-left pixel at that screen's cursor. Only the part of a
// cell that lies inside the screen is drawn or captured; nothing outside the screen's buffer is
// read or written.
#pragma once

#include <cstdint>

#include "cells/cell_table.h"
#include "common/screen.h"

namespace tavikit {

// Draws cell n. Plain 8-bit cells: opaque in whole 4-pixel groups of each row (one sweep when the
// cell spans the screen's width at column 0), or with index 0 left out when `transparency` is not
// 0. Run-length cells: every pixel. Full-colour cells, on a full-colour screen: whole words of each
// row, or one sweep from the buffer's start when the cell has the screen's size.
void PutCell(CellState& state, const Screen& screen, int32_t n, int32_t transparency);

// Draws plain 8-bit cell n leaving out pixels equal to `key` (only 0 to 255 can match), inside the
// cell clip rectangle only.
void PutCellMasked(CellState& state, const Screen& screen, int32_t n, int32_t key);

// Sets the cell clip rectangle to w x h pixels at (x, y); w or h of 0 or less admits nothing.
void SetCellClip(CellState& state, int32_t x, int32_t y, int32_t w, int32_t h);

// Fills cell n with the w x h rectangle at the screen's cursor, w rounded toward zero to a
// multiple of 4. Pixels of the rectangle outside the screen are 0 in the cell.
void CaptureCell(CellState& state, const Screen& screen, int32_t n, int32_t w, int32_t h);

// Fills cell n from a full-colour screen: w is cut to the widest width whose rows are whole words
// (((3 w) / 4 * 4) / 3), and each data row holds the full 3 x width bytes of its screen row.
void CaptureColourCell(CellState& state, const Screen& screen, int32_t n, int32_t w, int32_t h);

}  // namespace tavikit
