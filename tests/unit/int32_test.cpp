// The 32-bit arithmetic helpers at the corners where plain C++ is undefined or traps.
#include "frame/int32.h"

#include <gtest/gtest.h>

#include <climits>

namespace tavikit {
namespace {

TEST(Int32, DivisionTruncatesTowardZeroAndMinOverMinusOneWraps) {
  EXPECT_EQ(TruncDiv(-7, 2), -3);
  EXPECT_EQ(TruncMod(-7, 2), -1);
  EXPECT_EQ(TruncDiv(7, -2), -3);
  EXPECT_EQ(TruncMod(7, -2), 1);
  EXPECT_EQ(TruncDiv(INT32_MIN, -1), INT32_MIN);
  EXPECT_EQ(TruncMod(INT32_MIN, -1), 0);
}

TEST(Int32, WrappingOperationsBehaveLikeThirtyTwoBitRegisters) {
  EXPECT_EQ(WrapAdd(INT32_MAX, 1), INT32_MIN);
  EXPECT_EQ(WrapSub(INT32_MIN, 1), INT32_MAX);
  EXPECT_EQ(WrapMul(65536, 65536), 0);
  EXPECT_EQ(WrapAbs(INT32_MIN), INT32_MIN);
  EXPECT_EQ(WrapAbs(-5), 5);
  EXPECT_EQ(Sar(-1, 8), -1);
  EXPECT_EQ(Sar(-257, 8), -2);
}

}  // namespace
}  // namespace tavikit
