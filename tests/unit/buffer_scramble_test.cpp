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

}  // namespace
}  // namespace tavikit
