#include "effects/zoom.h"

#include "effects/span.h"
#include "frame/int32.h"

namespace tavikit {
namespace {

// One target row of a scaled copy: pixel i samples source column (fx + i x stepX) >> 8 of
// `srcRow` (null when the source row is off the screen), or takes the fill colour off the screen.
// A key is compared with the whole pixel value, so a negative key or one above 255 copies all.
struct ScaledRow {
  const uint8_t* srcRow;
  int32_t srcWidth;
  int32_t fill;
  int32_t key;

  void Draw(uint8_t* dst, int32_t count, int32_t fx, int32_t stepX) const {
    const bool filled = fill >= 0;
    const auto fillIndex = static_cast<uint8_t>(fill);
    for (int32_t i = 0; i < count; ++i) {
      const int32_t sx = Sar(fx, 8);
      if (srcRow != nullptr && static_cast<uint32_t>(sx) < static_cast<uint32_t>(srcWidth)) {
        const uint8_t p = srcRow[sx];
        if (p != key) dst[i] = p;
      } else if (filled) {
        dst[i] = fillIndex;
      }
      fx = WrapAdd(fx, stepX);
    }
  }
};

// The source row y, or null when it is off the screen.
const uint8_t* SourceRow(const Screen& source, int32_t y) {
  return (y >= 0 && y < source.height) ? source.Row(y) : nullptr;
}

}  // namespace

void ZoomCopy(const Selection& sel, int32_t W, int32_t H, int32_t fill, int32_t key) {
  if (W < 1 || H < 1) return;
  const CopyRect rect = sel.copy;
  const Screen source = sel.Source();
  const Screen target = sel.Target();
  const int32_t stepX = TruncDiv(WrapMul(rect.w, 256), W);
  const int32_t stepY = TruncDiv(WrapMul(rect.h, 256), H);
  // Only the part of the area on the target is drawn; it samples the positions it would sample
  // with the whole area drawn.
  const Span cols = VisibleSpan(target.cursorX, W, target.width);
  const Span rows = VisibleSpan(target.cursorY, H, target.height);
  if (cols.Empty() || rows.Empty()) return;
  const int32_t fx = WrapAdd(WrapMul(rect.x, 256), WrapMul(cols.first, stepX));
  int32_t fy = WrapAdd(WrapMul(rect.y, 256), WrapMul(rows.first, stepY));
  for (int32_t j = rows.first; j < rows.end; ++j) {
    const ScaledRow row{SourceRow(source, Sar(fy, 8)), source.width, fill, key};
    row.Draw(target.At(target.cursorX + cols.first, target.cursorY + j), cols.Size(), fx, stepX);
    fy = WrapAdd(fy, stepY);
  }
}

void PolyCopy(const Selection& sel, int32_t W, int32_t H, int32_t T0, int32_t fill) {
  if (H < 1) return;
  const CopyRect rect = sel.copy;
  const Screen source = sel.Source();
  const Screen target = sel.Target();
  const int32_t stepY = TruncDiv(WrapMul(rect.h, 256), H);
  const int32_t margin0 = TruncDiv(WrapSub(W, T0), 2);
  const int32_t dWidth = TruncDiv(WrapMul(margin0, 256), H);
  int32_t rowWidth = WrapMul(T0, 256);
  int32_t fy = WrapMul(rect.y, 256);
  for (int32_t j = 0; j < H; ++j) {
    const int32_t rw = Sar(rowWidth, 8);
    if (rw != 0) {
      const int32_t stepX = TruncDiv(WrapMul(rect.w, 256), rw);
      const int32_t fx = WrapSub(WrapMul(rect.x, 256), WrapMul(TruncDiv(WrapSub(W, rw), 2), stepX));
      const ScaledRow row{SourceRow(source, Sar(fy, 8)), source.width, fill, -1};
      row.Draw(target.At(target.cursorX, target.cursorY + j), W, fx, stepX);
    }
    rowWidth = WrapAdd(rowWidth, dWidth);
    fy = WrapAdd(fy, stepY);
  }
}

}  // namespace tavikit
