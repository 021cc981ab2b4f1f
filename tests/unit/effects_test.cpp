// The rotation's angle tables, by their definition: 256 sin and -256 cos of i / 256 of a turn,
// truncated toward zero.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "effects/rotation.h"

namespace tavikit {
namespace {

TEST(RotationTables, AreTheTruncatedSineAndNegatedCosine) {
  for (int i = 0; i < 256; ++i) {
    const double angle = 2 * std::numbers::pi * i / 256;
    EXPECT_EQ(kRotationSine[i], static_cast<int32_t>(256 * std::sin(angle))) << i;
    EXPECT_EQ(kRotationNegCosine[i], static_cast<int32_t>(-256 * std::cos(angle))) << i;
  }
  EXPECT_EQ(kRotationSine[1], 6);
  EXPECT_EQ(kRotationSine[255], -6);
  EXPECT_EQ(kRotationNegCosine[200], -49);
}

}  // namespace
}  // namespace tavikit
