// The part of a run of pixels that lies on a screen.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tavikit {

// Indexes first .. end-1 of a run; empty when end <= first.
struct Span {
  int32_t first = 0;
  int32_t end = 0;
  bool Empty() const { return end <= first; }
  int32_t Size() const { return Empty() ? 0 : end - first; }
};

// The indexes i of 0 .. count-1 with 0 <= origin + i < limit.
inline Span VisibleSpan(int32_t origin, int32_t count, int32_t limit) {
  const int64_t first = std::max<int64_t>(0, -static_cast<int64_t>(origin));
  const int64_t end = std::min<int64_t>(count, static_cast<int64_t>(limit) - origin);
  if (end <= first) return Span{};
  return Span{static_cast<int32_t>(first), static_cast<int32_t>(end)};
}

}  // namespace tavikit
