// The colour cube through tavi_AlphaInit.
#include <vector>

#include "harness/fixture.h"
#include "host/host_screen.h"
#include "models/blend_model.h"

namespace tavitest {
namespace {

class BlendCubeTest : public ExportTest {};

TEST_F(BlendCubeTest, OneCandidateUsesOneIndex) {
  HostScreen screen(4, 4);
  screen.RandomPalette(1);
  EXPECT_EQ(lib().tavi_AlphaInit(screen.record(), 1, 0, 1), -1);
  EXPECT_EQ(lib().tavi_AlphaInit(screen.record(), 257, 0, 1), -1);
}

TEST_F(BlendCubeTest, CountRequestOfZeroOrLessReturnsZero) {
  HostScreen screen(4, 4);
  screen.RandomPalette(2);
  for (const tavi_word request : {0, -1, -100000})
    EXPECT_EQ(lib().tavi_AlphaInit(screen.record(), 256, 12345, request), 0);
}

TEST_F(BlendCubeTest, CountReportsTheDistinctIndicesOfTheCube) {
  HostScreen screen(4, 4);
  for (const int count : {2, 16, 44, 256, 0, 300}) {
    screen.RandomPalette(static_cast<uint32_t>(count) + 3);
    const auto cube = tavimodel::StraightCube(screen.palette(), count);
    std::vector<bool> seen(256);
    int distinct = 0;
    for (const uint8_t index : cube) {
      distinct += seen[index] ? 0 : 1;
      seen[index] = true;
    }
    EXPECT_EQ(lib().tavi_AlphaInit(screen.record(), count, 0, 7), -distinct) << count;
  }
}

}  // namespace
}  // namespace tavitest
