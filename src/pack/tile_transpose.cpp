// Tiles of 16 x 16 bytes turned over in vector registers: four rounds of byte, word, double-word
// and quad-word interleaves. The interleaves never cross 128-bit lanes, so a vector of k lanes
// turns k tiles at once: those that lie side by side along a screen row, so that each screen row
// moves 16 k bytes at once and the band takes the 16-byte pieces. The algorithm is written once
// over the vector's width; SSE2 turns one tile at a time, AVX2 two and AVX-512 four.
#include "pack/tile_transpose.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "common/cpu.h"
#include "common/x86_vectors.h"

namespace tavikit {
namespace {

constexpr int64_t kTile = 16;

// The pixels of the block outside its first tileLines lines and tilePositions positions: the
// lines below the tiles, then the positions past them, one by one.
template <bool kToBand>
[[gnu::noinline]] void MoveLoosePixels(const uint8_t* from, uint8_t* to, const BandBlock& b,
                                       int64_t tileLines, int64_t tilePositions) {
  const int64_t firstLoose = tileLines < b.lines ? 0 : tilePositions;
  for (int64_t p = firstLoose; p < b.positions; ++p) {
    for (int64_t k = p < tilePositions ? tileLines : 0; k < b.lines; ++k) {
      const int64_t screenAt = p * b.down + k;
      const int64_t bandAt = k * static_cast<int64_t>(b.stride) + p;
      if constexpr (kToBand) {
        to[bandAt] = from[screenAt];
      } else {
        to[screenAt] = from[bandAt];
      }
    }
  }
}

template <bool kToBand>
void MoveBandPortable(const uint8_t* from, uint8_t* to, const BandBlock& b) {
  MoveLoosePixels<kToBand>(from, to, b, 0, 0);
}

#if TAVIKIT_X86
// The templates below pass vectors by value between functions of no target of their own; every
// one of them is inlined into its width's Tiles (always_inline, and flatten on Tiles), so no
// vector crosses a call and the warning about the calling convention of vectors does not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

TAVIKIT_TARGET_SSE2 inline __m128i Load16(const uint8_t* from) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
}
TAVIKIT_TARGET_SSE2 inline void Store16(uint8_t* to, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v);
}

template <class V, int kTiles, bool kToBand>
[[gnu::always_inline]] inline void MoveTiles(const uint8_t* from, uint8_t* to, intptr_t down,
                                             size_t stride);

// A width's vector of `lanes` 128-bit lanes and its byte, word, double-word and quad-word
// interleaves, low and high halves; and kTiles tiles moved in a call of their own (Tiles), whose
// 16 row addresses live in that call's registers: inlined into the loop along the positions they
// became invariants of it, more than the registers hold.
// NOLINTBEGIN(bugprone-macro-parentheses): `target` is an attribute, which parentheses break
#define TAVIKIT_VECTOR_WIDTH(width, vector, lanes, target, prefix)                           \
  using Vec = vector;                                                                        \
  static constexpr int kLanes = lanes;                                                       \
  template <int kTiles, bool kToBand>                                                        \
  [[gnu::noinline, gnu::flatten]] target static void Tiles(const uint8_t* from, uint8_t* to, \
                                                           intptr_t down, size_t stride) {   \
    MoveTiles<width, kTiles, kToBand>(from, to, down, stride);                               \
  }                                                                                          \
  target static void Lo8(Vec& out, const Vec& a, const Vec& b) {                             \
    out = prefix##_unpacklo_epi8(a, b);                                                      \
  }                                                                                          \
  target static void Hi8(Vec& out, const Vec& a, const Vec& b) {                             \
    out = prefix##_unpackhi_epi8(a, b);                                                      \
  }                                                                                          \
  target static void Lo16(Vec& out, const Vec& a, const Vec& b) {                            \
    out = prefix##_unpacklo_epi16(a, b);                                                     \
  }                                                                                          \
  target static void Hi16(Vec& out, const Vec& a, const Vec& b) {                            \
    out = prefix##_unpackhi_epi16(a, b);                                                     \
  }                                                                                          \
  target static void Lo32(Vec& out, const Vec& a, const Vec& b) {                            \
    out = prefix##_unpacklo_epi32(a, b);                                                     \
  }                                                                                          \
  target static void Hi32(Vec& out, const Vec& a, const Vec& b) {                            \
    out = prefix##_unpackhi_epi32(a, b);                                                     \
  }                                                                                          \
  target static void Lo64(Vec& out, const Vec& a, const Vec& b) {                            \
    out = prefix##_unpacklo_epi64(a, b);                                                     \
  }                                                                                          \
  target static void Hi64(Vec& out, const Vec& a, const Vec& b) {                            \
    out = prefix##_unpackhi_epi64(a, b);                                                     \
  }
// NOLINTEND(bugprone-macro-parentheses)

// The vector widths: the interleaves, and the moves of the first kTiles 16-byte lanes of a vector
// to and from a screen row (side by side) or band lines (one lane each, `step` apart).
struct Sse2Lanes {
  TAVIKIT_VECTOR_WIDTH(Sse2Lanes, __m128i, 1, TAVIKIT_TARGET_SSE2, _mm)
  template <int kTiles>
  static void LoadRow(Vec& out, const uint8_t* from) {
    out = Load16(from);
  }
  template <int kTiles>
  static void StoreRow(uint8_t* to, const Vec& v) {
    Store16(to, v);
  }
  template <int kTiles>
  static void LoadLanes(Vec& out, const uint8_t* first, intptr_t) {
    out = Load16(first);
  }
  template <int kTiles>
  static void StoreLanes(uint8_t* first, intptr_t, const Vec& v) {
    Store16(first, v);
  }
};

// AVX2: two tiles a vector (a single one goes through SSE2).
struct Avx2Lanes {
  TAVIKIT_VECTOR_WIDTH(Avx2Lanes, __m256i, 2, TAVIKIT_TARGET_AVX2, _mm256)
  template <int kTiles>
  TAVIKIT_TARGET_AVX2 static void LoadRow(Vec& out, const uint8_t* from) {
    out = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
  }
  template <int kTiles>
  TAVIKIT_TARGET_AVX2 static void StoreRow(uint8_t* to, const Vec& v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), v);
  }
  template <int kTiles>
  TAVIKIT_TARGET_AVX2 static void LoadLanes(Vec& out, const uint8_t* first, intptr_t step) {
    out = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(first + step),
                              reinterpret_cast<const __m128i*>(first));
  }
  template <int kTiles>
  TAVIKIT_TARGET_AVX2 static void StoreLanes(uint8_t* first, intptr_t step, const Vec& v) {
    _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(first + step),
                         reinterpret_cast<__m128i*>(first), v);
  }
};

// AVX-512: a screen row of fewer than four tiles moves under a mask of its bytes.
struct Avx512Lanes {
  TAVIKIT_VECTOR_WIDTH(Avx512Lanes, __m512i, 4, TAVIKIT_TARGET_AVX512, _mm512)
  template <int kTiles>
  TAVIKIT_TARGET_AVX512 static void LoadRow(Vec& out, const uint8_t* from) {
    if constexpr (kTiles == 4) {
      out = _mm512_loadu_si512(from);
    } else {
      out = _mm512_maskz_loadu_epi8(FirstBytesMask(size_t{kTiles} * kTile), from);
    }
  }
  template <int kTiles>
  TAVIKIT_TARGET_AVX512 static void StoreRow(uint8_t* to, const Vec& v) {
    if constexpr (kTiles == 4) {
      _mm512_storeu_si512(to, v);
    } else {
      _mm512_mask_storeu_epi8(to, FirstBytesMask(size_t{kTiles} * kTile), v);
    }
  }
  template <int kTiles>
  TAVIKIT_TARGET_AVX512 static void LoadLanes(Vec& out, const uint8_t* first, intptr_t step) {
    const auto piece = [&](int q) { return Load16(first + q * step); };
    __m512i v = _mm512_castsi128_si512(piece(0));
    if constexpr (kTiles > 1) v = _mm512_inserti32x4(v, piece(1), 1);
    if constexpr (kTiles > 2) v = _mm512_inserti32x4(v, piece(2), 2);
    if constexpr (kTiles > 3) v = _mm512_inserti32x4(v, piece(3), 3);
    out = v;
  }
  template <int kTiles>
  TAVIKIT_TARGET_AVX512 static void StoreLanes(uint8_t* first, intptr_t step, const Vec& v) {
    const auto put = [&](int q, __m128i piece) { Store16(first + q * step, piece); };
    put(0, _mm512_castsi512_si128(v));
    if constexpr (kTiles > 1) put(1, _mm512_extracti32x4_epi32(v, 1));
    if constexpr (kTiles > 2) put(2, _mm512_extracti32x4_epi32(v, 2));
    if constexpr (kTiles > 3) put(3, _mm512_extracti32x4_epi32(v, 3));
  }
};

template <class V>
using Rows16 = typename V::Vec[16];  // NOLINT(modernize-avoid-c-arrays): vectors keep alignment

// 16 vectors (rows) become 16 vectors (columns), in each 128-bit lane apart.
template <class V>
[[gnu::always_inline]] inline void Transpose16(Rows16<V>& a) {
  Rows16<V> b;
  Rows16<V> c;
  Rows16<V> d;
  for (size_t i = 0; i < 16; i += 2) {
    V::Lo8(b[i], a[i], a[i + 1]);
    V::Hi8(b[i + 1], a[i], a[i + 1]);
  }
  for (size_t g = 0; g < 16; g += 4) {
    V::Lo16(c[g], b[g], b[g + 2]);
    V::Hi16(c[g + 1], b[g], b[g + 2]);
    V::Lo16(c[g + 2], b[g + 1], b[g + 3]);
    V::Hi16(c[g + 3], b[g + 1], b[g + 3]);
  }
  for (size_t g = 0; g < 16; g += 8) {
    for (size_t j = 0; j < 4; ++j) {
      V::Lo32(d[g + 2 * j], c[g + j], c[g + j + 4]);
      V::Hi32(d[g + 2 * j + 1], c[g + j], c[g + j + 4]);
    }
  }
  for (size_t j = 0; j < 8; ++j) {
    V::Lo64(a[2 * j], d[j], d[j + 8]);
    V::Hi64(a[2 * j + 1], d[j], d[j + 8]);
  }
}

// Each width's transpose, which the moves of every tile count call: inlined into them (by the
// flatten of Tiles), except in Tavikit.DLL, whose size budget keeps one copy per width. (In a
// call of its own, the rows go through memory: Tavikit64.DLL decoded column-order pictures 1.3x
// slower so.)
#if defined(_WIN32) && !defined(_WIN64)
#define TAVIKIT_TRANSPOSE_INLINING [[gnu::noinline, gnu::flatten]]
#else
#define TAVIKIT_TRANSPOSE_INLINING [[gnu::flatten]]
#endif
template <class V>
void Transpose16Once(Rows16<V>& a);
template <>
TAVIKIT_TRANSPOSE_INLINING TAVIKIT_TARGET_SSE2 inline void Transpose16Once<Sse2Lanes>(
    Rows16<Sse2Lanes>& a) {
  Transpose16<Sse2Lanes>(a);
}
template <>
TAVIKIT_TRANSPOSE_INLINING TAVIKIT_TARGET_AVX2 inline void Transpose16Once<Avx2Lanes>(
    Rows16<Avx2Lanes>& a) {
  Transpose16<Avx2Lanes>(a);
}
template <>
TAVIKIT_TRANSPOSE_INLINING TAVIKIT_TARGET_AVX512 inline void Transpose16Once<Avx512Lanes>(
    Rows16<Avx512Lanes>& a) {
  Transpose16<Avx512Lanes>(a);
}

// kTiles tiles side by side: 16 screen rows (16 kTiles bytes of each, `down` apart) and 16 kTiles
// band lines (16 bytes of each, `stride` apart). The rows go in whole; the band takes the pieces.
template <class V, int kTiles, bool kToBand>
inline void MoveTiles(const uint8_t* from, uint8_t* to, intptr_t down, size_t stride) {
  const auto lanes = static_cast<intptr_t>(kTile * stride);
  Rows16<V> a;
  for (size_t i = 0; i < 16; ++i) {
    if constexpr (kToBand) {
      V::template LoadRow<kTiles>(a[i], from + static_cast<intptr_t>(i) * down);
    } else {
      V::template LoadLanes<kTiles>(a[i], from + i * stride, lanes);
    }
  }
  Transpose16Once<V>(a);
  for (size_t i = 0; i < 16; ++i) {
    if constexpr (kToBand) {
      V::template StoreLanes<kTiles>(to + i * stride, lanes, a[i]);
    } else {
      V::template StoreRow<kTiles>(to + static_cast<intptr_t>(i) * down, a[i]);
    }
  }
}

// The tiles of kTiles band lines from line l on, along all tiled positions. The block comes by
// value and the tiles' addresses step along: the stores of bytes could reach a block in memory,
// which would then be read again for every tile.
template <class V, bool kToBand, int kTiles = V::kLanes>
[[gnu::always_inline]] inline void MoveTileLines(int64_t tiles, const uint8_t* from, uint8_t* to,
                                                 BandBlock b, int64_t l, int64_t tilePositions) {
  if constexpr (kTiles > 1) {
    if (tiles < kTiles) {
      MoveTileLines<V, kToBand, kTiles - 1>(tiles, from, to, b, l, tilePositions);
      return;
    }
  }
  // A single tile goes through the narrowest vectors, which are as fast for it and smaller.
  using Lanes = std::conditional_t<kTiles == 1, Sse2Lanes, V>;
  const intptr_t screenStep = kTile * b.down;
  const auto bandAt = static_cast<intptr_t>(l * static_cast<int64_t>(b.stride));
  const uint8_t* source = from + (kToBand ? l : bandAt);
  uint8_t* target = to + (kToBand ? bandAt : l);
  for (int64_t p = 0; p < tilePositions; p += kTile) {
    Lanes::template Tiles<kTiles, kToBand>(source, target, b.down, b.stride);
    source += kToBand ? screenStep : kTile;
    target += kToBand ? kTile : screenStep;
  }
}

// The whole block: its tiles V::kLanes at a time along the screen rows, then the loose pixels.
template <class V, bool kToBand>
[[gnu::always_inline]] inline void MoveBand(const uint8_t* from, uint8_t* to, const BandBlock& b) {
  const bool tiled = b.lines >= kTile && b.positions >= kTile;
  const int64_t tileLines = tiled ? b.lines / kTile * kTile : 0;
  const int64_t tilePositions = tiled ? b.positions / kTile * kTile : 0;
  for (int64_t l = 0; l < tileLines; l += V::kLanes * kTile) {
    const int64_t tiles = std::min<int64_t>(V::kLanes, (tileLines - l) / kTile);
    MoveTileLines<V, kToBand>(tiles, from, to, b, l, tilePositions);
  }
  MoveLoosePixels<kToBand>(from, to, b, tileLines, tilePositions);
}

template <bool kToBand>
[[gnu::flatten]] TAVIKIT_TARGET_SSE2 void MoveBandSse2(const uint8_t* from, uint8_t* to,
                                                       const BandBlock& b) {
  MoveBand<Sse2Lanes, kToBand>(from, to, b);
}
template <bool kToBand>
[[gnu::flatten]] TAVIKIT_TARGET_AVX2 void MoveBandAvx2(const uint8_t* from, uint8_t* to,
                                                       const BandBlock& b) {
  MoveBand<Avx2Lanes, kToBand>(from, to, b);
}
template <bool kToBand>
[[gnu::flatten]] TAVIKIT_TARGET_AVX512 void MoveBandAvx512(const uint8_t* from, uint8_t* to,
                                                           const BandBlock& b) {
  MoveBand<Avx512Lanes, kToBand>(from, to, b);
}
#pragma GCC diagnostic pop
#endif

using BandMove = void (*)(const uint8_t* from, uint8_t* to, const BandBlock& block);

template <bool kToBand>
constexpr auto kBandMoves = std::to_array<VectorKernel<BandMove>>({
#if TAVIKIT_X86
  {VectorLevel::kAvx512, MoveBandAvx512<kToBand>}, {VectorLevel::kAvx2, MoveBandAvx2<kToBand>},
      {VectorLevel::kSse2, MoveBandSse2<kToBand>},
#endif
      {VectorLevel::kPortable, MoveBandPortable<kToBand>},
});

}  // namespace

void ScreenToBand(const uint8_t* rows, uint8_t* band, const BandBlock& block) {
  ChosenKernel<kBandMoves<true>>()(rows, band, block);
}

void BandToScreen(const uint8_t* band, uint8_t* rows, const BandBlock& block) {
  ChosenKernel<kBandMoves<false>>()(band, rows, block);
}

}  // namespace tavikit
