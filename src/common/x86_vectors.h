// The x86 vector intrinsics, for the files that have vector loops. GCC 12's AVX-512 intrinsics
// start some results from an undefined vector, which its uninitialized-value warnings report at
// their definitions in the header: silenced here, for the header only.
#pragma once

#include "common/cpu.h"

#if TAVIKIT_X86
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif

#if TAVIKIT_X86
#include <cstddef>

namespace tavikit {

// The first k bytes of 64 (k from 0 to 64) as a byte mask, made in a mask register: 32-bit code
// has no 64-bit general register to shift it in, and a mask moved in from two 32-bit halves waits
// for both to be stored.
TAVIKIT_TARGET_AVX512 inline __mmask64 FirstBytesMask(size_t k) {
  const __m512i bytes = _mm512_set_epi8(
      63, 62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49, 48, 47, 46, 45, 44, 43, 42, 41,
      40, 39, 38, 37, 36, 35, 34, 33, 32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18,
      17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
  return _mm512_cmplt_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(k)));
}

}  // namespace tavikit
#endif
