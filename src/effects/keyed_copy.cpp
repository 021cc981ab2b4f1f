#include "effects/keyed_copy.h"

#include <algorithm>
#include <cstring>

#include "cells/keyed_row.h"
#include "effects/span.h"

namespace tavikit {
namespace {

constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t kOnes = 0x0101010101010101ull;

// 0xFF in every byte of x that is not zero, 0x00 in every byte that is. Exact: no carry crosses
// from one byte into the next.
inline uint64_t NonZeroBytes(uint64_t x) {
  const uint64_t high = (((x & kLowBits) + kLowBits) | x) & ~kLowBits;
  return (high >> 7) * 0xFF;
}

// Eight pixels at a time: each 8-byte group is merged with the target through a mask of the
// pixels that differ from the key, so the loop has no branch per pixel.
void CopyRowKeyedGroups(uint8_t* dst, const uint8_t* src, int32_t n, uint8_t key) {
  const uint64_t keys = kOnes * key;
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t s;
    uint64_t d;
    std::memcpy(&s, src + i, 8);
    std::memcpy(&d, dst + i, 8);
    const uint64_t copy = NonZeroBytes(s ^ keys);
    d = (s & copy) | (d & ~copy);
    std::memcpy(dst + i, &d, 8);
  }
  for (; i < n; ++i) {
    if (src[i] != key) dst[i] = src[i];
  }
}

// How far dst lies ahead of src, when writing dst from the left could change source pixels read
// later on in the same run; 0 otherwise.
inline uintptr_t LeadWithin(const uint8_t* dst, const uint8_t* src, int32_t n) {
  const auto d = reinterpret_cast<uintptr_t>(dst);
  const auto s = reinterpret_cast<uintptr_t>(src);
  return (d > s && d - s < static_cast<uintptr_t>(n)) ? d - s : 0;
}

}  // namespace

void CopyRowKeyed(uint8_t* dst, const uint8_t* src, int32_t n, int32_t key) {
  if (n < 1) return;
  const uintptr_t lead = LeadWithin(dst, src, n);
  if (key < 0 || key > 255) {
    if (lead == 0) {
      std::memmove(dst, src, static_cast<size_t>(n));
      return;
    }
    // The target runs `lead` pixels ahead: each stretch of `lead` pixels repeats the one before.
    for (int32_t i = 0; i < n; i += static_cast<int32_t>(lead)) {
      std::memcpy(dst + i, src + i, static_cast<size_t>(std::min<int64_t>(lead, n - i)));
    }
    return;
  }
  const auto keyIndex = static_cast<uint8_t>(key);
  if (lead == 0 || lead >= kKeyedRowGroup) {
    // No vector group reads a pixel that an earlier pixel of the same group would have written.
    tavikit::CopyRowKeyed(dst, src, static_cast<size_t>(n), keyIndex);
    return;
  }
  if (lead >= 8) {
    // A group reads no pixel that an earlier pixel of the same group would have written first.
    CopyRowKeyedGroups(dst, src, n, keyIndex);
    return;
  }
  for (int32_t i = 0; i < n; ++i) {
    if (src[i] != keyIndex) dst[i] = src[i];
  }
}

void KeyedCopy(const Selection& sel, int32_t key, bool clipped) {
  const CopyRect rect = sel.copy;
  if (rect.w < 1 || rect.h < 1) return;
  const Screen source = sel.Source();
  const Screen target = sel.Target();
  Span cols{0, rect.w};
  Span rows{0, rect.h};
  if (clipped) {
    cols = VisibleSpan(target.cursorX, rect.w, target.width);
    rows = VisibleSpan(target.cursorY, rect.h, target.height);
    if (cols.Empty() || rows.Empty()) return;
  }
  const uint8_t* src = source.At(rect.x + cols.first, rect.y + rows.first);
  uint8_t* dst = target.At(target.cursorX + cols.first, target.cursorY + rows.first);
  for (int32_t j = rows.first; j < rows.end; ++j) {
    CopyRowKeyed(dst, src, cols.Size(), key);
    src += source.DownStep();
    dst += target.DownStep();
  }
}

}  // namespace tavikit
