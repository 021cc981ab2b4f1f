// The part of the copy rectangle that a copy may touch: columns and rows of the rectangle whose
// source pixel lies inside the source screen and whose destination pixel lies inside the
// destination screen. Worked out once per call, so that row loops carry no tests.
#pragma once

#include <algorithm>
#include <cstdint>

#include "frame/screen.h"
#include "frame/selection.h"

namespace tavikit {

struct CopySpan {
  int32_t c0 = 0;  // first column of the rectangle that is drawn
  int32_t c1 = 0;  // one past the last
  int32_t r0 = 0;  // first row that is drawn
  int32_t r1 = 0;  // one past the last

  bool Empty() const { return c0 >= c1 || r0 >= r1; }
};

// The offsets i for which both from + i and to + i lie in their screens' [0, extent).
struct ScreenBounds {
  int64_t lo = 0;
  int64_t hi = 0;  // one past the last

  bool Holds(int32_t i) const { return i >= lo && i < hi; }
};

inline ScreenBounds SharedBounds(int32_t from, int32_t fromExtent, int32_t to, int32_t toExtent) {
  return ScreenBounds{std::max(-int64_t{from}, -int64_t{to}),
                      std::min(int64_t{fromExtent} - from, int64_t{toExtent} - to)};
}

// The offsets of [0, size) among them.
inline void ClipAxis(int32_t size, const ScreenBounds& bounds, int32_t& first, int32_t& end) {
  const int64_t lo = std::max(int64_t{0}, bounds.lo);
  const int64_t hi = std::min(int64_t{size}, bounds.hi);
  first = static_cast<int32_t>(lo);
  end = static_cast<int32_t>(std::max(lo, hi));
}

// The span of `rect` read from `source` and written to `destination` at its cursor.
inline CopySpan ClipCopy(const CopyRect& rect, const Screen& source, const Screen& destination) {
  CopySpan span;
  ClipAxis(rect.w, SharedBounds(rect.x, source.width, destination.cursorX, destination.width),
           span.c0, span.c1);
  ClipAxis(rect.h, SharedBounds(rect.y, source.height, destination.cursorY, destination.height),
           span.r0, span.r1);
  return span;
}

}  // namespace tavikit
