#include "effects/keyed_copy.h"

#include <algorithm>
#include <cstring>

#include "cells/keyed_row.h"
#include "common/overlap.h"
#include "common/rect.h"

namespace tavikit {
void CopyRowKeyed(uint8_t* dst, const uint8_t* src, int32_t n, int32_t key) {
  if (n < 1) return;
  const uintptr_t lead = LeadWithin(dst, src, static_cast<size_t>(n));
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
    CopyRowKeyed(dst, src, static_cast<size_t>(n), keyIndex);
    return;
  }
  // Each pixel may read what one to its left wrote: one at a time.
  for (int32_t i = 0; i < n; ++i) {
    if (src[i] != keyIndex) dst[i] = src[i];
  }
}

void KeyedCopy(const Screen& source, const Screen& target, const CopyRect& rect, int32_t key,
               bool clipped) {
  if (rect.w < 1 || rect.h < 1) return;
  Span cols{0, rect.w};
  Span rows{0, rect.h};
  if (clipped) {
    cols = VisibleSpan(target.cursorX, rect.w, target.width);
    rows = VisibleSpan(target.cursorY, rect.h, target.height);
    if (cols.Empty() || rows.Empty()) return;
  }
  const auto c0 = static_cast<int32_t>(cols.first);
  const auto r0 = static_cast<int32_t>(rows.first);
  const auto n = static_cast<int32_t>(cols.Size());
  const uint8_t* src = source.At(rect.x + c0, rect.y + r0);
  uint8_t* dst = target.At(target.cursorX + c0, target.cursorY + r0);
  for (int64_t j = rows.first; j < rows.end; ++j) {
    CopyRowKeyed(dst, src, n, key);
    src += source.DownStep();
    dst += target.DownStep();
  }
}

}  // namespace tavikit
