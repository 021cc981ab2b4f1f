#include "cells/keyed_row.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/cpu.h"
#include "common/x86_vectors.h"

namespace tavikit {
namespace {

constexpr uint32_t kLow7 = 0x7F7F7F7Fu;
constexpr uint32_t kHigh = 0x80808080u;

// 0xFF in every byte of `word` that differs from the key, 0x00 where it equals it. Exact: the
// per-byte sums cannot carry into the next byte.
inline uint32_t DiffersMask(uint32_t word, uint32_t keys) {
  const uint32_t x = word ^ keys;
  const uint32_t nonZero = (((x & kLow7) + kLow7) | x) & kHigh;
  return (nonZero >> 7) * 0xFFu;
}

inline void CopyBytesKeyed(uint8_t* dst, const uint8_t* src, size_t n, uint8_t key) {
  for (size_t i = 0; i < n; ++i)
    dst[i] = src[i] == key ? dst[i] : src[i];
}

#if TAVIKIT_X86
TAVIKIT_TARGET_SSE2 inline void CopyRowKeyedSse2(uint8_t* dst, const uint8_t* src, size_t n,
                                                 uint8_t key) {
  const __m128i keys = _mm_set1_epi8(static_cast<char>(key));
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i keep = _mm_cmpeq_epi8(s, keys);
    const __m128i merged = _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, s));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), merged);
  }
  CopyRowKeyedScalar(dst + i, src + i, n - i, key);
}

TAVIKIT_TARGET_SSE2 void CopyBlockKeyedSse2(uint8_t* dst, intptr_t dstStride, const uint8_t* src,
                                            intptr_t srcStride, size_t n, size_t rows,
                                            uint8_t key) {
  for (size_t r = 0; r < rows; ++r, dst += dstStride, src += srcStride)
    CopyRowKeyedSse2(dst, src, n, key);
}
#endif

#if TAVIKIT_X86
TAVIKIT_TARGET_AVX2 inline void CopyRowKeyedAvx2(uint8_t* dst, const uint8_t* src, size_t n,
                                                 uint8_t key) {
  const __m256i keys = _mm256_set1_epi8(static_cast<char>(key));
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i keep = _mm256_cmpeq_epi8(s, keys);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(s, d, keep));
  }
  if (i < n) {
    // The last bytes as one vector ending at the run's end, when the run is long enough and the
    // vector's first bytes were merged already (merging them again gives the same bytes) and
    // cannot have been changed through an overlap.
    if (n >= 32 && (dst + n <= src || src + n <= dst)) {
      const size_t last = n - 32;
      const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + last));
      const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + last));
      const __m256i keep = _mm256_cmpeq_epi8(s, keys);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + last), _mm256_blendv_epi8(s, d, keep));
      return;
    }
    CopyRowKeyedSse2(dst + i, src + i, n - i, key);
  }
}

// Rows of a multiple of 32 bytes need no tail; other widths take the general row.
TAVIKIT_TARGET_AVX2 void CopyBlockKeyedAvx2(uint8_t* dst, intptr_t dstStride, const uint8_t* src,
                                            intptr_t srcStride, size_t n, size_t rows,
                                            uint8_t key) {
  if (n % 32 != 0) {
    for (size_t r = 0; r < rows; ++r, dst += dstStride, src += srcStride)
      CopyRowKeyedAvx2(dst, src, n, key);
    return;
  }
  const __m256i keys = _mm256_set1_epi8(static_cast<char>(key));
  for (size_t r = 0; r < rows; ++r, dst += dstStride, src += srcStride) {
    for (size_t i = 0; i < n; i += 32) {
      const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
      const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
      const __m256i keep = _mm256_cmpeq_epi8(s, keys);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(s, d, keep));
    }
  }
}
#endif

#if TAVIKIT_X86
// Asks for the cache lines of the first and last byte of a row of n bytes, to be written.
inline void PrefetchRow(const uint8_t* row, size_t n) {
  __builtin_prefetch(row, 1);
  __builtin_prefetch(row + n - 1, 1);
}

// The bytes of a 64-byte group that `there` marks, keyed.
TAVIKIT_TARGET_AVX512 inline void CopyPartKeyedAvx512(uint8_t* dst, const uint8_t* src,
                                                      __mmask64 there, __m512i keys) {
  const __m512i s = _mm512_maskz_loadu_epi8(there, src);
  _mm512_mask_storeu_epi8(dst, _mm512_mask_cmpneq_epi8_mask(there, s, keys), s);
}

// The source bytes that are not the key, stored over dst under a mask: a masked byte store writes
// only those bytes and never reads the destination. The stores are aligned to 64 bytes of the
// destination, so that none straddles two cache lines: the bytes before the first boundary and
// after the last go through masked loads and stores of the bytes that exist.
TAVIKIT_TARGET_AVX512 inline void CopyRowKeyedAvx512(uint8_t* dst, const uint8_t* src, size_t n,
                                                     uint8_t key) {
  const __m512i keys = _mm512_set1_epi8(static_cast<char>(key));
  // Short rows (a cell's) gain nothing from the split: the unaligned stores as they come.
  const size_t head =
      n < 256 ? 0 : std::min<size_t>(n, (0 - reinterpret_cast<uintptr_t>(dst)) & 63);
  if (head != 0) CopyPartKeyedAvx512(dst, src, FirstBytesMask(head), keys);
  size_t i = head;
  for (; i + 64 <= n; i += 64) {
    const __m512i s = _mm512_loadu_si512(src + i);
    _mm512_mask_storeu_epi8(dst + i, _mm512_cmpneq_epi8_mask(s, keys), s);
  }
  if (i < n) CopyPartKeyedAvx512(dst + i, src + i, FirstBytesMask(n - i), keys);
}

TAVIKIT_TARGET_AVX512 void CopyBlockKeyedAvx512(uint8_t* dst, intptr_t dstStride,
                                                const uint8_t* src, intptr_t srcStride, size_t n,
                                                size_t rows, uint8_t key) {
  // Short rows lie on lines of their own, 640 or so bytes apart, which the processor does not
  // fetch ahead by itself: each row asks for the lines of the row kPrefetchRows below it.
  constexpr size_t kPrefetchRows = 6;
  const bool fetch = n <= 128;
  for (size_t r = 0; fetch && r < std::min(rows, kPrefetchRows); ++r)
    PrefetchRow(dst + static_cast<intptr_t>(r) * dstStride, n);
  if (n <= 64) {
    // A cell's row: one masked load, compare and store of the bytes that exist.
    const __m512i keys = _mm512_set1_epi8(static_cast<char>(key));
    const __mmask64 there = FirstBytesMask(n);
    for (size_t r = 0; r < rows; ++r, dst += dstStride, src += srcStride) {
      if (r + kPrefetchRows < rows)
        PrefetchRow(dst + static_cast<intptr_t>(kPrefetchRows) * dstStride, n);
      CopyPartKeyedAvx512(dst, src, there, keys);
    }
    return;
  }
  for (size_t r = 0; r < rows; ++r, dst += dstStride, src += srcStride) {
    if (fetch && r + kPrefetchRows < rows)
      PrefetchRow(dst + static_cast<intptr_t>(kPrefetchRows) * dstStride, n);
    CopyRowKeyedAvx512(dst, src, n, key);
  }
}
#endif

using RowCopy = void (*)(uint8_t*, const uint8_t*, size_t, uint8_t);
using BlockCopy = void (*)(uint8_t*, intptr_t, const uint8_t*, intptr_t, size_t, size_t, uint8_t);

void CopyBlockKeyedScalar(uint8_t* dst, intptr_t dstStride, const uint8_t* src, intptr_t srcStride,
                          size_t n, size_t rows, uint8_t key) {
  for (size_t r = 0; r < rows; ++r, dst += dstStride, src += srcStride)
    CopyRowKeyedScalar(dst, src, n, key);
}

constexpr auto kBlockCopies = std::to_array<VectorKernel<BlockCopy>>({
#if TAVIKIT_X86
  {VectorLevel::kAvx512, CopyBlockKeyedAvx512}, {VectorLevel::kAvx2, CopyBlockKeyedAvx2},
      {VectorLevel::kSse2, CopyBlockKeyedSse2},
#endif
      {VectorLevel::kPortable, CopyBlockKeyedScalar},
});

constexpr auto kRowCopies = std::to_array<VectorKernel<RowCopy>>({
#if TAVIKIT_X86
  {VectorLevel::kAvx512, CopyRowKeyedAvx512}, {VectorLevel::kAvx2, CopyRowKeyedAvx2},
      {VectorLevel::kSse2, CopyRowKeyedSse2},
#endif
      {VectorLevel::kPortable, CopyRowKeyedScalar},
});

}  // namespace

void CopyRowKeyedScalar(uint8_t* dst, const uint8_t* src, size_t n, uint8_t key) {
  const uint32_t keys = key * 0x01010101u;
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    uint32_t s;
    uint32_t d;
    std::memcpy(&s, src + i, 4);
    std::memcpy(&d, dst + i, 4);
    const uint32_t m = DiffersMask(s, keys);
    const uint32_t merged = (s & m) | (d & ~m);
    std::memcpy(dst + i, &merged, 4);
  }
  CopyBytesKeyed(dst + i, src + i, n - i, key);
}

void CopyRowKeyed(uint8_t* dst, const uint8_t* src, size_t n, uint8_t key) {
  ChosenKernel<kRowCopies>()(dst, src, n, key);
}

void CopyBlockKeyed(uint8_t* dst, intptr_t dstStride, const uint8_t* src, intptr_t srcStride,
                    size_t n, size_t rows, uint8_t key) {
  ChosenKernel<kBlockCopies>()(dst, dstStride, src, srcStride, n, rows, key);
}

}  // namespace tavikit
