#include "frame/block_copy.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "common/int32.h"
#include "common/overlap.h"

namespace tavikit {
namespace {

// One 4-pixel group, read whole before it is written (the two may overlap).
inline void MoveGroup(uint8_t* dst, const uint8_t* src) {
  uint32_t group;
  std::memcpy(&group, src, 4);
  std::memcpy(dst, &group, 4);
}

// Copies `groups` groups from src to dst in order. Where the order cannot be observed (no
// destination byte is read again later), one memmove does the same work.
void CopyGroupsInOrder(uint8_t* dst, const uint8_t* src, int32_t groups) {
  const size_t n = static_cast<size_t>(groups) * 4;
  if (LeadWithin(dst, src, n) == 0) {
    std::memmove(dst, src, n);
    return;
  }
  for (int32_t g = 0; g < groups; ++g)
    MoveGroup(dst + 4 * g, src + 4 * g);
}

// One target row of a tiled fill, group by group in order: group k comes from the source row at
// column (ox + 4k) mod tileW. Exact whatever the row and the tile share.
void TileRowInOrder(uint8_t* dst, const uint8_t* srcRow, int32_t ox, int32_t tileW,
                    int32_t groups) {
  for (int32_t g = 0; g < groups; ++g) {
    MoveGroup(dst + 4 * g, srcRow + TruncMod(WrapAdd(ox, 4 * g), tileW));
  }
}

// The same row when it cannot touch the tile, for 0 <= col0 < period (the tile's width).
// Stretches that do not wrap move in one go; the row repeats every lcm(4, period) bytes, so
// once that much is written the rest is copied from the row's own start.
void TileRowFast(uint8_t* dst, const uint8_t* srcRow, int64_t col0, int64_t period,
                 int32_t groups) {
  const int64_t repeatGroups = std::lcm<int64_t>(4, period) / 4;
  int32_t left = static_cast<int32_t>(std::min<int64_t>(repeatGroups, groups));
  uint8_t* out = dst;
  int64_t col = col0;
  while (left > 0) {
    const int32_t run = static_cast<int32_t>(std::min<int64_t>((period - col + 3) / 4, left));
    std::memcpy(out, srcRow + col, static_cast<size_t>(run) * 4);
    out += static_cast<size_t>(run) * 4;
    left -= run;
    col = (col + 4 * static_cast<int64_t>(run)) % period;
  }
  const size_t rowBytes = static_cast<size_t>(groups) * 4;
  for (size_t done = static_cast<size_t>(out - dst); done < rowBytes;) {
    const size_t n = std::min(done, rowBytes - done);
    std::memcpy(dst + done, dst, n);
    done += n;
  }
}

// The bytes from the first pixel of the lowest row to the end of the top row of a block of
// `rows` rows, `bytes` wide, whose top-left pixel is (x, y).
AddressRun BlockSpan(const Screen& s, int32_t x, int32_t y, int64_t rows, size_t bytes) {
  const auto top = reinterpret_cast<uintptr_t>(s.At(x, y));
  const uintptr_t rowStep = static_cast<uintptr_t>(static_cast<intptr_t>(s.width));
  return {top - static_cast<uintptr_t>(rows - 1) * rowStep, top + bytes};
}

}  // namespace

void CopyBlock(const Screen& target, const Screen& source, int32_t dx, int32_t dy, int32_t sx,
               int32_t sy, int32_t w, int32_t h) {
  const int32_t groups = TruncDiv(w, 4);
  if (h < 1 || groups < 1) return;
  uint8_t* dst = target.At(dx, dy);
  const uint8_t* src = source.At(sx, sy);
  for (int32_t r = 0; r < h; ++r) {
    CopyGroupsInOrder(dst, src, groups);
    dst += target.DownStep();
    src += source.DownStep();
  }
}

void CopyToCursor(const Screen& target, const Screen& source, int32_t x, int32_t y, int32_t w,
                  int32_t h) {
  CopyBlock(target, source, target.cursorX, target.cursorY, x, y, w, h);
}

void FillWindow(const Screen& target, const Screen& source, int32_t x, int32_t y, int32_t sx,
                int32_t sy) {
  constexpr int32_t kW = 640;
  constexpr int32_t kH = 480;
  const int32_t cx = target.cursorX;
  const int32_t cy = target.cursorY;
  const int32_t ox = WrapSub(x, cx);
  const int32_t oy = WrapSub(y, cy);
  const int32_t restW = WrapSub(kW, ox);
  const int32_t restH = WrapSub(kH, oy);
  const int32_t wrapSx = WrapAdd(sx, restW);
  const int32_t wrapSy = WrapAdd(sy, restH);
  CopyBlock(target, source, x, y, sx, sy, restW, restH);
  if (oy >= 1) CopyBlock(target, source, x, cy, sx, wrapSy, restW, oy);
  if (ox >= 1) CopyBlock(target, source, cx, y, wrapSx, sy, ox, restH);
  if (ox >= 1 && oy >= 1) CopyBlock(target, source, cx, cy, wrapSx, wrapSy, ox, oy);
}

void TileCopy(const Screen& target, const Screen& source, const CopyRect& tile, int32_t w,
              int32_t h, int32_t ox, int32_t oy) {
  if (h < 1 || tile.w == 0 || tile.h == 0) return;
  ox = WrapAbs(ox);
  oy = WrapAbs(oy);
  const int32_t groups = static_cast<int32_t>((static_cast<int64_t>(w) + 3) / 4);
  if (groups < 1) return;
  const size_t rowBytes = static_cast<size_t>(groups) * 4;
  const int64_t tileW = tile.w < 0 ? -static_cast<int64_t>(tile.w) : tile.w;
  const int64_t tileH = tile.h < 0 ? -static_cast<int64_t>(tile.h) : tile.h;

  // Groups read up to 3 bytes past the tile's right edge.
  const AddressRun written = BlockSpan(target, target.cursorX, target.cursorY, h, rowBytes);
  const AddressRun read = BlockSpan(source, tile.x, tile.y, tileH, static_cast<size_t>(tileW) + 3);
  const bool disjoint = !written.Overlaps(read);
  // With non-negative offsets the tile rows and columns repeat with the tile's size; only
  // INT32_MIN stays negative under WrapAbs.
  const bool fast = disjoint && ox >= 0 && oy >= 0 && target.width > 0;

  uint8_t* dst = target.At(target.cursorX, target.cursorY);
  for (int32_t r = 0; r < h; ++r) {
    if (fast && r >= tileH) {
      // Row r shows the same tile row as row r - tileH.
      std::memcpy(dst, dst + tileH * static_cast<int64_t>(target.width), rowBytes);
    } else {
      const int32_t t = TruncMod(WrapAdd(oy, r), tile.h);
      const uint8_t* srcRow = source.At(tile.x, WrapAdd(tile.y, t));
      if (fast) {
        TileRowFast(dst, srcRow, ox % tileW, tileW, groups);
      } else {
        TileRowInOrder(dst, srcRow, ox, tile.w, groups);
      }
    }
    dst += target.DownStep();
  }
}

}  // namespace tavikit
