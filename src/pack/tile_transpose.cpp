// Tiles of 16 x 16 bytes turned over in vector registers: four rounds of byte, word, double-word
// and quad-word interleaves. AVX2 turns two tiles at once, one in each 128-bit lane, since its
// interleaves never cross lanes.
#include "pack/tile_transpose.h"

#include "common/cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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
  int64_t p = 0;
#if TAVIKIT_DISPATCH_AVX2
  if (level == VectorLevel::kAvx2) {
    for (; p + 2 * kTile <= positions; p += 2 * kTile) {
      for (int64_t l = 0; l < tileLines; l += kTile)
        TilePair(load, rows + p * down + l, down, band + l * stride + p, stride);
    }
  }
#endif
  for (; p + kTile <= positions; p += kTile) {
    for (int64_t l = 0; l < tileLines; l += kTile)
      Tile(load, rows + p * down + l, down, band + l * stride + p, stride);
  }
  return {tileLines, p};
#else
  return {};
#endif
}

}  // namespace tavikit
