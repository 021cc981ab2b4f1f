// The buffer scramble before any target is set, which the process-wide state behind the exports
// can no longer show once a test has set one.
#include "pack/buffer_scramble.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavikit {
namespace {

TEST(BufferScramble, WithoutATargetNothingIsReadOrChangedAndTheResultIsZero) {
  const ScrambleState fresh;
  const std::vector<uint8_t> source = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(XorIntoTarget(fresh, source.data(), 9), 0);
  EXPECT_EQ(XorIntoTarget(fresh, nullptr, 1000), 0);
}

TEST(BufferScramble, TailOnlyLengthsSumEveryByte) {
  std::vector<uint8_t> target = {200, 100, 50};
  const std::vector<uint8_t> source = {0xFF, 0x0F, 0x00};
  ScrambleState state;
  state.target = target.data();
  // Three bytes make no whole group: each result byte is summed.
  const int32_t want = (200 ^ 0xFF) + (100 ^ 0x0F) + 50;
  EXPECT_EQ(XorIntoTarget(state, source.data(), 3), want);
  EXPECT_EQ(target, (std::vector<uint8_t>{200 ^ 0xFF, 100 ^ 0x0F, 50}));
}

}  // namespace
}  // namespace tavikit
