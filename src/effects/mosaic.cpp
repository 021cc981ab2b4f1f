#include "effects/mosaic.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "common/cpu.h"
#include "common/int32.h"
#include "common/rect.h"
#include "common/x86_vectors.h"
#include "effects/block_rows.h"
#include "effects/stepped_span.h"

namespace tavikit {
namespace {

// Blocks whose colours are chosen before any of them is filled, at most this many at once.
constexpr int64_t kBlocksAtOnce = 256;

// The blocks along one axis that lie wholly in `inside`: `whole` blocks of n pixels (block k
// covers offsets k n .. k n + n-1), then, when `rest` is above 0, block `whole` of `rest` pixels.
Span BlocksInside(const Span& inside, int64_t n, int64_t whole, int64_t rest = 0) {
  const int64_t first = inside.first <= 0 ? 0 : (inside.first + n - 1) / n;
  int64_t end = inside.end < n ? 0 : std::min(whole, inside.end / n);
  if (rest > 0 && whole * n >= inside.first && whole * n + rest <= inside.end) end = whole + 1;
  return first < end ? Span{first, end} : Span{};
}

// One axis of a mosaic copy: `extent` pixels in blocks of n, the last one narrower where n does
// not divide the extent; the blocks first .. end-1 lie wholly in `inside`.
struct MosaicAxis {
  MosaicAxis(int32_t extent, int32_t n, const Span& inside)
      : extent(extent), n(n), whole(extent / n) {
    const Span blocks = BlocksInside(inside, n, whole, extent % n);
    first = static_cast<int32_t>(blocks.first);
    end = static_cast<int32_t>(blocks.end);
  }
  int32_t Offset(int32_t m) const { return m * n; }
  int32_t Size(int32_t m) const { return m < whole ? n : extent - whole * n; }

  int32_t extent, n, whole;
  int32_t first = 0, end = 0;
};

// Blocks side by side in one block row: `count` blocks from block i of block row j on, the first
// with its top-left pixel at (left, top).
struct BlockGroup {
  int64_t i = 0;
  int64_t j = 0;
  int32_t left = 0;
  int32_t top = 0;
  int64_t count = 0;
};

// Chooses the colours of a group of blocks: any callable taking (group, out), called through one
// pointer, so that the block loop below exists once for all the mosaics.
class GroupColours {
 public:
  template <class Colours>
  explicit GroupColours(Colours& colours)
      : context_(&colours), call_([](void* context, const BlockGroup& group, uint8_t* out) {
          (*static_cast<Colours*>(context))(group, out);
        }) {}

  void operator()(const BlockGroup& group, uint8_t* out) const { call_(context_, group, out); }

 private:
  void* context_;
  void (*call_)(void*, const BlockGroup&, uint8_t*);
};

// Visits the across x down blocks of s x s pixels (s of 1 or more) at the screen's cursor that
// lie wholly on the screen, block rows top to bottom and blocks left to right; the others keep
// their pixels. `colours` chooses the colours of a group of blocks. Blocks read only their own
// pixels, so a group takes its colours first and is drawn afterwards.
[[gnu::noinline]] void ForEachBlock(const Screen& screen, int32_t across, int32_t down, int32_t s,
                                    GroupColours colours) {
  const Span cols = BlocksInside(Span{0, screen.width}.From(screen.cursorX), s, across);
  const Span rows = BlocksInside(Span{0, screen.height}.From(screen.cursorY), s, down);
  std::array<uint8_t, kBlocksAtOnce> chosen;
  for (int64_t j = rows.first; j < rows.end; ++j) {
    for (int64_t i = cols.first; i < cols.end; i += kBlocksAtOnce) {
      const BlockGroup group{i, j, static_cast<int32_t>(screen.cursorX + i * s),
                             static_cast<int32_t>(screen.cursorY + j * s),
                             std::min(kBlocksAtOnce, cols.end - i)};
      colours(group, chosen.data());
      const auto size = static_cast<size_t>(s);
      FillBlockRows(screen.At(group.left, group.top), screen.DownStep(), s,
                    {chosen.data(), nullptr, static_cast<size_t>(group.count), size, size});
    }
  }
}

// One step of the generator, and n steps at once: x -> a x + c repeated is x -> A x + C.
constexpr uint32_t kRandomMul = 214013u;
constexpr uint32_t kRandomAdd = 2531011u;

struct RandomJump {
  uint32_t mul = 1;
  uint32_t add = 0;

  static constexpr RandomJump Steps(uint64_t n) {
    RandomJump jump;
    uint32_t a = kRandomMul;
    uint32_t c = kRandomAdd;
    for (; n != 0; n >>= 1) {
      if ((n & 1) != 0) jump = {jump.mul * a, jump.add * a + c};
      c = c * a + c;  // two of the steps so far: x -> a (a x + c) + c
      a *= a;
    }
    return jump;
  }
  constexpr uint32_t operator()(uint32_t state) const { return state * mul + add; }
};

constexpr int32_t Draw(uint32_t state) { return static_cast<int32_t>((state >> 16) & 32767u); }

// The generator moved on by n draws.
void Skip(MosaicRandom& random, uint64_t n) {
  if (n != 0) random.state = RandomJump::Steps(n)(random.state);
}

// x mod s for the values NextRandom gives (0 .. 32767) and a divisor of 1 or more fixed for a
// whole mosaic, by a multiplication: with m = ceil(2^31 / s), x m / 2^31 exceeds x / s by less
// than x s / (s 2^31), too little to reach the next whole number while x s < 2^31.
class RandomModulo {
 public:
  explicit RandomModulo(int32_t s)
      : s_(s),
        m_(s >= 1 && s <= 32768
               ? static_cast<uint32_t>(((uint64_t{1} << 31) + uint64_t(s) - 1) / uint64_t(s))
               : 0) {}

  int32_t operator()(int32_t x) const {
    if (m_ == 0) return x % s_;  // larger divisors leave every value as it is
    const auto q = static_cast<int32_t>((uint64_t{static_cast<uint32_t>(x)} * m_) >> 31);
    return x - q * s_;
  }

 private:
  int32_t s_;
  uint32_t m_;
};

// The generator's state 1 to 16 draws on, for the lanes of a vector.
constexpr std::array<RandomJump, 16> kAhead = [] {
  std::array<RandomJump, 16> ahead{};
  for (size_t k = 0; k < ahead.size(); ++k)
    ahead[k] = RandomJump::Steps(k + 1);
  return ahead;
}();

using EightPicks = intptr_t (*)(MosaicRandom& random, const uint8_t* origin, intptr_t count,
                                uint8_t* out, int32_t s, intptr_t rowStep);

#if TAVIKIT_X86
// Sixteen draws in the lanes of one vector, each modulo s through a float quotient that is
// at most one off (draws below 2^15 and a rounded 1 / s) and then put right; the offsets
// dx + dy rowStep + b s of eight blocks in one vector, the pixels read one by one.
TAVIKIT_TARGET_AVX512 intptr_t PickEightsAvx512(MosaicRandom& random, const uint8_t* origin,
                                                intptr_t count, uint8_t* out, int32_t s,
                                                intptr_t rowStep) {
  std::array<uint32_t, 16> mul{};
  std::array<uint32_t, 16> add{};
  for (size_t k = 0; k < 16; ++k) {
    mul[k] = kAhead[k].mul;
    add[k] = kAhead[k].add;
  }
  const __m512i muls = _mm512_loadu_si512(mul.data());
  const __m512i adds = _mm512_loadu_si512(add.data());
  const __m512i size = _mm512_set1_epi32(s);
  const __m512 inverse = _mm512_set1_ps(1.0F / static_cast<float>(s));
  // Column draws in the even lanes, row draws in the odd ones, weighed 1 and rowStep.
  const __m512i weights =
      _mm512_mask_set1_epi32(_mm512_set1_epi32(1), 0xAAAA, static_cast<int32_t>(rowStep));
  const __m512i blocks =
      _mm512_mullo_epi32(_mm512_set_epi32(7, 0, 6, 0, 5, 0, 4, 0, 3, 0, 2, 0, 1, 0, 0, 0), size);
  std::array<int32_t, 8> offsets{};
  uint32_t state = random.state;
  intptr_t b = 0;
  for (; b + 8 <= count; b += 8) {
    const __m512i states = _mm512_add_epi32(
        _mm512_mullo_epi32(_mm512_set1_epi32(static_cast<int32_t>(state)), muls), adds);
    const __m512i draws = _mm512_and_si512(_mm512_srli_epi32(states, 16), _mm512_set1_epi32(32767));
    const __m512i quotient = _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(draws), inverse));
    __m512i rest = _mm512_sub_epi32(draws, _mm512_mullo_epi32(quotient, size));
    rest = _mm512_mask_add_epi32(rest, _mm512_cmplt_epi32_mask(rest, _mm512_setzero_si512()), rest,
                                 size);
    rest = _mm512_mask_sub_epi32(rest, _mm512_cmpge_epi32_mask(rest, size), rest, size);
    const __m512i weighed = _mm512_add_epi32(_mm512_mullo_epi32(rest, weights), blocks);
    const __m512i pairs = _mm512_add_epi32(weighed, _mm512_srli_epi64(weighed, 32));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(offsets.data()), _mm512_cvtepi64_epi32(pairs));
    const uint8_t* at = origin + b * s;
    for (size_t k = 0; k < offsets.size(); ++k)
      out[b + static_cast<intptr_t>(k)] = at[offsets[k]];
    state = kAhead[15](state);
  }
  random.state = state;
  return b;
}
#endif

intptr_t PickNoEights(MosaicRandom&, const uint8_t*, intptr_t, uint8_t*, int32_t, intptr_t) {
  return 0;
}

constexpr auto kEightPicks = std::to_array<VectorKernel<EightPicks>>({
#if TAVIKIT_X86
  {VectorLevel::kAvx512, PickEightsAvx512},
#endif
      {VectorLevel::kPortable, PickNoEights},
});

// The random pixels of a row of blocks of s x s: for each block two draws, column then row,
// each modulo s, and the pixel at that offset from the block's top-left.
class RandomPicks {
 public:
  // Eight blocks at once where offsets within eight blocks fit in 32 bits.
  RandomPicks(int32_t s, intptr_t rowStep)
      : s_(s),
        rowStep_(rowStep),
        modulo_(s),
        eights_(int64_t{s} * (std::abs(int64_t{rowStep}) + 8) < (int64_t{1} << 31)
                    ? ChosenKernel<kEightPicks>()
                    : PickNoEights) {}

  void Pick(MosaicRandom& random, const uint8_t* origin, intptr_t count, uint8_t* out) const {
    intptr_t b = eights_(random, origin, count, out, s_, rowStep_);
    // A block's two draws follow from the state before it in one step each, and the state after
    // it in one more, so the chain of multiplications is one per block.
    uint32_t state = random.state;
    for (; b < count; ++b) {
      const int32_t dx = modulo_(Draw(kAhead[0](state)));
      const int32_t dy = modulo_(Draw(kAhead[1](state)));
      out[b] = origin[b * s_ + dx + dy * rowStep_];
      state = kAhead[1](state);
    }
    random.state = state;
  }

 private:
  int32_t s_;
  intptr_t rowStep_;
  RandomModulo modulo_;
  EightPicks eights_;
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

// Each block of a group through colour(left, top).
template <class Colour>
auto EachBlock(int32_t s, Colour colour) {
  return [s, colour](const BlockGroup& group, uint8_t* out) {
    for (int64_t b = 0; b < group.count; ++b)
      out[b] = colour(group.left + static_cast<int32_t>(b) * s, group.top);
  };
}

}  // namespace

int32_t NextRandom(MosaicRandom& random) {
  random.state = RandomJump{kRandomMul, kRandomAdd}(random.state);
  return Draw(random.state);
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
  if (down < 1 || across < 1) return;
  const uint64_t blocks = static_cast<uint64_t>(across) * static_cast<uint64_t>(down);
  if (s < 1) {
    Skip(random, 2 * blocks);
    return;
  }
  const RandomPicks picks(s, screen.DownStep());
  // Blocks off the screen still take their two draws: the generator moves past them at once.
  uint64_t next = 0;  // the block whose draws come next
  auto pick = [&](const BlockGroup& group, uint8_t* out) {
    const auto first = static_cast<uint64_t>(group.j * across + group.i);
    Skip(random, 2 * (first - next));
    next = first + static_cast<uint64_t>(group.count);
    picks.Pick(random, screen.At(group.left, group.top), static_cast<intptr_t>(group.count), out);
  };
  ForEachBlock(screen, across, down, s, GroupColours(pick));
  Skip(random, 2 * (blocks - next));
}

void CornerMosaic(const Screen& screen, int32_t across, int32_t down, int32_t s,
                  const ColourCube& cube) {
  if (s < 1) return;
  const int32_t last = s - 1;
  auto colours = EachBlock(s, [&](int32_t left, int32_t top) {
    const int32_t right = WrapAdd(left, last);
    const int32_t bottom = WrapAdd(top, last);
    ColourSum sum;
    sum.Add(screen.palette, *screen.At(left, top));
    sum.Add(screen.palette, *screen.At(right, top));
    sum.Add(screen.palette, *screen.At(left, bottom));
    sum.Add(screen.palette, *screen.At(right, bottom));
    return CubeEntry(cube, static_cast<int32_t>(sum.red >> 5), static_cast<int32_t>(sum.green >> 5),
                     static_cast<int32_t>(sum.blue >> 5));
  });
  ForEachBlock(screen, across, down, s, GroupColours(colours));
}

void MeanMosaic(const Screen& screen, int32_t across, int32_t down, int32_t s,
                const ColourCube& cube) {
  if (s < 1) return;
  const int32_t area = WrapMul(s, s);
  // A 32-bit sum divided as a signed 32-bit value, reduced to 5 bits.
  const auto mean5 = [area](uint32_t sum) {
    return area == 0 ? 0 : Sar(TruncDiv(static_cast<int32_t>(sum), area), 3);
  };
  auto colours = EachBlock(s, [&](int32_t left, int32_t top) {
    ColourSum sum;
    const uint8_t* row = screen.At(left, top);
    for (int32_t r = 0; r < s; ++r) {
      for (int32_t c = 0; c < s; ++c)
        sum.Add(screen.palette, row[c]);
      row += screen.DownStep();
    }
    return CubeEntry(cube, mean5(sum.red), mean5(sum.green), mean5(sum.blue));
  });
  ForEachBlock(screen, across, down, s, GroupColours(colours));
}

void MosaicCopy(const Selection& sel, int32_t w, int32_t h, int32_t n, int32_t key) {
  if (w < 1 || h < 1 || n < 1) return;
  const Screen source = sel.Source();
  const Screen target = sel.Target();
  // A block's sample lies in its own columns, so when the target shares no memory with the
  // source, or is the same area of the same screen, a block row may be drawn a piece of a row at
  // a time, each piece's samples read before it is drawn; otherwise each block is filled whole
  // before the next one is sampled.
  const bool byRows = PixelsApart(source, target) ||
                      (source.pixels == target.pixels && source.width == target.width &&
                       source.height == target.height && source.cursorX == target.cursorX &&
                       source.cursorY == target.cursorY);
  // Blocks are drawn where they lie wholly on both screens; the others are left alone. Block
  // counts and offsets within the area fit in 32 bits.
  const MosaicAxis across(w, n,
                          SharedSpan(source.cursorX, source.width, target.cursorX, target.width));
  const MosaicAxis down(h, n,
                        SharedSpan(source.cursorY, source.height, target.cursorY, target.height));
  const int32_t drawnKey = key < 0 ? -1 : key & 255;
  for (int32_t k = down.first; k < down.end; ++k) {
    const int32_t by = down.Offset(k);
    const int32_t bh = down.Size(k);
    const uint8_t* sampleRow = source.At(source.cursorX, source.cursorY + by + bh / 2);
    if (!byRows) {
      for (int32_t m = across.first; m < across.end; ++m) {
        const uint8_t sample = sampleRow[across.Offset(m) + across.Size(m) / 2];
        if (drawnKey != sample) {
          FillTargetRect(target, target.cursorX + across.Offset(m), target.cursorY + by,
                         across.Size(m), bh, sample);
        }
      }
      continue;
    }
    const int32_t left = across.Offset(across.first);
    FillBlockRows(
        target.At(target.cursorX + left, target.cursorY + by), target.DownStep(), bh,
        {nullptr, sampleRow + left, static_cast<size_t>(across.end - across.first),
         static_cast<size_t>(n), static_cast<size_t>(across.Size(across.end - 1)), drawnKey});
  }
}

}  // namespace tavikit
