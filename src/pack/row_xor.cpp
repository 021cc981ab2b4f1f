#include "pack/row_xor.h"

#include <algorithm>

namespace tavikit {

void UndoRowXor(const Screen& screen, int32_t w, int32_t h) {
  if (h <= 0 || w <= 0 || screen.pixels == nullptr) return;
  const int64_t top = screen.cursorY;
  if (top < 0 || top + h > screen.height) return;
  const int64_t xLo = std::max<int64_t>(screen.cursorX, 0);
  const int64_t xHi = std::min<int64_t>(int64_t{screen.cursorX} + w, screen.width);
  if (xLo >= xHi) return;
  const auto x0 = static_cast<int32_t>(xLo);
  const auto n = static_cast<size_t>(xHi - xLo);
  const auto y0 = static_cast<int32_t>(top);
  for (int32_t r = h - 1; r >= 0; --r) {
    uint8_t* row = screen.At(x0, y0 + r);
    const uint8_t* partner = screen.At(x0, y0 + (r == h - 1 ? 0 : r + 1));
    for (size_t x = 0; x < n; ++x)
      row[x] ^= partner[x];
  }
}

}  // namespace tavikit
