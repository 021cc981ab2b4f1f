// Which vector loops the processor runs, decided once per process. x86-64 always has SSE2 and
// takes AVX2 loops beside them when the processor has AVX2; 32-bit x86 builds assume no SSE2 and
// take SSE2 loops when the processor has it; other processors run the portable loops.
#pragma once

#include <cstdint>

namespace tavikit {

enum class VectorLevel : uint8_t { kPortable, kSse2, kAvx2 };

inline VectorLevel DetectVectorLevel() {
#if defined(__x86_64__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0 ? VectorLevel::kAvx2 : VectorLevel::kSse2;
#elif defined(__i386__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse2") != 0 ? VectorLevel::kSse2 : VectorLevel::kPortable;
#else
  return VectorLevel::kPortable;
#endif
}

// The level of this process, detected on first use.
inline VectorLevel ProcessVectorLevel() {
  static const VectorLevel level = DetectVectorLevel();
  return level;
}

}  // namespace tavikit
