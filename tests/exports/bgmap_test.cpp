// The background map through the exports, on a 20 x 15 map of the test's own bytes.
#include <algorithm>
#include <vector>

#include "harness/fixture.h"

namespace tavitest {
namespace {

using BgMapTest = ExportTest;

TEST_F(BgMapTest, CellsAndPointTests) {
  const struct {
    const char* name;
    int32_t setX, setY, setValue;  // one tavi_SetBGMAP before the query
    bool check;                    // tavi_ChkBGMAP of `args` as points, else tavi_GetBGMAP(args)
    std::vector<int32_t> args;
    int32_t count, threshold, want, cellsSet;
  } cases[] = {
      {"last cell", 19, 14, 7, false, {19, 14}, 0, 0, -7, 1},
      {"column past the right edge", 20, 0, 7, false, {0, 1}, 0, 0, 0, 0},
      {"row past the bottom", 0, 15, 7, false, {0, 15}, 0, 0, 0, 0},
      {"negative column", -1, 1, 7, false, {-1, 1}, 0, 0, 0, 0},
      {"low 8 bits stored", 0, 0, 0x1234, false, {0, 0}, 0, 0, -52, 1},
      {"200 reaches 100", 2, 3, 200, true, {37, 48}, 1, 100, -1, 1},
      {"threshold 356 is 100", 2, 3, 200, true, {37, 48}, 1, 356, -1, 1},
      {"200 does not reach 201", 2, 3, 200, true, {37, 48}, 1, 201, 0, 1},
      {"threshold 0 hits any cell inside", 0, 0, 0, true, {100, 100}, 1, 0, -1, 0},
      {"threshold 0 skips points outside", 0, 0, 0, true, {320, 0, 0, 240}, 2, 0, 0, 0},
      {"-5 truncates into column 0", 0, 0, 9, true, {-5, 3}, 1, 9, -1, 1},
      {"-16 is column -1", 0, 0, 9, true, {-16, 3}, 1, 9, 0, 1},
      {"319, 239 is the last cell", 19, 14, 9, true, {319, 239}, 1, 9, -1, 1},
      {"320 is past the last column", 0, 1, 9, true, {320, 0}, 1, 9, 0, 1},
      {"later points are tested", 5, 5, 9, true, {0, 0, 80, 80}, 2, 9, -1, 1},
      {"a hit ends the list: 3 points, 1 readable", 1, 1, 9, true, {16, 16}, 3, 9, -1, 1},
      {"count 0 tests nothing", 0, 0, 9, true, {0, 0}, 0, 1, 0, 1},
      {"negative count tests nothing", 0, 0, 9, true, {0, 0}, -1, 1, 0, 1},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> cells(20 * 15 + 40, 0);  // the map and bytes after it
    ASSERT_EQ(lib().tavi_InitBGMAP(Word(cells.data()), 20, 15, 0), 0);
    EXPECT_EQ(lib().tavi_SetBGMAP(c.setX, c.setY, c.setValue, 0), 0) << c.name;
    const std::vector<int32_t> args = c.args;  // exactly as long as the case gives
    const int32_t got = c.check ? lib().tavi_ChkBGMAP(Word(args.data()), c.count, c.threshold, 0)
                                : lib().tavi_GetBGMAP(args[0], args[1], 0, 0);
    EXPECT_EQ(got, c.want) << c.name;
    EXPECT_EQ(std::count_if(cells.begin(), cells.end(), [](uint8_t b) { return b != 0; }),
              c.cellsSet)
        << c.name;
    if (c.cellsSet == 1) {
      EXPECT_EQ(cells[c.setY * 20 + c.setX], uint8_t(c.setValue)) << c.name;  // its own byte
    }
  }
  ASSERT_EQ(lib().tavi_InitBGMAP(0, 0, 0, 0), 0);  // as at load: no cell is inside
  const int32_t origin[2] = {0, 0};
  EXPECT_EQ(lib().tavi_SetBGMAP(0, 0, 7, 0) + lib().tavi_GetBGMAP(0, 0, 0, 0), 0);
  EXPECT_EQ(lib().tavi_ChkBGMAP(Word(origin), 1, 0, 0), 0);
}

}  // namespace
}  // namespace tavitest
