#include "cells/cell_load.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "cells/run_length.h"
#include "common/formats.h"
#include "common/int32.h"
#include "common/screen.h"
#include "pack/picture_decoder.h"
#include "pack/picture_loader.h"

namespace tavikit {
namespace {

// Fills cell n with the picture that starts `offset` bytes into `name`, whose magic has been
// accepted: size from the header, the background cell, then the picture decoded into the cell.
Result FillCellFromPicture(CellState& cells, PackState& pack, int32_t n, const char* name,
                           int32_t offset, int32_t background) {
  Cell& cell = cells.cells[n];
  const int32_t fileSize = PackReadInt32(pack, name, WrapAdd(offset, kPictureFileSizeAt));
  const int32_t width = PackReadInt32(pack, name, WrapAdd(offset, kPictureWidthAt));
  const int32_t height = PackReadInt32(pack, name, WrapAdd(offset, kPictureHeightAt));
  std::vector<uint8_t> block;
  if (!AllocateCell(cell, width, height, false, cells.byteLimit) ||
      !PackReadBlock(pack, name, offset, fileSize, block)) {
    ReleaseCell(cell);
    return Result::kNoMemory;
  }
  CopyCell(cells, background, n);
  if (cell.PixelCount() > 0) {
    Screen target;  // the cell's buffer as a screen, the picture at its top-left
    target.width = cell.width;
    target.height = cell.height;
    target.pixels = cell.data.get();
    DecodePicture(target, block);
  }
  return Result::kOk;
}

bool IsPictureAt(PackState& pack, const char* name, int32_t offset) {
  bool ok = false;
  const int32_t magic = PackReadInt32(pack, name, offset, &ok);
  return ok && InPictureMagicRange(magic);
}

}  // namespace

void CopyCell(CellState& state, int32_t source, int32_t destination) {
  const Cell* src = state.Find(source);
  Cell* dst = state.Find(destination);
  if (src == nullptr || dst == nullptr || src->Empty() || dst->Empty()) return;
  if (dst->compressed != 0 || dst->fullColour != 0) return;  // only plain pixels are overwritten
  if (src->width > dst->width || src->height > dst->height) return;
  if (src->compressed != 0) {
    ExpandCell(*src, dst->data.get(), dst->width, dst->height, 0, 0);
    return;
  }
  const int64_t pixels = std::min(src->PixelCount(), dst->PixelCount());
  const auto bytes = std::min({static_cast<size_t>(4 * (pixels / 4)), src->size, dst->size});
  std::memmove(dst->data.get(), src->data.get(), bytes);
}

Result LoadCellPicture(CellState& cells, PackState& pack, int32_t n, const char* name,
                       int32_t background, char* packText) {
  PackOpen(pack, packText);
  if (!IsPictureAt(pack, name, 0) || cells.Find(n) == nullptr) return Result::kOk;
  return FillCellFromPicture(cells, pack, n, name, 0, background);
}

Result LoadCellArchivePicture(CellState& cells, PackState& pack, int32_t n, const char* name,
                              int32_t index, int32_t background) {
  Cell* cell = cells.Find(n);
  if (cell == nullptr) return Result::kOk;
  int32_t offset = 0;
  const ArchiveLookup found = FindArchivePicture(pack, name, index, offset);
  if (found == ArchiveLookup::kNotAnArchive) return Result::kOk;
  if (found == ArchiveLookup::kBadIndex ||
      index >= PackReadInt32(pack, name, formats::kArchiveCountAt)) {
    return Result::kFailed;
  }
  ReleaseCell(*cell);
  if (!IsPictureAt(pack, name, offset)) return Result::kOk;
  return FillCellFromPicture(cells, pack, n, name, offset, background);
}

}  // namespace tavikit
