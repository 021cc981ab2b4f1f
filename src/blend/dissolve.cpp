#include "blend/dissolve.h"

#include <algorithm>
#include <cstring>

#include "cells/keyed_row.h"
#include "common/int32.h"
#include "common/overlap.h"
#include "common/rect.h"
#include "common/screen.h"

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
  Span columns = SharedSpan(rect.x, source.width, target.cursorX, target.width);
  Span rows = SharedSpan(rect.y, source.height, target.cursorY, target.height);
  // The columns again as a 32-bit first column and count, tested per pixel with one unsigned
  // comparison (32-bit code would compare the 64-bit span in halves).
  int32_t firstColumn =
      static_cast<int32_t>(std::clamp<int64_t>(columns.first, INT32_MIN, INT32_MAX));
  uint32_t columnCount = static_cast<uint32_t>(
      std::max<int64_t>(0, std::clamp<int64_t>(columns.end, INT32_MIN, INT32_MAX) - firstColumn));

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
    const uint32_t column = static_cast<uint32_t>(c) - static_cast<uint32_t>(firstColumn);
    if (row.source == nullptr || column >= columnCount) return;
    const uint8_t s = row.source[rect.x + c];
    if (s != key) row.target[target.cursorX + c] = s;
  }

  // The first `count` pixels in raster order, a rectangle of positive sides.
  void CopyLeading(int32_t count) const {
    for (int32_t r = 0; count > 0; ++r, count -= rect.w) {
      const RowPair row = Rows(r);
      if (row.source == nullptr) continue;
      const auto begin = static_cast<int32_t>(std::max<int64_t>(0, columns.first));
      const auto end =
          static_cast<int32_t>(std::min<int64_t>(std::min(count, rect.w), columns.end));
      if (begin >= end) continue;
      const uint8_t* src = row.source + (rect.x + begin);
      uint8_t* dst = row.target + (target.cursorX + begin);
      const auto n = static_cast<size_t>(end - begin);
      // In order, each pixel read just before it is written: source and target may be one
      // screen. A target ahead of the source within the row tells that order apart from a
      // memmove; a keyed copy that reads a group of pixels before writing them differs only when
      // the target is less than a group ahead.
      const uintptr_t lead = LeadWithin(dst, src, n);
      if (key < 0 || key > 255) {
        if (lead == 0) {
          std::memmove(dst, src, n);
          continue;
        }
        for (size_t i = 0; i < n; ++i)
          dst[i] = src[i];
        continue;
      }
      const auto key8 = static_cast<uint8_t>(key);
      if (lead == 0 || lead >= kKeyedRowGroup) {
        CopyRowKeyed(dst, src, n, key8);
        continue;
      }
      for (size_t i = 0; i < n; ++i) {
        const uint8_t s = src[i];
        dst[i] = s == key8 ? dst[i] : s;
      }
    }
  }
};

}  // namespace

void FadeCopy(const Screen& source, const Screen& target, const CopyRect& rect, uint8_t level,
              int32_t key) {
  if (level == 0) return;
  const int32_t pixels = WrapMul(rect.w, rect.h);
  const int32_t count = TruncDiv(WrapMul(pixels, level), 255);
  if (count <= 0) return;  // also covers an empty rectangle, so rect.w is not 0 below
  const int32_t step = TruncDiv(WrapMul(256, pixels), count);
  const FadeWriter writer{source, target, rect, key};

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
    // Below 2^31 for every visited i, so 32 bits hold it (the step after the last may wrap).
    uint32_t product = 0;
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

void PatternCopy(const Screen& source, const Screen& target, const CopyRect& rect,
                 const uint8_t* pattern) {
  const Rect span = ClipCopy(rect, source, target);
  if (span.Empty()) return;
  const auto c0 = static_cast<int32_t>(span.left);
  const auto c1 = static_cast<int32_t>(span.right);
  for (auto r = static_cast<int32_t>(span.top); r < span.bottom; ++r) {
    const uint8_t* src = source.At(rect.x + c0, rect.y + r);  // column c0 of row r
    uint8_t* dst = target.At(target.cursorX + c0, target.cursorY + r);
    // Pixel (c, r) is number r * w + (w - 1 - c); only its value mod 16 matters, which 32-bit
    // wrap-around keeps.
    const uint32_t rowStart = static_cast<uint32_t>(r) * static_cast<uint32_t>(rect.w);
    for (int32_t c = c1 - 1; c >= c0; --c) {
      const uint32_t number = rowStart + static_cast<uint32_t>(rect.w - 1 - c);
      if (pattern[number & 15u] != 0) dst[c - c0] = src[c - c0];
    }
  }
}

}  // namespace tavikit
