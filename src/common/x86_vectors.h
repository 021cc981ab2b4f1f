// The x86 vector intrinsics, for the files that have vector loops. GCC 12's AVX-512 intrinsics
// start some results from an undefined vector, which its uninitialized-value warnings report at
// their definitions in the header: silenced here, for the header only.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif
