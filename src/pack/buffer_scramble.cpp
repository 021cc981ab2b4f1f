#include "pack/buffer_scramble.h"

#include <cstring>

namespace tavikit {

int32_t XorIntoTarget(const ScrambleState& state, const uint8_t* source, int32_t length) {
  if (state.target == nullptr || length <= 0) return 0;
  constexpr uint32_t kSumMask = 0x0FFFFFFF;
  uint8_t* target = state.target;
  const auto groups = static_cast<size_t>(length / 4);
  uint32_t sum = 0;
  for (size_t j = 0; j < groups; ++j) {
    uint32_t a = 0;
    uint32_t b = 0;
    std::memcpy(&a, target + 4 * j, 4);
    std::memcpy(&b, source + 4 * j, 4);
    a ^= b;
    std::memcpy(target + 4 * j, &a, 4);
    sum = (sum + target[4 * j]) & kSumMask;
  }
  for (size_t k = groups * 4; k < static_cast<size_t>(length); ++k) {
    target[k] ^= source[k];
    sum = (sum + target[k]) & kSumMask;
  }
  return static_cast<int32_t>(sum);
}

}  // namespace tavikit
