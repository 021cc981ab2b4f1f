// Tiles of 16 x 16 bytes turned over in vector registers: four rounds of byte, word, double-word
// and quad-word interleaves. The interleaves of wider vectors never cross 128-bit lanes, so AVX2
// turns two tiles at once and AVX-512 four, laid so that every screen row moves 64 bytes at once
// and the band, which stays in the first level of cache, takes the 16-byte pieces.
#include "pack/tile_transpose.h"

#include <algorithm>

#include "common/cpu.h"
#include "common/x86_vectors.h"

namespace tavikit {
namespace {

#if defined(__x86_64__) || defined(__i386__)
constexpr int64_t kTile = 16;

// 16 vectors of 16 bytes (rows) become 16 vectors of 16 bytes (columns).
[[gnu::target("sse2")]] inline void Transpose16(
    __m128i (&a)[16]) {  // NOLINT(modernize-avoid-c-arrays)
  __m128i b[16];         // NOLINT(modernize-avoid-c-arrays): vectors keep their alignment here
  __m128i c[16];         // NOLINT(modernize-avoid-c-arrays)
  __m128i d[16];         // NOLINT(modernize-avoid-c-arrays)
  for (size_t i = 0; i < 16; i += 2) {
    b[i] = _mm_unpacklo_epi8(a[i], a[i + 1]);
    b[i + 1] = _mm_unpackhi_epi8(a[i], a[i + 1]);
  }
  for (size_t g = 0; g < 16; g += 4) {
    c[g] = _mm_unpacklo_epi16(b[g], b[g + 2]);
    c[g + 1] = _mm_unpackhi_epi16(b[g], b[g + 2]);
    c[g + 2] = _mm_unpacklo_epi16(b[g + 1], b[g + 3]);
    c[g + 3] = _mm_unpackhi_epi16(b[g + 1], b[g + 3]);
  }
  for (size_t g = 0; g < 16; g += 8) {
    for (size_t j = 0; j < 4; ++j) {
      d[g + 2 * j] = _mm_unpacklo_epi32(c[g + j], c[g + j + 4]);
      d[g + 2 * j + 1] = _mm_unpackhi_epi32(c[g + j], c[g + j + 4]);
    }
  }
  for (size_t j = 0; j < 8; ++j) {
    a[2 * j] = _mm_unpacklo_epi64(d[j], d[j + 8]);
    a[2 * j + 1] = _mm_unpackhi_epi64(d[j], d[j + 8]);
  }
}

// One tile between 16 screen rows (from `row` on, `down` apart) and 16 band lines (from `band`
// on, `stride` apart).
[[gnu::target("sse2")]] void Tile(bool load, uint8_t* row, intptr_t down, uint8_t* band,
                                  size_t stride) {
  __m128i a[16];  // NOLINT(modernize-avoid-c-arrays)
  for (size_t i = 0; i < 16; ++i) {
    const uint8_t* from = load ? row + static_cast<intptr_t>(i) * down : band + i * stride;
    a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  }
  Transpose16(a);
  for (size_t i = 0; i < 16; ++i) {
    uint8_t* to = load ? band + i * stride : row + static_cast<intptr_t>(i) * down;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), a[i]);
  }
}
#endif

#if TAVIKIT_DISPATCH_AVX2
// Transpose16 for two tiles at once, one per lane.
TAVIKIT_TARGET_AVX2 inline void Transpose16(__m256i (&a)[16]) {  // NOLINT(modernize-avoid-c-arrays)
  __m256i b[16];                                                 // NOLINT(modernize-avoid-c-arrays)
  __m256i c[16];                                                 // NOLINT(modernize-avoid-c-arrays)
  __m256i d[16];                                                 // NOLINT(modernize-avoid-c-arrays)
  for (size_t i = 0; i < 16; i += 2) {
    b[i] = _mm256_unpacklo_epi8(a[i], a[i + 1]);
    b[i + 1] = _mm256_unpackhi_epi8(a[i], a[i + 1]);
  }
  for (size_t g = 0; g < 16; g += 4) {
    c[g] = _mm256_unpacklo_epi16(b[g], b[g + 2]);
    c[g + 1] = _mm256_unpackhi_epi16(b[g], b[g + 2]);
    c[g + 2] = _mm256_unpacklo_epi16(b[g + 1], b[g + 3]);
    c[g + 3] = _mm256_unpackhi_epi16(b[g + 1], b[g + 3]);
  }
  for (size_t g = 0; g < 16; g += 8) {
    for (size_t j = 0; j < 4; ++j) {
      d[g + 2 * j] = _mm256_unpacklo_epi32(c[g + j], c[g + j + 4]);
      d[g + 2 * j + 1] = _mm256_unpackhi_epi32(c[g + j], c[g + j + 4]);
    }
  }
  for (size_t j = 0; j < 8; ++j) {
    a[2 * j] = _mm256_unpacklo_epi64(d[j], d[j + 8]);
    a[2 * j + 1] = _mm256_unpackhi_epi64(d[j], d[j + 8]);
  }
}

// Two tiles that follow each other along the band lines: screen rows 0 .. 15 of them in the low
// lanes, rows 16 .. 31 in the high lanes; 32 bytes of each band line.
TAVIKIT_TARGET_AVX2 void TilePair(bool load, uint8_t* row, intptr_t down, uint8_t* band,
                                  size_t stride) {
  const intptr_t half = kTile * down;
  __m256i a[16];  // NOLINT(modernize-avoid-c-arrays)
  for (size_t i = 0; i < 16; ++i) {
    uint8_t* upper = row + static_cast<intptr_t>(i) * down;
    a[i] = load ? _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(upper + half),
                                      reinterpret_cast<const __m128i*>(upper))
                : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(band + i * stride));
  }
  Transpose16(a);
  for (size_t i = 0; i < 16; ++i) {
    uint8_t* upper = row + static_cast<intptr_t>(i) * down;
    if (load) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(band + i * stride), a[i]);
    } else {
      _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(upper + half),
                           reinterpret_cast<__m128i*>(upper), a[i]);
    }
  }
}

// AVX-512: four tiles at once, one per 128-bit lane, laid so that each store is 64 bytes.
TAVIKIT_TARGET_AVX512 inline void Transpose16(
    __m512i (&a)[16]) {  // NOLINT(modernize-avoid-c-arrays)
  __m512i b[16];         // NOLINT(modernize-avoid-c-arrays)
  __m512i c[16];         // NOLINT(modernize-avoid-c-arrays)
  __m512i d[16];         // NOLINT(modernize-avoid-c-arrays)
  for (size_t i = 0; i < 16; i += 2) {
    b[i] = _mm512_unpacklo_epi8(a[i], a[i + 1]);
    b[i + 1] = _mm512_unpackhi_epi8(a[i], a[i + 1]);
  }
  for (size_t g = 0; g < 16; g += 4) {
    c[g] = _mm512_unpacklo_epi16(b[g], b[g + 2]);
    c[g + 1] = _mm512_unpackhi_epi16(b[g], b[g + 2]);
    c[g + 2] = _mm512_unpacklo_epi16(b[g + 1], b[g + 3]);
    c[g + 3] = _mm512_unpackhi_epi16(b[g + 1], b[g + 3]);
  }
  for (size_t g = 0; g < 16; g += 8) {
    for (size_t j = 0; j < 4; ++j) {
      d[g + 2 * j] = _mm512_unpacklo_epi32(c[g + j], c[g + j + 4]);
      d[g + 2 * j + 1] = _mm512_unpackhi_epi32(c[g + j], c[g + j + 4]);
    }
  }
  for (size_t j = 0; j < 8; ++j) {
    a[2 * j] = _mm512_unpacklo_epi64(d[j], d[j + 8]);
    a[2 * j + 1] = _mm512_unpackhi_epi64(d[j], d[j + 8]);
  }
}

// The first kQuarters (1 to 4) 16-byte pieces, `step` apart, as the lanes of one vector; the
// lanes past them hold nothing that is used.
template <int kQuarters>
TAVIKIT_TARGET_AVX512 inline __m512i Lanes(const uint8_t* first, intptr_t step) {
  const auto piece = [&](int q) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + q * step));
  };
  __m512i v = _mm512_castsi128_si512(piece(0));
  if constexpr (kQuarters > 1) v = _mm512_inserti32x4(v, piece(1), 1);
  if constexpr (kQuarters > 2) v = _mm512_inserti32x4(v, piece(2), 2);
  if constexpr (kQuarters > 3) v = _mm512_inserti32x4(v, piece(3), 3);
  return v;
}

// Lane q of `v` to `to` + q `step`, for the first kQuarters lanes.
template <int kQuarters>
TAVIKIT_TARGET_AVX512 inline void StoreLanes(uint8_t* to, intptr_t step, __m512i v) {
  const auto put = [&](int q, __m128i piece) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + q * step), piece);
  };
  put(0, _mm512_castsi512_si128(v));
  if constexpr (kQuarters > 1) put(1, _mm512_extracti32x4_epi32(v, 1));
  if constexpr (kQuarters > 2) put(2, _mm512_extracti32x4_epi32(v, 2));
  if constexpr (kQuarters > 3) put(3, _mm512_extracti32x4_epi32(v, 3));
}

// Loading: 16 screen rows (16 kQuarters bytes of each, one vector) to 16 bytes of 16 kQuarters
// band lines. The rows go in whole; the band, in the first level of cache, takes the pieces.
template <int kQuarters>
TAVIKIT_TARGET_AVX512 void LoadQuad(const uint8_t* row, intptr_t down, uint8_t* band,
                                    size_t stride) {
  const __mmask64 mask = FirstBytesMask(size_t{kQuarters} * kTile);
  __m512i a[16];  // NOLINT(modernize-avoid-c-arrays)
  for (size_t i = 0; i < 16; ++i) {
    const uint8_t* from = row + static_cast<intptr_t>(i) * down;
    a[i] = kQuarters == 4 ? _mm512_loadu_si512(from) : _mm512_maskz_loadu_epi8(mask, from);
  }
  Transpose16(a);
  const auto step = static_cast<intptr_t>(kTile * stride);
  for (size_t j = 0; j < 16; ++j)
    StoreLanes<kQuarters>(band + j * stride, step, a[j]);
}

// Storing: 16 kQuarters band lines (16 bytes of each) to 16 kQuarters bytes of 16 screen rows.
template <int kQuarters>
TAVIKIT_TARGET_AVX512 void StoreQuad(uint8_t* row, intptr_t down, const uint8_t* band,
                                     size_t stride) {
  const __mmask64 mask = FirstBytesMask(size_t{kQuarters} * kTile);
  const auto step = static_cast<intptr_t>(kTile * stride);
  __m512i a[16];  // NOLINT(modernize-avoid-c-arrays)
  for (size_t j = 0; j < 16; ++j)
    a[j] = Lanes<kQuarters>(band + j * stride, step);
  Transpose16(a);
  for (size_t i = 0; i < 16; ++i) {
    uint8_t* to = row + static_cast<intptr_t>(i) * down;
    if constexpr (kQuarters == 4) {
      _mm512_storeu_si512(to, a[i]);
    } else {
      _mm512_mask_storeu_epi8(to, mask, a[i]);
    }
  }
}

// Up to 64 band lines at once (16 kQuarters), the screen's side in one vector.
template <int kQuarters>
TAVIKIT_TARGET_AVX512 void TransferQuads(bool load, uint8_t* rows, intptr_t down, uint8_t* band,
                                         size_t stride, int64_t positions) {
  for (int64_t q = 0; q < positions; q += kTile) {
    if (load) {
      LoadQuad<kQuarters>(rows + q * down, down, band + q, stride);
    } else {
      StoreQuad<kQuarters>(rows + q * down, down, band + q, stride);
    }
  }
}
#endif

}  // namespace

TiledPart TransferTiles([[maybe_unused]] bool load, [[maybe_unused]] uint8_t* rows,
                        [[maybe_unused]] intptr_t down, [[maybe_unused]] uint8_t* band,
                        [[maybe_unused]] size_t stride, [[maybe_unused]] int64_t lines,
                        [[maybe_unused]] int64_t positions) {
#if defined(__x86_64__) || defined(__i386__)
  const VectorLevel level = ProcessVectorLevel();
  if (level == VectorLevel::kPortable || lines < kTile || positions < kTile) return {};
  const int64_t tileLines = lines / kTile * kTile;
  const int64_t tilePos = positions / kTile * kTile;
#if TAVIKIT_DISPATCH_AVX2
  if (level == VectorLevel::kAvx512) {
    for (int64_t l = 0; l < tileLines; l += 4 * kTile) {
      uint8_t* screen = rows + l;
      uint8_t* group = band + l * stride;
      switch (std::min<int64_t>(4, (tileLines - l) / kTile)) {
        case 1:
          TransferQuads<1>(load, screen, down, group, stride, tilePos);
          break;
        case 2:
          TransferQuads<2>(load, screen, down, group, stride, tilePos);
          break;
        case 3:
          TransferQuads<3>(load, screen, down, group, stride, tilePos);
          break;
        default:
          TransferQuads<4>(load, screen, down, group, stride, tilePos);
          break;
      }
    }
    return {tileLines, tilePos};
  }
#endif
  // Pairs of tiles along the band lines where AVX2 has them, then single tiles: positions from
  // `p` on are left.
  int64_t p = 0;
#if TAVIKIT_DISPATCH_AVX2
  if (level == VectorLevel::kAvx2) {
    for (; p + 2 * kTile <= positions; p += 2 * kTile) {
      for (int64_t l = 0; l < tileLines; l += kTile)
        TilePair(load, rows + p * down + l, down, band + l * stride + p, stride);
    }
  }
#endif
  for (; p < tilePos; p += kTile) {
    for (int64_t l = 0; l < tileLines; l += kTile)
      Tile(load, rows + p * down + l, down, band + l * stride + p, stride);
  }
  return {tileLines, tilePos};
#else
  return {};
#endif
}

}  // namespace tavikit
