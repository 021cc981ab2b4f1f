// Filling cells from pictures and from pictures of an archive, over a background cell.
#pragma once

#include <cstdint>

#include "cells/cell_table.h"
#include "common/result.h"
#include "pack/pack_reader.h"

namespace tavikit {

// Puts the pixels of cell `source` into the existing buffer of plain 8-bit cell `destination`,
// when both hold data and the source is no larger in either dimension: a run-length source is
// expanded with its top-left pixel at the destination's top-left pixel; any other source gives the
// first min(source, destination) pixels, in whole words, in the order they are stored.
void CopyCell(CellState& state, int32_t source, int32_t destination);

// Opens the pack text, then fills cell n with the picture `name`, read through one open of its
// file: the cell gets the picture's size, the background cell's pixels, then the picture drawn
// over them (pixels that neither sets are 0). Returns kOk (loaded, not a picture, n outside the
// table; the last two leave the cell as it was) or kNoMemory (the cell is empty).
Result LoadCellPicture(CellState& cells, PackState& pack, int32_t n, const char* name,
                       int32_t background, char* packText);

// As LoadCellPicture for picture `index` of the archive `name`, read from the pack already open
// or from disk, through one open. Returns kOk (loaded, not an archive, not a picture, n outside the
// table), kFailed (index outside 0 to count - 1; the cell is untouched) or kNoMemory. Once the
// archive and the index are accepted the cell is emptied, even if the entry proves not to be a
// picture.
Result LoadCellArchivePicture(CellState& cells, PackState& pack, int32_t n, const char* name,
                              int32_t index, int32_t background);

}  // namespace tavikit
