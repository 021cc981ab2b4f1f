// Rows at twice and at half the width, the whole-number steps of the zoom and the doubler: each
// byte twice, or every second byte. SSE2 where the build has it, 16 source or target bytes at a
// time; the bytes after the last 16 one by one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/cpu.h"

#if TAVIKIT_SSE2_BASELINE
#include <emmintrin.h>
#endif

namespace tavikit {

// Each of the n bytes from `src` twice, side by side, into 2n bytes from `dst`, and with kTwoRows
// the same into 2n bytes from `below` too (a row doubled in both directions: no second pass over
// the first row, nor the C runtime's copy).
template <bool kTwoRows>
inline void DoubleBytesInto(uint8_t* dst, [[maybe_unused]] uint8_t* below, const uint8_t* src,
                            size_t n) {
  size_t k = 0;
#if TAVIKIT_SSE2_BASELINE
  for (const size_t whole = n - n % 16; k < whole; k += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
    const __m128i lo = _mm_unpacklo_epi8(v, v);
    const __m128i hi = _mm_unpackhi_epi8(v, v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 2 * k), lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 2 * k + 16), hi);
    if constexpr (kTwoRows) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(below + 2 * k), lo);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(below + 2 * k + 16), hi);
    }
  }
#endif
  for (; k < n; ++k) {
    dst[2 * k] = dst[2 * k + 1] = src[k];
    if constexpr (kTwoRows) below[2 * k] = below[2 * k + 1] = src[k];
  }
}

// Each of the n bytes from `src` twice, side by side, into 2n bytes from `dst`.
inline void DoubleBytes(uint8_t* dst, const uint8_t* src, size_t n) {
  DoubleBytesInto<false>(dst, nullptr, src, n);
}

// Bytes 0, 2, 4 ... of the 2n bytes from `src` into n bytes from `dst`.
inline void EvenBytes(uint8_t* dst, const uint8_t* src, size_t n) {
  size_t i = 0;
#if TAVIKIT_SSE2_BASELINE
  // The even bytes of 32 as the low halves of 16 words, packed.
  const __m128i low = _mm_set1_epi16(0x00FF);
  for (; i + 16 <= n; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i + 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_packus_epi16(_mm_and_si128(a, low), _mm_and_si128(b, low)));
  }
#endif
  for (; i < n; ++i)
    dst[i] = src[2 * i];
}

}  // namespace tavikit
