#include "blend/dissolve.h"

#include "blend/copy_span.h"
#include "frame/int32.h"

namespace tavikit {
namespace {

// Copies pixel (c, r) of the rectangle when it is read from inside the source and written inside
// the target, and is not the key. Rows and columns may lie outside the rectangle's own extent
// (sides of negative length give them), so only the screens bound them.
struct FadeWriter {
  Screen source;
  Screen target;
  CopyRect rect;
  int32_t key;
  ScreenBounds columns = SharedBounds(rect.x, source.width, target.cursorX, target.width);
  ScreenBounds rows = SharedBounds(rect.y, source.height, target.cursorY, target.height);

  void Copy(int32_t c, int32_t r) const {
    if (!columns.Holds(c) || !rows.Holds(r)) return;
    const uint8_t s = *source.At(rect.x + c, rect.y + r);
    if (s == key) return;
    *target.At(target.cursorX + c, target.cursorY + r) = s;
  }
};

}  // namespace

void FadeCopy(const Selection& selection, uint8_t level, int32_t key) {
  if (level == 0) return;
  const CopyRect rect = selection.copy;
  const int32_t pixels = WrapMul(rect.w, rect.h);
  const int32_t count = TruncDiv(WrapMul(pixels, level), 255);
  if (count <= 0) return;  // also covers an empty rectangle, so rect.w is not 0 below
  const int32_t step = TruncDiv(WrapMul(256, pixels), count);
  const Screen source = selection.Source();
  const Screen target = selection.Target();
  const FadeWriter writer{source, target, rect, key};

  // When i * step stays within 32 bits for every i (a rectangle of positive sides, 256 * N not
  // wrapping), pixel numbers rise with i and the row and column can be stepped on instead of
  // divided out for each pixel.
  const int64_t lastProduct = int64_t{count - 1} * step;
  if (rect.w > 0 && rect.h > 0 && step >= 0 && lastProduct <= INT32_MAX) {
    int64_t product = 0;
    int32_t number = 0;
    int32_t r = 0;
    int32_t c = 0;
    for (int32_t i = 0; i < count; ++i, product += step) {
      const auto next = static_cast<int32_t>(product >> 8);
      c += next - number;
      number = next;
      if (c >= rect.w) {
        r += c / rect.w;
        c %= rect.w;
      }
      writer.Copy(c, r);
    }
    return;
  }
  for (int32_t i = 0; i < count; ++i) {
    const int32_t number = Sar(WrapMul(i, step), 8);
    writer.Copy(TruncMod(number, rect.w), TruncDiv(number, rect.w));
  }
}

void PatternCopy(const Selection& selection, const uint8_t* pattern) {
  const CopyRect rect = selection.copy;
  const Screen source = selection.Source();
  const Screen target = selection.Target();
  const CopySpan span = ClipCopy(rect, source, target);
  if (span.Empty()) return;
  for (int32_t r = span.r0; r < span.r1; ++r) {
    const uint8_t* src = source.At(rect.x + span.c0, rect.y + r);  // column span.c0 of row r
    uint8_t* dst = target.At(target.cursorX + span.c0, target.cursorY + r);
    // Pixel (c, r) is number r * w + (w - 1 - c); only its value mod 16 matters, which 32-bit
    // wrap-around keeps.
    const uint32_t rowStart = static_cast<uint32_t>(r) * static_cast<uint32_t>(rect.w);
    for (int32_t c = span.c1 - 1; c >= span.c0; --c) {
      const uint32_t number = rowStart + static_cast<uint32_t>(rect.w - 1 - c);
      if (pattern[number & 15u] != 0) dst[c - span.c0] = src[c - span.c0];
    }
  }
}

}  // namespace tavikit
