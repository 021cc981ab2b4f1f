#include "blend/dissolve.h"

#include <algorithm>

#include "blend/copy_span.h"
#include "frame/int32.h"

namespace tavikit {
namespace {

// Copies pixels (c, r) of the rectangle that are read from inside the source and written inside
// the target, leaving out the key. Rows and columns may lie outside the rectangle's own extent
// (sides of negative length give them), so only the screens bound them.
struct FadeWriter {
  Screen source;
  Screen target;
  CopyRect rect;
  int32_t key;
  ScreenBounds columns = SharedBounds(rect.x, source.width, target.cursorX, target.width);
  ScreenBounds rows = SharedBounds(rect.y, source.height, target.cursorY, target.height);

  // Row r of the rectangle in both screens; nulls when it lies outside either.
  struct RowPair {
    const uint8_t* source = nullptr;
    uint8_t* target = nullptr;
  };
  RowPair Rows(int32_t r) const {
    if (!rows.Holds(r)) return {};
    return {source.Row(rect.y + r), target.Row(target.cursorY + r)};
  }

  void CopyInRow(const RowPair& row, int32_t c) const {
    if (row.source == nullptr || !columns.Holds(c)) return;
    const uint8_t s = row.source[rect.x + c];
    if (s != key) row.target[target.cursorX + c] = s;
  }

  // The first `count` pixels in raster order, a rectangle of positive sides.
  void CopyLeading(int32_t count) const {
    for (int32_t r = 0; count > 0; ++r, count -= rect.w) {
      const RowPair row = Rows(r);
      if (row.source == nullptr) continue;
      const auto begin = static_cast<int32_t>(std::max<int64_t>(0, columns.lo));
      const auto end = static_cast<int32_t>(std::min<int64_t>(std::min(count, rect.w), columns.hi));
      if (begin >= end) continue;
      const uint8_t* src = row.source + (rect.x + begin);
      uint8_t* dst = row.target + (target.cursorX + begin);
      if (key < 0 || key > 255) {
        for (int32_t i = 0; i < end - begin; ++i)
          dst[i] = src[i];  // in order: source and target may be one screen
        continue;
      }
      const auto key8 = static_cast<uint8_t>(key);
      for (int32_t i = 0; i < end - begin; ++i) {
        const uint8_t s = src[i];
        const uint8_t d = dst[i];
        dst[i] = s == key8 ? d : s;  // a select the compiler can vectorise
      }
    }
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
  const FadeWriter writer{selection.Source(), selection.Target(), rect, key};

  // When i * step stays within 32 bits for every i (a rectangle of positive sides, 256 * N not
  // wrapping), pixel numbers rise with i and the row and column can be stepped on instead of
  // divided out for each pixel. A step of exactly one pixel (level 255) visits the first `count`
  // pixels one after the other.
  const int64_t lastProduct = int64_t{count - 1} * step;
  if (rect.w > 0 && rect.h > 0 && step >= 0 && lastProduct <= INT32_MAX) {
    if (step == 256) {
      writer.CopyLeading(count);
      return;
    }
    int64_t product = 0;
    int32_t number = 0;
    int32_t r = 0;
    int32_t c = 0;
    FadeWriter::RowPair row = writer.Rows(0);
    for (int32_t i = 0; i < count; ++i, product += step) {
      const auto next = static_cast<int32_t>(product >> 8);
      c += next - number;
      number = next;
      if (c >= rect.w) {
        r += c / rect.w;
        c %= rect.w;
        row = writer.Rows(r);
      }
      writer.CopyInRow(row, c);
    }
    return;
  }
  for (int32_t i = 0; i < count; ++i) {
    const int32_t number = Sar(WrapMul(i, step), 8);
    writer.CopyInRow(writer.Rows(TruncDiv(number, rect.w)), TruncMod(number, rect.w));
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
