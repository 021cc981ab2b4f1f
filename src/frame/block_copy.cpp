#include "frame/block_copy.h"

#include <algorithm>
#include <cstring>

#include "frame/int32.h"

namespace tavikit {
namespace {

// One 4-pixel group, read whole before it is written (the two may overlap).
inline void MoveGroup(uint8_t* dst, const uint8_t* src) {
  uint32_t group;
  std::memcpy(&group, src, 4);
  std::memcpy(dst, &group, 4);
}

// True when writing [dst, dst + n) group by group could change source bytes that a later group
// of the same run reads: the destination starts inside the source run, past its start.
inline bool WritesAhead(const uint8_t* dst, const uint8_t* src, size_t n) {
  const auto d = reinterpret_cast<uintptr_t>(dst);
  const auto s = reinterpret_cast<uintptr_t>(src);
  return d > s && d - s < n;
}

// True when the byte ranges [a, a + an) and [b, b + bn) share a byte.
inline bool Overlaps(const uint8_t* a, size_t an, const uint8_t* b, size_t bn) {
  const auto pa = reinterpret_cast<uintptr_t>(a);
  const auto pb = reinterpret_cast<uintptr_t>(b);
  return pa < pb + bn && pb < pa + an;
}

// Copies `groups` groups from src to dst in order. Where the order cannot be observed (no
// destination byte is read again later), one memmove does the same work.
void CopyGroupsInOrder(uint8_t* dst, const uint8_t* src, int32_t groups) {
  const size_t n = static_cast<size_t>(groups) * 4;
  if (!WritesAhead(dst, src, n)) {
    std::memmove(dst, src, n);
    return;
  }
  for (int32_t g = 0; g < groups; ++g)
    MoveGroup(dst + 4 * g, src + 4 * g);
}

// One target row of a tiled fill: `groups` groups, group k taken from the source row at column
// (col0 + 4k) mod tileW. The fast path copies each stretch that does not wrap in one go; it is
// taken only when the written row cannot touch the bytes it reads.
void TileRow(uint8_t* dst, const uint8_t* srcRow, int32_t ox, int32_t tileW, int32_t groups,
             bool mayOverlap) {
  const int32_t col0 = TruncMod(ox, tileW);
  if (mayOverlap || col0 < 0) {
    for (int32_t g = 0; g < groups; ++g) {
      MoveGroup(dst + 4 * g, srcRow + TruncMod(WrapAdd(ox, 4 * g), tileW));
    }
    return;
  }
  // ox >= 0 here, so (ox + 4k) mod tileW steps on from col0 modulo |tileW|.
  const int64_t period = tileW < 0 ? -static_cast<int64_t>(tileW) : tileW;
  int64_t col = col0;
  while (groups > 0) {
    const int32_t run = static_cast<int32_t>(std::min<int64_t>((period - col + 3) / 4, groups));
    std::memcpy(dst, srcRow + col, static_cast<size_t>(run) * 4);
    dst += static_cast<size_t>(run) * 4;
    groups -= run;
    col = (col + 4 * static_cast<int64_t>(run)) % period;
  }
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

void CopyToCursor(const Selection& sel, int32_t x, int32_t y, int32_t w, int32_t h) {
  const Screen target = sel.Target();
  CopyBlock(target, sel.Source(), target.cursorX, target.cursorY, x, y, w, h);
}

void FillWindow(const Selection& sel, int32_t x, int32_t y, int32_t sx, int32_t sy) {
  constexpr int32_t kW = 640;
  constexpr int32_t kH = 480;
  const Screen target = sel.Target();
  const Screen source = sel.Source();
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

void TileCopy(const Selection& sel, int32_t w, int32_t h, int32_t ox, int32_t oy) {
  const CopyRect tile = sel.copy;
  if (h < 1 || tile.w == 0 || tile.h == 0) return;
  ox = WrapAbs(ox);
  oy = WrapAbs(oy);
  const int32_t groups = static_cast<int32_t>((static_cast<int64_t>(w) + 3) / 4);
  if (groups < 1) return;
  const Screen target = sel.Target();
  const Screen source = sel.Source();
  const size_t rowBytes = static_cast<size_t>(groups) * 4;
  const size_t tileSpan = static_cast<size_t>(tile.w < 0 ? -static_cast<int64_t>(tile.w) : tile.w);
  uint8_t* dst = target.At(target.cursorX, target.cursorY);
  for (int32_t r = 0; r < h; ++r) {
    const int32_t t = TruncMod(WrapAdd(oy, r), tile.h);
    const uint8_t* srcRow = source.At(tile.x, WrapAdd(tile.y, t));
    // Groups read up to 3 bytes past the tile's right edge.
    const bool mayOverlap = Overlaps(dst, rowBytes, srcRow, tileSpan + 3);
    TileRow(dst, srcRow, ox, tile.w, groups, mayOverlap);
    dst += target.DownStep();
  }
}

}  // namespace tavikit
