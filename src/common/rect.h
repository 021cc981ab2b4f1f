// Ranges and rectangles, one convention for the whole library: half-open. A span [first, end)
// holds first and not end; a rectangle holds its top-left corner (left, top) and not its
// bottom-right one (right, bottom). Empty when end <= first (or right <= left, bottom <= top).
//
// Ends are 64-bit, so that a 32-bit origin plus a 32-bit extent never overflows; a span clipped
// to a 32-bit count or to a screen fits in 32 bits again.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tavikit {

struct Span {
  int64_t first = 0;
  int64_t end = 0;

  constexpr bool Empty() const { return end <= first; }
  constexpr int64_t Size() const { return Empty() ? 0 : end - first; }
  constexpr bool Holds(int64_t i) const { return i >= first && i < end; }
  constexpr bool Covers(const Span& other) const {
    return other.first >= first && other.end <= end;
  }
  constexpr Span Intersect(const Span& other) const {
    return Span{std::max(first, other.first), std::min(end, other.end)};
  }
  // The same indexes counted from `origin`: i becomes i - origin.
  constexpr Span From(int64_t origin) const { return Span{first - origin, end - origin}; }
};

struct Rect {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;

  static constexpr Rect FromSize(int64_t x, int64_t y, int64_t w, int64_t h) {
    return Rect{x, y, x + w, y + h};
  }
  static constexpr Rect FromSpans(const Span& columns, const Span& rows) {
    return Rect{columns.first, rows.first, columns.end, rows.end};
  }

  constexpr Span Columns() const { return Span{left, right}; }
  constexpr Span Rows() const { return Span{top, bottom}; }
  constexpr bool Empty() const { return Columns().Empty() || Rows().Empty(); }
  constexpr bool Contains(int64_t x, int64_t y) const {
    return Columns().Holds(x) && Rows().Holds(y);
  }
  constexpr Rect Intersect(const Rect& other) const {
    return FromSpans(Columns().Intersect(other.Columns()), Rows().Intersect(other.Rows()));
  }
  // The same pixels counted from (x, y).
  constexpr Rect From(int64_t x, int64_t y) const {
    return Rect{left - x, top - y, right - x, bottom - y};
  }
};

// The copy rectangle (and the rotation frame and clip) as the host stores them: an origin and a
// signed size, each as given. Area() is the rectangle they cover; operations that give a negative
// size a meaning of its own read the fields.
struct CopyRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t w = 0;
  int32_t h = 0;

  constexpr Rect Area() const { return Rect::FromSize(x, y, w, h); }
};

// The offsets i of 0 .. count-1 whose position origin + i lies in 0 .. limit-1; {0, 0} when
// there are none.
constexpr Span VisibleSpan(int64_t origin, int64_t count, int64_t limit) {
  const Span seen = Span{0, count}.Intersect(Span{0, limit}.From(origin));
  return seen.Empty() ? Span{} : seen;
}

// The offsets i at which both from + i lies in 0 .. fromLimit-1 and to + i in 0 .. toLimit-1:
// what a copy from one screen to another may touch along one axis, before the copy's own extent.
constexpr Span SharedSpan(int64_t from, int64_t fromLimit, int64_t to, int64_t toLimit) {
  return Span{0, fromLimit}.From(from).Intersect(Span{0, toLimit}.From(to));
}

}  // namespace tavikit
