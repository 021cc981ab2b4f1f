// Tiles of 16 x 16 bytes turned over in vector registers: four rounds of byte, word, double-word
// and quad-word interleaves. The interleaves of wider vectors never cross 128-bit lanes, so AVX2
// turns two tiles at once and AVX-512 four, laid so that every store is 64 bytes wide.
#include "pack/tile_transpose.h"

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

// Four 16-byte pieces, `step` apart, as the four lanes of one vector.
TAVIKIT_TARGET_AVX512 inline __m512i Lanes(const uint8_t* first, intptr_t step) {
  __m512i v = _mm512_castsi128_si512(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first)));
  v = _mm512_inserti32x4(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + step)), 1);
  v = _mm512_inserti32x4(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 2 * step)), 2);
  v = _mm512_inserti32x4(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 3 * step)), 3);
  return v;
}

// Loading: screen rows 0 .. 63 (16 bytes of each) to 64 bytes of 16 band lines.
TAVIKIT_TARGET_AVX512 void LoadQuad(const uint8_t* row, intptr_t down, uint8_t* band,
                                    size_t stride) {
  __m512i a[16];  // NOLINT(modernize-avoid-c-arrays)
  for (size_t i = 0; i < 16; ++i)
    a[i] = Lanes(row + static_cast<intptr_t>(i) * down, kTile * down);
  Transpose16(a);
  for (size_t j = 0; j < 16; ++j)
    _mm512_storeu_si512(band + j * stride, a[j]);
}

// Storing: 64 band lines (16 bytes of each) to 64 bytes of 16 screen rows.
TAVIKIT_TARGET_AVX512 void StoreQuad(uint8_t* row, intptr_t down, const uint8_t* band,
                                     size_t stride) {
  __m512i a[16];  // NOLINT(modernize-avoid-c-arrays)
  for (size_t j = 0; j < 16; ++j)
    a[j] = Lanes(band + j * stride, kTile * static_cast<intptr_t>(stride));
  Transpose16(a);
  for (size_t i = 0; i < 16; ++i)
    _mm512_storeu_si512(row + static_cast<intptr_t>(i) * down, a[i]);
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
  // The widest pieces first, each kind taking what the ones before left: lines from `lineFrom`
  // on and positions from `p` on.
  int64_t lineFrom = 0;
  int64_t p = 0;
#if TAVIKIT_DISPATCH_AVX2
  if (level == VectorLevel::kAvx512 && load) {
    for (; p + 4 * kTile <= positions; p += 4 * kTile) {
      for (int64_t l = 0; l < tileLines; l += kTile)
        LoadQuad(rows + p * down + l, down, band + l * stride + p, stride);
    }
  } else if (level == VectorLevel::kAvx512) {
    for (; lineFrom + 4 * kTile <= tileLines; lineFrom += 4 * kTile) {
      for (int64_t q = 0; q < tilePos; q += kTile)
        StoreQuad(rows + q * down + lineFrom, down, band + lineFrom * stride + q, stride);
    }
  }
  if (level >= VectorLevel::kAvx2) {
    for (; p + 2 * kTile <= positions; p += 2 * kTile) {
      for (int64_t l = lineFrom; l < tileLines; l += kTile)
        TilePair(load, rows + p * down + l, down, band + l * stride + p, stride);
    }
  }
#endif
  for (; p < tilePos; p += kTile) {
    for (int64_t l = lineFrom; l < tileLines; l += kTile)
      Tile(load, rows + p * down + l, down, band + l * stride + p, stride);
  }
  return {tileLines, tilePos};
#else
  return {};
#endif
}

}  // namespace tavikit
