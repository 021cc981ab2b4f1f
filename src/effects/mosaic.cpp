#include "effects/mosaic.h"

#include <cstring>

#include "frame/int32.h"

namespace tavikit {
namespace {

// Visits the across x down whole blocks of s x s pixels at the screen's cursor, block rows top to
// bottom and blocks left to right; `block(left, top)` does the work of one block.
template <class Block>
void ForEachBlock(const Screen& screen, int32_t across, int32_t down, int32_t s, Block&& block) {
  if (down < 1) return;
  for (int32_t j = 0; j < down; ++j) {
    const int32_t top = WrapAdd(screen.cursorY, WrapMul(j, s));
    for (int32_t i = 0; i < across; ++i)
      block(WrapAdd(screen.cursorX, WrapMul(i, s)), top);
  }
}

struct ColourSum {
  uint32_t red = 0;
  uint32_t green = 0;
  uint32_t blue = 0;

  void Add(const uint8_t* palette, uint8_t index) {
    const uint8_t* entry = palette + 4 * static_cast<size_t>(index);
    blue += entry[0];
    green += entry[1];
    red += entry[2];
  }
};

// The cube entry for 5-bit components; the mask keeps components that came out of wrapped sums
// (blocks too large for a 32-bit sum) inside the cube.
uint8_t CubeEntry(const ColourCube& cube, int32_t r, int32_t g, int32_t b) {
  return cube.Lookup5(static_cast<uint32_t>(r) & 31u, static_cast<uint32_t>(g) & 31u,
                      static_cast<uint32_t>(b) & 31u);
}

}  // namespace

int32_t NextRandom(MosaicRandom& random) {
  random.state = random.state * 214013u + 2531011u;
  return static_cast<int32_t>((random.state >> 16) & 32767u);
}

void FillTargetRect(const Screen& target, int32_t x, int32_t y, int32_t w, int32_t h,
                    uint8_t colour) {
  if (h < 1) return;
  uint8_t* row = target.At(x, y);
  for (int32_t r = 0; r < h; ++r) {
    if (w >= 1) std::memset(row, colour, static_cast<size_t>(w));
    row += target.DownStep();
  }
}

void RandomMosaic(const Screen& screen, int32_t across, int32_t down, int32_t s,
                  MosaicRandom& random) {
  ForEachBlock(screen, across, down, s, [&](int32_t left, int32_t top) {
    const int32_t dxDraw = NextRandom(random);
    const int32_t dyDraw = NextRandom(random);
    if (s < 1) return;
    const uint8_t colour = *screen.At(WrapAdd(left, dxDraw % s), WrapAdd(top, dyDraw % s));
    FillTargetRect(screen, left, top, s, s, colour);
  });
}

void CornerMosaic(const Screen& screen, int32_t across, int32_t down, int32_t s,
                  const ColourCube& cube) {
  if (s < 1) return;
  const int32_t last = s - 1;
  ForEachBlock(screen, across, down, s, [&](int32_t left, int32_t top) {
    const int32_t right = WrapAdd(left, last);
    const int32_t bottom = WrapAdd(top, last);
    ColourSum sum;
    sum.Add(screen.palette, *screen.At(left, top));
    sum.Add(screen.palette, *screen.At(right, top));
    sum.Add(screen.palette, *screen.At(left, bottom));
    sum.Add(screen.palette, *screen.At(right, bottom));
    const uint8_t colour =
        CubeEntry(cube, static_cast<int32_t>(sum.red >> 5), static_cast<int32_t>(sum.green >> 5),
                  static_cast<int32_t>(sum.blue >> 5));
    FillTargetRect(screen, left, top, s, s, colour);
  });
}

void MeanMosaic(const Screen& screen, int32_t across, int32_t down, int32_t s,
                const ColourCube& cube) {
  if (s < 1) return;
  const int32_t area = WrapMul(s, s);
  // A 32-bit sum divided as a signed 32-bit value, reduced to 5 bits.
  const auto mean5 = [area](uint32_t sum) {
    return area == 0 ? 0 : Sar(TruncDiv(static_cast<int32_t>(sum), area), 3);
  };
  ForEachBlock(screen, across, down, s, [&](int32_t left, int32_t top) {
    ColourSum sum;
    const uint8_t* row = screen.At(left, top);
    for (int32_t r = 0; r < s; ++r) {
      for (int32_t c = 0; c < s; ++c)
        sum.Add(screen.palette, row[c]);
      row += screen.DownStep();
    }
    FillTargetRect(screen, left, top, s, s,
                   CubeEntry(cube, mean5(sum.red), mean5(sum.green), mean5(sum.blue)));
  });
}

void MosaicCopy(const Selection& sel, int32_t w, int32_t h, int32_t n, int32_t key) {
  if (w < 1 || h < 1 || n < 1) return;
  const Screen source = sel.Source();
  const Screen target = sel.Target();
  const bool keyed = key >= 0;
  const auto keyIndex = static_cast<uint8_t>(key);
  // One block at offset (bx, by) of the area, bw x bh pixels, sampled at its centre.
  const auto block = [&](int32_t bx, int32_t by, int32_t bw, int32_t bh) {
    const uint8_t sample = *source.At(source.cursorX + bx + bw / 2, source.cursorY + by + bh / 2);
    if (keyed && sample == keyIndex) return;
    FillTargetRect(target, target.cursorX + bx, target.cursorY + by, bw, bh, sample);
  };
  // A row of blocks bh high at offset by: the full blocks, then the partial one at the right.
  const int32_t cols = w / n;
  const int32_t restW = w % n;
  const auto blockRow = [&](int32_t by, int32_t bh) {
    for (int32_t m = 0; m < cols; ++m)
      block(m * n, by, n, bh);
    if (restW > 0) block(cols * n, by, restW, bh);
  };
  const int32_t rows = h / n;
  for (int32_t k = 0; k < rows; ++k)
    blockRow(k * n, n);
  if (h % n > 0) blockRow(rows * n, h % n);
}

}  // namespace tavikit
