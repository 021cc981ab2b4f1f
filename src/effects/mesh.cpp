#include "effects/mesh.h"

#include "common/int32.h"
#include "common/rect.h"

namespace tavikit {

void MeshCopy(const Screen& source, const Screen& target, int32_t sx, int32_t sy, int32_t W,
              int32_t H, int32_t key) {
  const int32_t pairs = TruncDiv(W, 2);
  if (H < 1 || pairs < 1) return;
  const bool keyed = key >= 0;
  const auto keyIndex = static_cast<uint8_t>(key);
  const uint8_t* src = source.At(sx, sy);
  uint8_t* dst = target.At(target.cursorX, target.cursorY);
  for (int32_t j = 0; j < H; ++j) {
    for (int32_t i = j & 1, k = 0; k < pairs; i += 2, ++k) {
      const uint8_t p = src[i];
      if (!keyed || p != keyIndex) dst[i] = p;
    }
    src += source.DownStep();
    dst += target.DownStep();
  }
}

void MeshCopyAtCursor(const Screen& source, const Screen& target, int32_t W, int32_t H,
                      uint8_t key) {
  MeshCopy(source, target, source.cursorX, source.cursorY, W, H, key);
}

void MeshFill(const Screen& screen, int32_t W, int32_t H, uint8_t colour, bool clipped) {
  if (H < 1 || W < 1) return;
  Span cols{0, W};
  Span rows{0, H};
  if (clipped) {
    cols = VisibleSpan(screen.cursorX, W, screen.width);
    rows = VisibleSpan(screen.cursorY, H, screen.height);
    if (cols.Empty() || rows.Empty()) return;
  }
  const int32_t x0 = WrapAdd(screen.cursorX, static_cast<int32_t>(cols.first));
  const auto n = static_cast<int32_t>(cols.Size());
  for (auto j = static_cast<int32_t>(rows.first); j < rows.end; ++j) {
    const int32_t y = WrapAdd(screen.cursorY, j);
    uint8_t* row = screen.At(x0, y);
    // The first column of the span whose parity matches the row's.
    for (int32_t i = ((x0 ^ y) & 1); i < n; i += 2)
      row[i] = colour;
  }
}

}  // namespace tavikit
