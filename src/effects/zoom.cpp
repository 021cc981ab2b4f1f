#include "effects/zoom.h"

#include <array>
#include <cstring>

#include "cells/keyed_row.h"
#include "common/int32.h"
#include "common/rect.h"
#include "effects/byte_pairs.h"
#include "effects/stepped_span.h"

namespace tavikit {
namespace {

// Target pixels sampled into a stack block before a keyed merge.
constexpr int32_t kChunk = 256;
// Samples of one source row kept for the rows below it that sample it again.
constexpr int32_t kRowSamples = 2048;

// count pixels of `row`, the first at position pos and then every `step`: all of them on the row,
// pos and step 8-bit fixed point. Whole-pixel factors of 1, 2 and 1/2 take loops of their own.
void SampleRow(uint8_t* dst, const uint8_t* row, int32_t count, int32_t pos, int32_t step) {
  if (count < 1) return;
  const auto n = static_cast<size_t>(count);
  const uint8_t* src = row + Sar(pos, 8);
  if (step == 256) {
    std::memcpy(dst, src, n);
  } else if (step == 512) {
    EvenBytes(dst, src, n);
  } else if (step == 128) {
    size_t i = 0;
    if ((pos & 128) != 0) {
      // The first sample sits in the second half of its pixel: the next step moves on.
      dst[0] = src[0];
      ++src;
      i = 1;
    }
    const size_t pairs = (n - i) / 2;
    DoubleBytes(dst + i, src, pairs);
    if (i + 2 * pairs < n) dst[n - 1] = src[pairs];
  } else {
    auto p = static_cast<uint32_t>(pos);
    const auto s = static_cast<uint32_t>(step);
    for (size_t i = 0; i < n; ++i, p += s)
      dst[i] = row[p >> 8];
  }
}

// Pixel by pixel from left to right with each sample read just before its pixel is written: the
// order that counts when the target shares memory with the source.
template <bool kKeyed>
void SampleRowInOrder(uint8_t* dst, const uint8_t* row, int32_t count, int32_t pos, int32_t step,
                      uint8_t key) {
  auto p = static_cast<uint32_t>(pos);
  const auto s = static_cast<uint32_t>(step);
  for (int32_t i = 0; i < count; ++i, p += s) {
    const uint8_t v = row[p >> 8];
    if constexpr (kKeyed) {
      dst[i] = KeyedPick(v, dst[i], key);
    } else {
      dst[i] = v;
    }
  }
}

// How the rows of one call are drawn: from which source width, with what fill and key, and
// whether the target may share memory with the source.
struct RowPlan {
  int32_t srcWidth = 0;
  int32_t fill = -1;  // 0 or more: low 8 bits written where the sample is off the source
  int32_t key = -1;   // 0 .. 255: source pixels of this value are left out
  bool apart = false;

  bool Keyed() const { return key >= 0 && key <= 255; }

  void Fill(uint8_t* dst, int32_t first, int32_t end) const {
    if (fill >= 0 && end > first)
      std::memset(dst + first, static_cast<uint8_t>(fill), static_cast<size_t>(end - first));
  }

  // One target row: pixel i samples source column (fx + i x stepX) >> 8 of `row` (null when the
  // source row is off the screen).
  void Draw(uint8_t* dst, const uint8_t* row, int32_t count, int32_t fx, int32_t stepX) const;

  // The original order of tests, for rows whose positions wrap around the 32-bit range.
  void DrawWrapping(uint8_t* dst, const uint8_t* row, int32_t count, int32_t fx,
                    int32_t stepX) const;
};

void RowPlan::Draw(uint8_t* dst, const uint8_t* row, int32_t count, int32_t fx,
                   int32_t stepX) const {
  if (row == nullptr) {
    Fill(dst, 0, count);
    return;
  }
  if (!StepsWithoutWrap(fx, stepX, count)) {
    DrawWrapping(dst, row, count, fx, stepX);
    return;
  }
  const Span in = SpanInside(fx, stepX, count, 0, int64_t{srcWidth} * 256);
  Fill(dst, 0, in.first);
  if (!in.Empty()) {
    const auto pos = static_cast<int32_t>(int64_t{fx} + int64_t{in.first} * stepX);
    uint8_t* out = dst + in.first;
    const auto keyIndex = static_cast<uint8_t>(key);
    if (!apart) {
      if (Keyed()) {
        SampleRowInOrder<true>(out, row, in.Size(), pos, stepX, keyIndex);
      } else {
        SampleRowInOrder<false>(out, row, in.Size(), pos, stepX, keyIndex);
      }
    } else if (!Keyed()) {
      SampleRow(out, row, in.Size(), pos, stepX);
    } else {
      std::array<uint8_t, kChunk> block;
      for (int32_t done = 0; done < in.Size(); done += kChunk) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(kChunk, in.Size() - done));
        const auto at = static_cast<int32_t>(int64_t{pos} + int64_t{done} * stepX);
        SampleRow(block.data(), row, n, at, stepX);
        CopyRowKeyed(out + done, block.data(), static_cast<size_t>(n), keyIndex);
      }
    }
  }
  Fill(dst, in.Empty() ? 0 : in.end, count);
}

void RowPlan::DrawWrapping(uint8_t* dst, const uint8_t* row, int32_t count, int32_t fx,
                           int32_t stepX) const {
  for (int32_t i = 0; i < count; ++i) {
    const int32_t sx = Sar(fx, 8);
    if (static_cast<uint32_t>(sx) < static_cast<uint32_t>(srcWidth)) {
      const uint8_t p = row[sx];
      if (p != key) dst[i] = p;
    } else if (fill >= 0) {
      dst[i] = static_cast<uint8_t>(fill);
    }
    fx = WrapAdd(fx, stepX);
  }
}

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
  const RowPlan plan{source.width, fill, key, PixelsApart(source, target)};
  const int32_t fx = WrapAdd(WrapMul(rect.x, 256), WrapMul(cols.first, stepX));
  int32_t fy = WrapAdd(WrapMul(rect.y, 256), WrapMul(rows.first, stepY));
  const int32_t n = cols.Size();
  // Rows that sample the same source row as the row above them: without a key, a copy of that
  // row once every pixel of it was written; with a key, the samples kept from it.
  const bool straight = plan.apart && StepsWithoutWrap(fx, stepX, n);
  const Span in = SpanInside(fx, stepX, n, 0, int64_t{source.width} * 256);
  const auto inPos = static_cast<int32_t>(int64_t{fx} + int64_t{in.first} * stepX);
  std::array<uint8_t, kRowSamples> samples;
  const bool keepSamples = straight && plan.Keyed() && in.Size() <= kRowSamples;
  const uint8_t* previous = nullptr;
  int32_t previousY = 0;
  for (int32_t j = rows.first; j < rows.end; ++j) {
    const int32_t sy = Sar(fy, 8);
    const uint8_t* row = SourceRow(source, sy);
    uint8_t* dst = target.At(target.cursorX + cols.first, target.cursorY + j);
    const bool repeat = previous != nullptr && sy == previousY;
    if (row != nullptr && keepSamples) {
      if (!repeat) SampleRow(samples.data(), row, in.Size(), inPos, stepX);
      plan.Fill(dst, 0, in.first);
      CopyRowKeyed(dst + in.first, samples.data(), static_cast<size_t>(in.Size()),
                   static_cast<uint8_t>(key));
      plan.Fill(dst, in.Empty() ? 0 : in.end, n);
    } else if (repeat && straight && !plan.Keyed() &&
               (fill >= 0 || (row != nullptr && in.first == 0 && in.end == n))) {
      std::memcpy(dst, previous, static_cast<size_t>(n));
    } else {
      plan.Draw(dst, row, n, fx, stepX);
    }
    previous = dst;
    previousY = sy;
    fy = WrapAdd(fy, stepY);
  }
}

void PolyCopy(const Selection& sel, int32_t W, int32_t H, int32_t T0, int32_t fill) {
  if (H < 1) return;
  const CopyRect rect = sel.copy;
  const Screen source = sel.Source();
  const Screen target = sel.Target();
  const RowPlan plan{source.width, fill, -1, PixelsApart(source, target)};
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
      plan.Draw(target.At(target.cursorX, target.cursorY + j), SourceRow(source, Sar(fy, 8)), W, fx,
                stepX);
    }
    rowWidth = WrapAdd(rowWidth, dWidth);
    fy = WrapAdd(fy, stepY);
  }
}

}  // namespace tavikit
