// Where a copy's reads and writes meet in memory: runs of addresses compared as integers (they
// may lie in different buffers), and whether writing a run from left to right changes what the
// same copy reads later, which is so when the destination starts inside the source run, past its
// start.
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

// The addresses [begin, end).
struct AddressRun {
  uintptr_t begin = 0;
  uintptr_t end = 0;

  static AddressRun Of(const uint8_t* p, size_t n) {
    const auto begin = reinterpret_cast<uintptr_t>(p);
    return AddressRun{begin, begin + n};
  }
  bool Overlaps(const AddressRun& other) const { return begin < other.end && other.begin < end; }
};

}  // namespace tavikit
