// Zoomed and trapezoid copies through the exports.
#include "harness/fixture.h"

namespace tavitest {
namespace {

using ZoomTest = ExportTest;

TEST_F(ZoomTest, SameSizeCopiesOneToOneWithKeyAndClipping) {
  HostScreen src(32, 32), dst(24, 24);
  src.FillRandom(1);
  dst.Fill(0xEE);
  Select(src, dst, 5, 6, 12, 10);
  dst.SetCursor(16, -3);  // hangs off the right and the top
  lib().tavi_zoomcopy(12, 10, 0, src.at(7, 8));
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      const int i = x - 16, j = y + 3;
      uint8_t want = 0xEE;
      if (i >= 0 && i < 12 && j < 10 && src.at(5 + i, 6 + j) != src.at(7, 8)) {
        want = src.at(5 + i, 6 + j);
      }
      ASSERT_EQ(dst.at(x, y), want) << x << "," << y;
    }
  }
}

TEST_F(ZoomTest, DoubleWidthRepeatsColumnsAndHalfWidthTakesEverySecond) {
  HostScreen src(32, 8), dst(64, 8);
  src.FillRandom(2);
  Select(src, dst, 3, 1, 20, 4);
  dst.Fill(0);
  dst.SetCursor(0, 0);
  lib().tavi_zoomcopy(40, 4, -1, -1);
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 40; ++i)
      ASSERT_EQ(dst.at(i, j), src.at(3 + i / 2, 1 + j)) << i << "," << j;
  }
  dst.Fill(0);
  lib().tavi_zoomcopy(10, 4, -1, -1);
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 10; ++i)
      ASSERT_EQ(dst.at(i, j), src.at(3 + 2 * i, 1 + j)) << i << "," << j;
    ASSERT_EQ(dst.at(10, j), 0);
  }
}

TEST_F(ZoomTest, SamplesOffTheSourceTakeTheFillOrStayAsTheyWere) {
  HostScreen src(16, 16), dst(16, 16);
  src.FillRandom(4);
  Select(src, dst, -4, 10, 16, 12);  // hangs off the left and the bottom of the source
  dst.SetCursor(0, 0);
  for (const int fill : {-1, 0, 0x1FF}) {
    dst.Fill(0xEE);
    lib().tavi_zoomcopy(16, 12, fill, -1);
    for (int j = 0; j < 12; ++j) {
      for (int i = 0; i < 16; ++i) {
        const int sx = i - 4, sy = 10 + j;
        const bool on = sx >= 0 && sy < 16;
        const uint8_t want = on ? src.at(sx, sy) : fill < 0 ? 0xEE : static_cast<uint8_t>(fill);
        ASSERT_EQ(dst.at(i, j), want) << fill << ": " << i << "," << j;
      }
    }
  }
}

TEST_F(ZoomTest, AreaOffTheTargetSamplesAsIfItWereWhole) {
  HostScreen src(40, 40), big(80, 80), small(30, 30);
  src.FillRandom(5);
  big.Fill(0);
  small.Fill(0);
  Select(src, big, 3, 4, 29, 31);
  big.SetCursor(20, 20);
  lib().tavi_zoomcopy(37, 23, 7, -1);
  Select(src, small, 3, 4, 29, 31);
  small.SetCursor(-9, -6);
  lib().tavi_zoomcopy(37, 23, 7, -1);
  EXPECT_TRUE(SameWindow(small, big, 20 + 9, 20 + 6, 28, 17));
}

TEST_F(ZoomTest, PolycopyWithEqualWidthsIsAZoomWithoutKey) {
  HostScreen src(40, 40), poly(48, 48), zoom(48, 48);
  src.FillRandom(8);
  poly.Fill(0);
  zoom.Fill(0);
  poly.SetCursor(3, 4);
  zoom.SetCursor(3, 4);
  Select(src, poly, 30, 2, 20, 15);  // hangs off the source's right edge
  lib().tavi_polycopy(41, 37, 41, 6);
  Select(src, zoom, 30, 2, 20, 15);
  lib().tavi_zoomcopy(41, 37, 6, -1);
  EXPECT_EQ(poly.pixels(), zoom.pixels());
}

// W 100, T0 50, H 50: the rows widen by 128/256 of a pixel each, so the copy rectangle spans 50
// pixels in rows 0 and 1, 51 in rows 2 and 3, ... 74 in row 49, centred in the 100.
TEST_F(ZoomTest, PolycopyRowsWidenByHalfTheMarginOverTheRows) {
  HostScreen src(64, 50), dst(100, 50);
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 64; ++x)
      src.at(x, y) = static_cast<uint8_t>(1 + x + y);
  }
  dst.Fill(0xEE);
  dst.SetCursor(0, 0);
  Select(src, dst, 0, 0, 64, 50);  // the whole source: samples beside the span are off it
  lib().tavi_polycopy(100, 50, 50, 0);
  const auto rowWidth = [](int j) { return 50 + j / 2; };
  EXPECT_EQ(rowWidth(49), 74);
  for (int j = 0; j < 50; ++j) {
    const int rw = rowWidth(j), margin = (100 - rw) / 2, stepX = 64 * 256 / rw;
    for (int i = 0; i < margin; ++i)
      ASSERT_EQ(dst.at(i, j), 0) << i << "," << j;
    for (int k = 0; k < rw; ++k)
      ASSERT_EQ(dst.at(margin + k, j), src.at((k * stepX) >> 8, j)) << k << "," << j;
  }
}

}  // namespace
}  // namespace tavitest
