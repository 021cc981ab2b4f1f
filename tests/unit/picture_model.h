// The plain model of picture decoding that the decoder is compared with: one item and one pixel
// at a time, straight from the format's definition, with every read and write checked.
#pragma once

#include <cstdint>
#include <vector>

namespace tavitest {

// A screen of the model: rows top-down.
struct ModelScreen {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;
  uint8_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline uint32_t ModelLe24(const std::vector<uint8_t>& b, size_t p) {
  return b[p] | b[p + 1] << 8 | static_cast<uint32_t>(b[p + 2]) << 16;
}
inline int32_t ModelLe32(const std::vector<uint8_t>& b, size_t p) {
  return static_cast<int32_t>(ModelLe24(b, p) | static_cast<uint32_t>(b[p + 3]) << 24);
}

// Decodes `pic` at (cx, cy); pixels outside the screen are left out; the decode stops where the
// block ends or where an escape record would not fit in it.
inline void ModelDecode(ModelScreen& s, int32_t cx, int32_t cy, const std::vector<uint8_t>& pic) {
  if (pic.size() < 19 || pic[0] != 'T' || pic[1] != 'K') return;
  const int kind = pic[2], order = pic[3];
  if ((kind != '0' && kind != '1') || (order != '0' && order != '1')) return;
  const int64_t w = ModelLe32(pic, 8), h = ModelLe32(pic, 12);
  if (w <= 0 || h <= 0) return;
  const int64_t n = w * h;
  auto put = [&](int64_t i, uint8_t v) {
    const int64_t x = order == '0' ? i % w : i / h;
    const int64_t y = order == '0' ? i / w : i % h;
    const int64_t sx = cx + x, sy = cy + y;
    if (sx >= 0 && sy >= 0 && sx < s.width && sy < s.height)
      s.at(static_cast<int32_t>(sx), static_cast<int32_t>(sy)) = v;
  };
  int64_t i = 0;
  size_t p = 19, e = ModelLe24(pic, 16);
  while (i < n && p < pic.size()) {
    if (p == e) {
      const size_t size = kind == '0' ? 7 : 6;
      if (p + size > pic.size()) return;
      if (kind == '0') {
        const uint8_t v = pic[p];
        const int64_t count = ModelLe24(pic, p + 1);
        e = ModelLe24(pic, p + 4);
        for (int64_t k = 0; k < count && i < n; ++k)
          put(i++, v);
      } else {
        const int64_t count = ModelLe24(pic, p);
        e = ModelLe24(pic, p + 3);
        i = count < n - i ? i + count : n;
      }
      p += size;
    } else {
      put(i++, pic[p++]);
    }
  }
}

}  // namespace tavitest
