// Whether writing a run from left to right can change what the same run reads later: that is so
// when the destination starts inside the source run, past its start.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavikit {

// How far `dst` lies ahead of `src` when it starts inside the n bytes from `src`, past `src`;
// 0 otherwise (the runs are apart, or the destination starts at or before the source).
inline uintptr_t LeadWithin(const uint8_t* dst, const uint8_t* src, size_t n) {
  const auto d = reinterpret_cast<uintptr_t>(dst);
  const auto s = reinterpret_cast<uintptr_t>(src);
  return d > s && d - s < n ? d - s : 0;
}

}  // namespace tavikit
