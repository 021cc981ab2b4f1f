#include "cells/cell_load.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>

#include "cells/run_length.h"
#include "common/screen.h"
#include "pack/picture_decoder.h"
#include "pack/picture_loader.h"

namespace tavikit {
namespace {

// Fills cell n with the picture that starts `offset` bytes into `file`, when there is one: size
// from the header, the background cell, then the picture decoded into the cell.
Result FillCellFromPicture(CellState& cells, PackEntry& file, int32_t n, int32_t offset,
                           int32_t background) {
  const std::optional<PictureHead> head = ReadPictureHead(file, offset);
  if (!head) return Result::kOk;
  Cell& cell = cells.cells[n];
  const bool allocated = AllocateCell(cell, head->width, head->height, false, cells.byteLimit);
  const std::optional<std::span<const uint8_t>> block =
      allocated ? file.ReadBlock(offset, head->fileSize) : std::nullopt;
  if (!block) {
    ReleaseCell(cell);
    return Result::kNoMemory;
  }
  CopyCell(cells, background, n);
  if (cell.PixelCount() > 0) {
    Screen target;  // the cell's buffer as a screen, the picture at its top-left
    target.width = cell.width;
    target.height = cell.height;
    target.pixels = cell.data.get();
    DecodePicture(target, *block);
  }
  return Result::kOk;
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
  if (cells.Find(n) == nullptr) return Result::kOk;
  PackEntry file(pack, name);
  return FillCellFromPicture(cells, file, n, 0, background);
}

Result LoadCellArchivePicture(CellState& cells, PackState& pack, int32_t n, const char* name,
                              int32_t index, int32_t background) {
  Cell* cell = cells.Find(n);
  if (cell == nullptr) return Result::kOk;
  PackEntry file(pack, name);
  int32_t offset = 0;
  int32_t count = 0;
  const ArchiveLookup found = FindArchivePicture(file, index, offset, &count);
  if (found == ArchiveLookup::kNotAnArchive) return Result::kOk;
  if (found == ArchiveLookup::kBadIndex || index >= count) return Result::kFailed;
  ReleaseCell(*cell);
  return FillCellFromPicture(cells, file, n, offset, background);
}

}  // namespace tavikit
