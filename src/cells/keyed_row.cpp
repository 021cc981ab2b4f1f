#include "cells/keyed_row.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
void CopyRowKeyed(uint8_t* dst, const uint8_t* src, size_t n, uint8_t key) {
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
#else
void CopyRowKeyed(uint8_t* dst, const uint8_t* src, size_t n, uint8_t key) {
  CopyRowKeyedScalar(dst, src, n, key);
}
#endif

}  // namespace tavikit
