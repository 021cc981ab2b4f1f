#include "pack/row_xor.h"

#include "common/rect.h"

namespace tavikit {

void UndoRowXor(const Screen& screen, int32_t w, int32_t h) {
  if (h <= 0 || w <= 0 || screen.pixels == nullptr) return;
  const Span rows{screen.cursorY, int64_t{screen.cursorY} + h};
  if (!Span{0, screen.height}.Covers(rows)) return;
  const Span columns = VisibleSpan(screen.cursorX, w, screen.width);
  if (columns.Empty()) return;
  const auto x0 = static_cast<int32_t>(screen.cursorX + columns.first);
  const auto n = static_cast<size_t>(columns.Size());
  const int32_t y0 = screen.cursorY;
  for (int32_t r = h - 1; r >= 0; --r) {
    uint8_t* row = screen.At(x0, y0 + r);
    const uint8_t* partner = screen.At(x0, y0 + (r == h - 1 ? 0 : r + 1));
    for (size_t x = 0; x < n; ++x)
      row[x] ^= partner[x];
  }
}

}  // namespace tavikit
