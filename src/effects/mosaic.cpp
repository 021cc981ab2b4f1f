#include "effects/mosaic.h"

#include <cstring>

#include "common/int32.h"
#include "common/short_moves.h"
#include "effects/stepped_span.h"

namespace tavikit {
namespace {

// Rows 1 .. h-1 below `top` take the n bytes of `top`.
inline void CopyDown(const Screen& screen, const uint8_t* top, int32_t n, int32_t h) {
  uint8_t* row = const_cast<uint8_t*>(top);
  for (int32_t r = 1; r < h; ++r) {
    row += screen.DownStep();
    std::memcpy(row, top, static_cast<size_t>(n));
  }
}

// Visits the across x down whole blocks of s x s pixels at the screen's cursor, block rows top to
// bottom and blocks left to right; `colour(left, top)` chooses the colour of one block, which
// fills the block's top row at once. Blocks read only their own pixels, so each block row is then
// completed by copying its top row down.
template <class Colour>
void ForEachBlock(const Screen& screen, int32_t across, int32_t down, int32_t s, Colour&& colour) {
  if (down < 1) return;
  for (int32_t j = 0; j < down; ++j) {
    const int32_t top = WrapAdd(screen.cursorY, WrapMul(j, s));
    for (int32_t i = 0; i < across; ++i) {
      const int32_t left = WrapAdd(screen.cursorX, WrapMul(i, s));
      const int32_t c = colour(left, top);
      if (c >= 0) FillShort(screen.At(left, top), static_cast<uint8_t>(c), static_cast<size_t>(s));
    }
    if (across >= 1 && s >= 1)
      CopyDown(screen, screen.At(screen.cursorX, top), WrapMul(across, s), s);
  }
}

// x mod s for the values NextRandom gives (0 .. 32767) and a divisor of 1 or more fixed for a
// whole mosaic, by a multiplication: with m = ceil(2^32 / s), x m / 2^32 exceeds x / s by less
// than x s / (s 2^32), too little to reach the next whole number while x s < 2^32.
class RandomModulo {
 public:
  explicit RandomModulo(int32_t s)
      : s_(s),
        m_(s >= 1 && s <= 32768 ? ((uint64_t{1} << 32) + uint64_t(s) - 1) / uint64_t(s) : 0) {}

  int32_t operator()(int32_t x) const {
    if (m_ == 0) return x % s_;  // larger divisors leave every value as it is
    const auto q = static_cast<int32_t>((uint64_t(uint32_t(x)) * m_) >> 32);
    return x - q * s_;
  }

 private:
  int32_t s_;
  uint64_t m_;
};

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
  const RandomModulo modulo(s);
  ForEachBlock(screen, across, down, s, [&](int32_t left, int32_t top) {
    const int32_t dxDraw = NextRandom(random);
    const int32_t dyDraw = NextRandom(random);
    if (s < 1) return -1;
    return int32_t{*screen.At(WrapAdd(left, modulo(dxDraw)), WrapAdd(top, modulo(dyDraw)))};
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
    return int32_t{CubeEntry(cube, static_cast<int32_t>(sum.red >> 5),
                             static_cast<int32_t>(sum.green >> 5),
                             static_cast<int32_t>(sum.blue >> 5))};
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
    return int32_t{CubeEntry(cube, mean5(sum.red), mean5(sum.green), mean5(sum.blue))};
  });
}

void MosaicCopy(const Selection& sel, int32_t w, int32_t h, int32_t n, int32_t key) {
  if (w < 1 || h < 1 || n < 1) return;
  const Screen source = sel.Source();
  const Screen target = sel.Target();
  const bool keyed = key >= 0;
  const auto keyIndex = static_cast<uint8_t>(key);
  // A block's sample lies in its own columns, so when the target shares no memory with the
  // source, or is the same area of the same screen, the blocks of a row may fill their top row
  // first and the row is then copied down; otherwise each block is filled whole before the next
  // one is sampled.
  const bool byRows = PixelsApart(source, target) ||
                      (source.pixels == target.pixels && source.width == target.width &&
                       source.height == target.height && source.cursorX == target.cursorX &&
                       source.cursorY == target.cursorY);
  const int32_t cols = w / n;
  const int32_t restW = w % n;
  // A row of blocks bh high at offset by: the full blocks, then the partial one at the right.
  const auto blockRow = [&](int32_t by, int32_t bh) {
    const int32_t sy = source.cursorY + by + bh / 2;
    uint8_t* top = target.At(target.cursorX, target.cursorY + by);
    int32_t runStart = 0;  // the blocks since the last skipped one, still to be copied down
    for (int32_t m = 0; m <= cols; ++m) {
      const int32_t bx = m * n;
      const int32_t bw = m < cols ? n : restW;
      if (bw <= 0) break;
      const uint8_t sample = *source.At(source.cursorX + bx + bw / 2, sy);
      const bool skipped = keyed && sample == keyIndex;
      if (!byRows) {
        if (!skipped)
          FillTargetRect(target, target.cursorX + bx, target.cursorY + by, bw, bh, sample);
        continue;
      }
      if (skipped) {
        CopyDown(target, top + runStart, bx - runStart, bh);
        runStart = bx + bw;
      } else {
        FillShort(top + bx, sample, static_cast<size_t>(bw));
      }
    }
    if (byRows) CopyDown(target, top + runStart, w - runStart, bh);
  };
  const int32_t rows = h / n;
  for (int32_t k = 0; k < rows; ++k)
    blockRow(k * n, n);
  if (h % n > 0) blockRow(rows * n, h % n);
}

}  // namespace tavikit
