// Where a stepped fixed-point position stays inside a range: the pixels of a scaled or rotated
// row whose sample lies on the source, found once per row instead of tested per pixel.
#pragma once

#include <algorithm>
#include <cstdint>

#include "common/rect.h"
#include "common/screen.h"

namespace tavikit {

// Floor division of 64-bit values by a positive divisor.
constexpr int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// True when start + i x step, for every i of 0 .. count, stays a signed 32-bit value: then the
// wrapped 32-bit positions a loop steps through equal the exact ones, and they run one way.
constexpr bool StepsWithoutWrap(int32_t start, int32_t step, int32_t count) {
  const int64_t last = int64_t{start} + int64_t{step} * count;
  return last >= INT32_MIN && last <= INT32_MAX;
}

// The indexes i of 0 .. count-1 with lo <= start + i x step < hi, computed exactly. They form one
// run because the positions move one way.
constexpr Span SpanInside(int64_t start, int64_t step, int32_t count, int64_t lo, int64_t hi) {
  int64_t first = 0;
  int64_t end = count;
  if (hi <= lo) return Span{};
  if (step == 0) {
    if (start < lo || start >= hi) return Span{};
  } else if (step > 0) {
    // start + i x step >= lo from the first i on; < hi up to the last.
    first = -FloorDiv(start - lo, step);
    end = -FloorDiv(start - hi, step);
  } else {
    first = FloorDiv(start - hi, -step) + 1;
    end = FloorDiv(start - lo, -step) + 1;
  }
  first = std::max<int64_t>(first, 0);
  end = std::min<int64_t>(end, count);
  if (end <= first) return Span{};
  return Span{static_cast<int32_t>(first), static_cast<int32_t>(end)};
}

// `p` unless it equals the key, `old` where it does; computed with a mask, since keyed pixels
// come in no pattern a branch could predict.
inline uint8_t KeyedPick(uint8_t p, uint8_t old, uint8_t key) {
  const auto copy = static_cast<uint8_t>(0u - static_cast<uint32_t>(p != key));
  return static_cast<uint8_t>((p & copy) | (old & static_cast<uint8_t>(~copy)));
}

// True when the width x height pixel bytes of the two screens share no byte: then a loop may read
// ahead of what it writes without changing what it reads.
inline bool PixelsApart(const Screen& a, const Screen& b) {
  const auto bytes = [](const Screen& s) {
    return s.width > 0 && s.height > 0 ? uint64_t(uint32_t(s.width)) * uint32_t(s.height) : 0;
  };
  const uint64_t a0 = reinterpret_cast<uintptr_t>(a.pixels);
  const uint64_t b0 = reinterpret_cast<uintptr_t>(b.pixels);
  return a0 + bytes(a) <= b0 || b0 + bytes(b) <= a0;
}

}  // namespace tavikit
