// Where the library picks vector code, decided in one place.
//
//  - Compile time is enough where the build's baseline already has the instructions: SSE2 on
//    x86-64 (always there) and on 32-bit x86 builds that target it (__SSE2__: Tavikit.DLL and
//    the -m32 build are compiled with -msse2, as every x86 processor since 2003 has it). Code
//    that needs no more than SSE2 tests TAVIKIT_SSE2_BASELINE and keeps a portable twin for
//    other builds.
//  - Run-time dispatch is used where the baseline lacks what the processor may have: AVX2 and
//    AVX-512 beside SSE2 on x86 of either width, and SSE2 itself on a 32-bit build for a plain
//    i686. The loop is compiled once more for that instruction set ([[gnu::target]], see the
//    TAVIKIT_TARGET_* attributes), and each operation ends with a table of its kernels that
//    ChosenKernel resolves once per process,
//    never per pixel. 32-bit and 64-bit builds choose the same way.
//  - Every other processor runs the portable loops.
//
// Every vector loop gives the same bytes as its portable twin. The environment variable
// TAVIKIT_VECTORS ("portable", "sse2" or "avx2") caps the level, so that the tests run every
// twin on one machine.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define TAVIKIT_X86 1  // x86 of either width: the vector loops below exist
#else
#define TAVIKIT_X86 0
#endif

#if defined(__x86_64__) || defined(__SSE2__)
#define TAVIKIT_SSE2_BASELINE 1
#else
#define TAVIKIT_SSE2_BASELINE 0
#endif

#if defined(__i386__) && !defined(__SSE2__)
#define TAVIKIT_DISPATCH_SSE2 1  // run-time SSE2 beside the plain i686 code
#else
#define TAVIKIT_DISPATCH_SSE2 0
#endif

// The one spelling of the instruction sets a loop is compiled for, one attribute a level.
#if TAVIKIT_X86
#define TAVIKIT_TARGET_SSE2 [[gnu::target("sse2")]]
#define TAVIKIT_TARGET_AVX2 [[gnu::target("avx2")]]
#define TAVIKIT_TARGET_AVX512 [[gnu::target("avx512f,avx512bw")]]
#define TAVIKIT_TARGET_AVX512_VBMI [[gnu::target("avx512f,avx512bw,avx512vbmi")]]
#endif

namespace tavikit {

// The widest vector loops this processor runs. x86 processors of either width take SSE2 loops,
// AVX2 ones beside them when the processor has AVX2, and AVX-512 ones (byte and word
// instructions included) where it has those; a 32-bit build for a plain i686 takes none where
// the processor lacks SSE2. Other processors run the portable loops. A level includes the ones
// below it.
// kAvx512Vbmi adds the byte permutations of AVX-512 VBMI.
enum class VectorLevel : uint8_t { kPortable, kSse2, kAvx2, kAvx512, kAvx512Vbmi };

inline VectorLevel DetectVectorLevel() {
#if TAVIKIT_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("sse2") == 0) return VectorLevel::kPortable;
  if (__builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0) {
    return __builtin_cpu_supports("avx512vbmi") != 0 ? VectorLevel::kAvx512Vbmi
                                                     : VectorLevel::kAvx512;
  }
  return __builtin_cpu_supports("avx2") != 0 ? VectorLevel::kAvx2 : VectorLevel::kSse2;
#else
  return VectorLevel::kPortable;
#endif
}

// The cap that TAVIKIT_VECTORS sets, the top level (none) when it is unset or names no level.
inline VectorLevel VectorCap(const char* text) {
  if (text == nullptr) return VectorLevel::kAvx512Vbmi;
  if (std::strcmp(text, "portable") == 0) return VectorLevel::kPortable;
  if (std::strcmp(text, "sse2") == 0) return VectorLevel::kSse2;
  if (std::strcmp(text, "avx2") == 0) return VectorLevel::kAvx2;
  return VectorLevel::kAvx512Vbmi;
}

// The level of this process, detected on first use.
// Kept out of line: one copy of the detection, not one in every caller.
[[gnu::noinline]] inline VectorLevel ProcessVectorLevel() {
  static const VectorLevel level =
      std::min(DetectVectorLevel(), VectorCap(std::getenv("TAVIKIT_VECTORS")));
  return level;
}

// One kernel of a vector operation and the level it needs.
template <class Fn>
struct VectorKernel {
  VectorLevel level;
  Fn kernel;
};

// Every vector operation ends with one table of its kernels, widest first and a portable one
// (kPortable) last; this process runs the first whose level it has. `kKernels` is a
// std::array<VectorKernel<Fn>, N>; the choice is made on first use and kept for the process. The
// library is called from one thread at a time, so the kept choice needs no guard (two threads
// that met here would both store the same kernel).
template <const auto& kKernels>
auto ChosenKernel() {
  static_assert(kKernels.back().level == VectorLevel::kPortable, "a portable kernel comes last");
  if constexpr (kKernels.size() == 1) {
    return kKernels.front().kernel;  // a build with no vector kernels for it
  } else {
    static decltype(kKernels.front().kernel) chosen = nullptr;
    if (chosen == nullptr) [[unlikely]] {
      const VectorLevel level = ProcessVectorLevel();
      chosen = kKernels.back().kernel;
      for (const auto& entry : kKernels) {
        if (entry.level <= level) {
          chosen = entry.kernel;
          break;
        }
      }
    }
    return chosen;
  }
}

}  // namespace tavikit
