#include "effects/rotation.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/cpu.h"
#include "common/int32.h"
#include "common/rect.h"
#include "common/x86_vectors.h"
#include "effects/stepped_span.h"

namespace tavikit {
namespace {

struct Point {
  int32_t x;
  int32_t y;
};

// A source rectangle, right and bottom exclusive.
struct SourceClip {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;

  bool Contains(int32_t x, int32_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
};

// The stored clip, or the whole source screen for a negative clipX. Kept inside the source
// screen, so that a clip reaching past the screen takes the fill colour there instead of reading
// outside the pixels.
SourceClip ClipOf(const RotationParams& rot, const Screen& source) {
  SourceClip clip{0, 0, source.width, source.height};
  if (rot.clip.x < 0) return clip;
  clip.left = std::max(rot.clip.x, 0);
  clip.top = std::max(rot.clip.y, 0);
  // The far edges summed without wrapping and kept on the source: an edge before 0 (a negative
  // size) leaves the window empty.
  clip.right = static_cast<int32_t>(
      std::clamp<int64_t>(static_cast<int64_t>(rot.clip.x) + rot.clip.w, 0, source.width));
  clip.bottom = static_cast<int32_t>(
      std::clamp<int64_t>(static_cast<int64_t>(rot.clip.y) + rot.clip.h, 0, source.height));
  return clip;
}

// ((a - b + 1) x 256) / n: the fixed-point step that spreads a - b + 1 pixels over n.
int32_t StepOver(int32_t a, int32_t b, int32_t n) {
  return TruncDiv(WrapMul(WrapAdd(WrapSub(a, b), 1), 256), n);
}

// Sampling a run of a row whose every sample lies inside the source, in groups of 8 (AVX2) or 16
// (AVX-512, whose last group is masked) samples gathered at once. A gather reads 4 bytes from each
// position; a position in the last 3 bytes of the buffer reads the 4 bytes ending at the buffer's
// end instead and shifts its byte down, so that no read leaves the buffer. Each returns how many
// samples it drew (whole groups); the caller draws the rest one by one from where they stopped.
struct GatherSource {
  const uint8_t* top;  // row 0
  int32_t width;       // one row down is -width bytes
  int32_t rows;
};

using GroupSampler = int32_t (*)(uint8_t* dst, int32_t count, uint32_t x, uint32_t y, int32_t dx,
                                 int32_t dy, GatherSource source, int32_t key);

// The positions of the first `kLanes` samples of a group loop, lane by lane, and the steps of a
// whole group, in wrapping 32-bit arithmetic.
template <int32_t kLanes>
struct LanePositions {
  std::array<int32_t, kLanes> x, y;
  int32_t stepX, stepY;

  LanePositions(uint32_t x0, uint32_t y0, int32_t dx, int32_t dy)
      : stepX(static_cast<int32_t>(static_cast<uint32_t>(dx) * kLanes)),
        stepY(static_cast<int32_t>(static_cast<uint32_t>(dy) * kLanes)) {
    for (int32_t i = 0; i < kLanes; ++i) {
      x[i] = static_cast<int32_t>(x0 + static_cast<uint32_t>(dx) * static_cast<uint32_t>(i));
      y[i] = static_cast<int32_t>(y0 + static_cast<uint32_t>(dy) * static_cast<uint32_t>(i));
    }
  }
};

#if TAVIKIT_X86
// The byte offsets from row 0 of the samples at (x, y) and how far (in bits) each gathered word
// is shifted down to bring its sample to the low byte.
struct Gathered256 {
  __m256i at, shift;
};
TAVIKIT_TARGET_AVX2 inline Gathered256 Offsets256(__m256i x, __m256i y, __m256i down,
                                                  __m256i last) {
  const __m256i off =
      _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(y, 8), down), _mm256_srai_epi32(x, 8));
  const __m256i at = _mm256_min_epi32(off, last);
  return Gathered256{at, _mm256_slli_epi32(_mm256_sub_epi32(off, at), 3)};
}

template <bool kKeyed>
TAVIKIT_TARGET_AVX2 int32_t SampleGroupsAvx2(uint8_t* dst, int32_t count, uint32_t x, uint32_t y,
                                             int32_t dx, int32_t dy, GatherSource source,
                                             int32_t key) {
  const LanePositions<8> lanes(x, y, dx, dy);
  __m256i vx = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes.x.data()));
  __m256i vy = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes.y.data()));
  const __m256i stepX = _mm256_set1_epi32(lanes.stepX);
  const __m256i stepY = _mm256_set1_epi32(lanes.stepY);
  const __m256i down = _mm256_set1_epi32(-source.width);
  const __m256i last = _mm256_set1_epi32(source.width - 4);
  // The low byte of each word, four per 128-bit half, then the two halves' words side by side.
  const __m256i lowBytes =
      _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 4, 8, 12, -1,
                       -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m256i halves = _mm256_setr_epi32(0, 4, 1, 1, 1, 1, 1, 1);
  const __m128i keys = _mm_set1_epi8(static_cast<char>(key));
  const auto* base = reinterpret_cast<const int*>(source.top);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const Gathered256 g = Offsets256(vx, vy, down, last);
    const __m256i words = _mm256_srlv_epi32(_mm256_i32gather_epi32(base, g.at, 1), g.shift);
    const __m128i bytes = _mm256_castsi256_si128(
        _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(words, lowBytes), halves));
    auto* out = reinterpret_cast<__m128i*>(dst + i);
    if constexpr (kKeyed) {
      const __m128i old = _mm_loadl_epi64(out);
      _mm_storel_epi64(out, _mm_blendv_epi8(bytes, old, _mm_cmpeq_epi8(bytes, keys)));
    } else {
      _mm_storel_epi64(out, bytes);
    }
    vx = _mm256_add_epi32(vx, stepX);
    vy = _mm256_add_epi32(vy, stepY);
  }
  return i;
}

// True when no sample of the run lies in the last 3 bytes of the buffer (row 0, from column
// width - 3 on), so that a gathered word never needs moving back, and when columns, rows and
// the row step fit 16 bits, so that one multiply-add of (column, row) pairs gives the offsets.
// The run lies inside the source: its columns and rows run one way between its ends.
inline bool PlainWords(int32_t count, uint32_t x, uint32_t y, int32_t dx, int32_t dy,
                       GatherSource source) {
  if (source.width > INT16_MAX || source.rows > INT16_MAX) return false;
  const auto steps = static_cast<uint32_t>(count - 1);
  const int32_t lastY = Sar(static_cast<int32_t>(y + static_cast<uint32_t>(dy) * steps), 8);
  const int32_t lastX = Sar(static_cast<int32_t>(x + static_cast<uint32_t>(dx) * steps), 8);
  if (std::min(Sar(static_cast<int32_t>(y), 8), lastY) >= 1) return true;
  return std::max(Sar(static_cast<int32_t>(x), 8), lastX) <= source.width - 4;
}

// The offsets from row 0 of the samples at (x, y): column + row x (-width), the column in the
// low half of each word and the row in the high half, multiplied and added pairwise.
TAVIKIT_TARGET_AVX512 inline __m512i PairOffsets512(__m512i x, __m512i y, __m512i rowStep) {
  const __m512i pair = _mm512_ternarylogic_epi32(_mm512_slli_epi32(y, 8), _mm512_srli_epi32(x, 8),
                                                 _mm512_set1_epi32(0xFFFF), 0xD8);
  return _mm512_madd_epi16(pair, rowStep);
}

// Stores the low bytes of the 16 words of `words` that `there` marks, leaving out the key.
template <bool kKeyed>
TAVIKIT_TARGET_AVX512 inline void StoreLowBytes512(uint8_t* dst, __mmask16 there, __m512i words,
                                                   __m512i keys) {
  if constexpr (kKeyed) {
    there =
        _mm512_mask_test_epi32_mask(there, _mm512_xor_si512(words, keys), _mm512_set1_epi32(0xFF));
  }
  _mm512_mask_cvtepi32_storeu_epi8(dst, there, words);
}

template <bool kKeyed>
TAVIKIT_TARGET_AVX512 int32_t SampleGroupsAvx512(uint8_t* dst, int32_t count, uint32_t x,
                                                 uint32_t y, int32_t dx, int32_t dy,
                                                 GatherSource source, int32_t key) {
  // Lane k starts k steps on; a group moves 16 steps (wrapping 32-bit products and sums).
  const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m512i vdx = _mm512_set1_epi32(dx);
  const __m512i vdy = _mm512_set1_epi32(dy);
  __m512i vx =
      _mm512_add_epi32(_mm512_set1_epi32(static_cast<int32_t>(x)), _mm512_mullo_epi32(vdx, lane));
  __m512i vy =
      _mm512_add_epi32(_mm512_set1_epi32(static_cast<int32_t>(y)), _mm512_mullo_epi32(vdy, lane));
  const __m512i stepX = _mm512_slli_epi32(vdx, 4);
  const __m512i stepY = _mm512_slli_epi32(vdy, 4);
  const __m512i keys = _mm512_set1_epi32(key & 0xFF);
  int32_t i = 0;
  if (PlainWords(count, x, y, dx, dy, source)) {
    // (1, -width) in each word's halves.
    const __m512i rowStep =
        _mm512_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(-source.width) << 16) | 1u));
    for (; i + 16 <= count; i += 16) {
      const __m512i at = PairOffsets512(vx, vy, rowStep);
      StoreLowBytes512<kKeyed>(dst + i, 0xFFFF, _mm512_i32gather_epi32(at, source.top, 1), keys);
      vx = _mm512_add_epi32(vx, stepX);
      vy = _mm512_add_epi32(vy, stepY);
    }
    if (i == count) return count;
    // The last samples: a masked gather reads nothing for the lanes of samples that do not
    // exist, and the store writes nothing for them.
    const auto there = static_cast<__mmask16>((1u << (count - i)) - 1);
    const __m512i at = PairOffsets512(vx, vy, rowStep);
    StoreLowBytes512<kKeyed>(
        dst + i, there,
        _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), there, at, source.top, 1), keys);
    return count;
  }
  const __m512i down = _mm512_set1_epi32(-source.width);
  const __m512i last = _mm512_set1_epi32(source.width - 4);
  // Every group of a run that may reach the buffer's end, the last one masked as above.
  for (; i < count; i += 16) {
    const __mmask16 there =
        count - i >= 16 ? __mmask16{0xFFFF} : static_cast<__mmask16>((1u << (count - i)) - 1);
    const __m512i off = _mm512_add_epi32(_mm512_mullo_epi32(_mm512_srai_epi32(vy, 8), down),
                                         _mm512_srai_epi32(vx, 8));
    const __m512i at = _mm512_min_epi32(off, last);
    const __m512i shift = _mm512_slli_epi32(_mm512_sub_epi32(off, at), 3);
    const __m512i gathered =
        _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), there, at, source.top, 1);
    StoreLowBytes512<kKeyed>(dst + i, there, _mm512_srlv_epi32(gathered, shift), keys);
    vx = _mm512_add_epi32(vx, stepX);
    vy = _mm512_add_epi32(vy, stepY);
  }
  return count;
}
#endif

int32_t SampleNoGroups(uint8_t*, int32_t, uint32_t, uint32_t, int32_t, int32_t, GatherSource,
                       int32_t) {
  return 0;
}

template <bool kKeyed>
constexpr auto kGroupSamplers = std::to_array<VectorKernel<GroupSampler>>({
#if TAVIKIT_X86
  {VectorLevel::kAvx512, SampleGroupsAvx512<kKeyed>},
      {VectorLevel::kAvx2, SampleGroupsAvx2<kKeyed>},
#endif
      {VectorLevel::kPortable, SampleNoGroups},
});

// The group sampler for this call: gathers need a source apart from the target (a group reads
// before it writes), of at least 4 bytes, whose offsets fit 32 bits.
template <bool kKeyed>
GroupSampler ChooseGroupSampler(const Screen& source, const Screen& target) {
  const int64_t bytes = int64_t{source.width} * source.height;
  if (!PixelsApart(source, target) || bytes < 4 || bytes > INT32_MAX) return SampleNoGroups;
  return ChosenKernel<kGroupSamplers<kKeyed>>();
}

// The target rows of one call. A row steps its source position before each sample; the samples
// that land inside the clip form one run of the row, found once, and the pixels before and after
// it take the fill colour.
struct RotatedRows {
  const Screen& source;
  SourceClip clip;
  int32_t fill;
  int32_t key;
  GroupSampler groups;  // for the kind of row this call draws, keyed or not
  SteppedSpans across;  // of the rows' columns and rows, which all step alike
  SteppedSpans down;

  void Fill(uint8_t* dst, int32_t first, int32_t end) const {
    if (fill >= 0 && end > first)
      std::memset(dst + first, static_cast<uint8_t>(fill), static_cast<size_t>(end - first));
  }

  // Pixels first .. first+count-1 of the run, sampled from position (px, py) on, one step each.
  template <bool kKeyed>
  void Sample(uint8_t* dst, int32_t count, int32_t px, int32_t py, int32_t dx, int32_t dy) const {
    const uint8_t* top = source.Row(0);
    const intptr_t down = source.DownStep();
    auto x = static_cast<uint32_t>(px);
    auto y = static_cast<uint32_t>(py);
    const auto kx = static_cast<uint8_t>(key);
    const int32_t grouped =
        groups(dst, count, x, y, dx, dy, GatherSource{top, source.width, source.height}, key);
    x += static_cast<uint32_t>(dx) * static_cast<uint32_t>(grouped);
    y += static_cast<uint32_t>(dy) * static_cast<uint32_t>(grouped);
    for (int32_t i = grouped; i < count; ++i) {
      const uint8_t p =
          top[Sar(static_cast<int32_t>(y), 8) * down + Sar(static_cast<int32_t>(x), 8)];
      if constexpr (kKeyed) {
        dst[i] = KeyedPick(p, dst[i], kx);
      } else {
        dst[i] = p;
      }
      x += static_cast<uint32_t>(dx);
      y += static_cast<uint32_t>(dy);
    }
  }

  // One row of count pixels whose first sample lies one step (dx, dy) past (px, py).
  void Draw(uint8_t* dst, int32_t count, int32_t px, int32_t py, int32_t dx, int32_t dy) const {
    if (!StepsWithoutWrap(px, dx, count) || !StepsWithoutWrap(py, dy, count)) {
      DrawWrapping(dst, count, px, py, dx, dy);
      return;
    }
    const int64_t x1 = int64_t{px} + dx;
    const int64_t y1 = int64_t{py} + dy;
    const Span inX = across.Inside(x1, int64_t{clip.left} * 256, int64_t{clip.right} * 256);
    const Span inY = down.Inside(y1, int64_t{clip.top} * 256, int64_t{clip.bottom} * 256);
    const int32_t first = std::max(inX.first, inY.first);
    const int32_t end = std::min(inX.end, inY.end);
    if (end <= first) {
      Fill(dst, 0, count);
      return;
    }
    Fill(dst, 0, first);
    const auto sx = static_cast<int32_t>(x1 + int64_t{first} * dx);
    const auto sy = static_cast<int32_t>(y1 + int64_t{first} * dy);
    if (key >= 0 && key <= 255) {
      Sample<true>(dst + first, end - first, sx, sy, dx, dy);
    } else {
      Sample<false>(dst + first, end - first, sx, sy, dx, dy);
    }
    Fill(dst, end, count);
  }

  // The per-pixel tests, for rows whose positions wrap around the 32-bit range.
  void DrawWrapping(uint8_t* dst, int32_t count, int32_t px, int32_t py, int32_t dx,
                    int32_t dy) const {
    for (int32_t i = 0; i < count; ++i) {
      px = WrapAdd(px, dx);
      py = WrapAdd(py, dy);
      const int32_t sx = Sar(px, 8);
      const int32_t sy = Sar(py, 8);
      if (clip.Contains(sx, sy)) {
        const uint8_t p = *source.At(sx, sy);
        if (p != key) dst[i] = p;
      } else if (fill >= 0) {
        dst[i] = static_cast<uint8_t>(fill);
      }
    }
  }
};

}  // namespace

void RotateCopy(const Selection& sel, const RotationParams& rot, int32_t W, int32_t H, int32_t fill,
                int32_t key) {
  if (W < 1 || H < 1) return;
  const Screen source = sel.Source();
  const Screen target = sel.Target();

  // The centre relative to the frame's top-left.
  const int32_t cx =
      rot.centreX >= 0 ? WrapSub(rot.centreX, rot.frame.x) : TruncDiv(rot.frame.w, 2);
  const int32_t cy =
      rot.centreY >= 0 ? WrapSub(rot.centreY, rot.frame.y) : TruncDiv(rot.frame.h, 2);
  const int32_t s = kRotationSine[rot.angle];
  const int32_t c = kRotationNegCosine[rot.angle];
  const auto turn = [&](int32_t u, int32_t v) {
    const int32_t du = WrapSub(u, cx);
    const int32_t dv = WrapSub(v, cy);
    return Point{WrapAdd(Sar(WrapSub(WrapMul(c, du), WrapMul(s, dv)), 8), cx),
                 WrapAdd(Sar(WrapAdd(WrapMul(c, dv), WrapMul(s, du)), 8), cy)};
  };
  const Point p0 = turn(0, 0);
  const Point p1 = turn(rot.frame.w, 0);
  const Point p2 = turn(0, rot.frame.h);
  const int32_t dXx = StepOver(p1.x, p0.x, W);
  const int32_t dXy = StepOver(p1.y, p0.y, W);
  const int32_t dYx = StepOver(p2.x, p0.x, H);
  const int32_t dYy = StepOver(p2.y, p0.y, H);
  const SourceClip clip = ClipOf(rot, source);

  // Only the part of the area on the target is drawn, from the positions the whole area samples.
  const Span cols = VisibleSpan(target.cursorX, W, target.width);
  const Span rows = VisibleSpan(target.cursorY, H, target.height);
  if (cols.Empty() || rows.Empty()) return;
  int32_t rx = WrapAdd(WrapMul(WrapAdd(p0.x, rot.frame.x), 256), WrapMul(rows.first, dYx));
  int32_t ry = WrapAdd(WrapMul(WrapAdd(p0.y, rot.frame.y), 256), WrapMul(rows.first, dYy));
  const bool keyed = key >= 0 && key <= 255;
  const RotatedRows plan{
      source,
      clip,
      fill,
      key,
      keyed ? ChooseGroupSampler<true>(source, target) : ChooseGroupSampler<false>(source, target),
      SteppedSpans(dXx, cols.Size()),
      SteppedSpans(dXy, cols.Size())};
  for (int32_t j = rows.first; j < rows.end; ++j) {
    uint8_t* dst = target.At(target.cursorX + cols.first, target.cursorY + j);
    plan.Draw(dst, cols.Size(), WrapAdd(rx, WrapMul(cols.first, dXx)),
              WrapAdd(ry, WrapMul(cols.first, dXy)), dXx, dXy);
    rx = WrapAdd(rx, dYx);
    ry = WrapAdd(ry, dYy);
  }
}

}  // namespace tavikit
