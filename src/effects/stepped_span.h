// Where a stepped fixed-point position stays inside a range: the pixels of a scaled or rotated
// row whose sample lies on the source, found once per row instead of tested per pixel.
#pragma once

#include <algorithm>
#include <cstdint>

#include "common/rect.h"
#include "common/screen.h"

namespace tavikit {

// True when start + i x step, for every i of 0 .. count, stays a signed 32-bit value: then the
// wrapped 32-bit positions a loop steps through equal the exact ones, and they run one way.
constexpr bool StepsWithoutWrap(int32_t start, int32_t step, int32_t count) {
  const int64_t last = int64_t{start} + int64_t{step} * count;
  return last >= INT32_MIN && last <= INT32_MAX;
}

// The indexes i of 0 .. count-1 with lo <= start + i x step < hi, for positions stepping by a
// fixed step: one run, because the positions move one way. Each end of the run is guessed
// through the step's reciprocal and then moved until exact positions confirm it, so that the
// rows of a call find their runs without dividing.
class SteppedSpans {
 public:
  SteppedSpans(int64_t step, int32_t count)
      : step_(step), count_(count), inverse_(step != 0 ? 1.0 / static_cast<double>(step) : 0.0) {}

  Span Inside(int64_t start, int64_t lo, int64_t hi) const {
    if (hi <= lo || count_ <= 0) return Span{};
    // The positions move one way: when both ends lie inside, all do (the common row).
    const int64_t last = At(start, count_ - 1);
    if (start >= lo && start < hi && last >= lo && last < hi) return Span{0, count_};
    if (step_ == 0) return Span{};
    // Moving up the positions reach lo first; moving down they fall below hi first.
    const int32_t first = step_ > 0 ? FirstAtOrAbove(start, lo) : FirstBelow(start, hi);
    const int32_t end = step_ > 0 ? FirstAtOrAbove(start, hi) : FirstBelow(start, lo);
    return end > first ? Span{first, end} : Span{};
  }

 private:
  int64_t At(int64_t start, int32_t i) const { return start + step_ * i; }

  // A guess at the i of 0 .. count where start + i x step reaches `to`; any guess only costs
  // steps, the callers make it exact.
  int32_t Guess(int64_t start, int64_t to) const {
    const double i = static_cast<double>(to - start) * inverse_;
    return static_cast<int32_t>(std::clamp(i, 0.0, static_cast<double>(count_)));
  }

  // The first i of 0 .. count with start + i x step >= t (count when none), step above 0.
  int32_t FirstAtOrAbove(int64_t start, int64_t t) const {
    int32_t i = Guess(start, t);
    while (i > 0 && At(start, i - 1) >= t)
      --i;
    while (i < count_ && At(start, i) < t)
      ++i;
    return i;
  }

  // The first i of 0 .. count with start + i x step < t (count when none), step below 0.
  int32_t FirstBelow(int64_t start, int64_t t) const {
    int32_t i = Guess(start, t);
    while (i > 0 && At(start, i - 1) < t)
      --i;
    while (i < count_ && At(start, i) >= t)
      ++i;
    return i;
  }

  int64_t step_;
  int32_t count_;
  double inverse_;
};

inline Span SpanInside(int64_t start, int64_t step, int32_t count, int64_t lo, int64_t hi) {
  return SteppedSpans(step, count).Inside(start, lo, hi);
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
