// Rotated copies through the exports: the stored parameters, the stepping of the inverse
// mapping, key, fill and target clipping.
#include "harness/fixture.h"

namespace tavitest {
namespace {

struct Rect {
  int x, y, w, h;
};
struct RotParams {
  int centreX = 0, centreY = 0, angle = 0;
  Rect frame{0, 0, 0, 0};
  Rect clip{0, 0, 0, 0};
};

class RotationTest : public ExportTest {
 protected:
  // Selects the screens and stores every rotation parameter.
  void Setup(const HostScreen& src, const HostScreen& dst, const RotParams& p) {
    Select(src, dst);
    lib().tavi_rotset(p.centreX, p.centreY, p.angle, 0);
    lib().tavi_rotpos(p.frame.x, p.frame.y, p.frame.w, p.frame.h);
    lib().tavi_rotclip(p.clip.x, p.clip.y, p.clip.w, p.clip.h);
  }
};

// The 8 x 8 picture with its middle as the centre and the whole screen as the clip.
RotParams Upright8x8(int angle) {
  RotParams p;
  p.centreX = -1;
  p.centreY = -1;
  p.angle = angle;
  p.frame = {0, 0, 8, 8};
  p.clip = {-1, 0, 0, 0};
  return p;
}

// Source pixel (x, y) of the 8 x 8 test picture: never 99, never 0.
uint8_t Pixel8x8(int x, int y) { return static_cast<uint8_t>(1 + x + 8 * y); }

void Paint8x8(HostScreen& src) {
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x)
      src.at(x, y) = Pixel8x8(x, y);
  }
}

TEST_F(RotationTest, UprightAngleStepsOneInAndDriftsByTheAddedPixel) {
  HostScreen src(8, 8), dst(8, 8);
  Paint8x8(src);
  dst.Fill(0);
  dst.SetCursor(0, 0);
  Setup(src, dst, Upright8x8(128));
  EXPECT_EQ(lib().tavi_rotcopy(8, 8, 99, -1), 0);
  // Row 0 samples (1, 0) .. (7, 0), then falls off the right edge.
  for (int x = 0; x < 7; ++x)
    EXPECT_EQ(dst.at(x, 0), Pixel8x8(x + 1, 0)) << x;
  EXPECT_EQ(dst.at(7, 0), 99);
  // Row 2 samples (1, 2) .. (5, 2), then (7, 3), then the fill twice.
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(dst.at(x, 2), Pixel8x8(x + 1, 2)) << x;
  EXPECT_EQ(dst.at(5, 2), Pixel8x8(7, 3));
  EXPECT_EQ(dst.at(6, 2), 99);
  EXPECT_EQ(dst.at(7, 2), 99);
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(dst.at(x, 7), 99) << x;
}

TEST_F(RotationTest, QuarterAndHalfTurnsPutTheRightEdgesOnTop) {
  HostScreen src(8, 8), dst(8, 8);
  Paint8x8(src);
  dst.SetCursor(0, 0);

  dst.Fill(0);
  Setup(src, dst, Upright8x8(64));  // quarter turn anticlockwise: right column on top
  lib().tavi_rotcopy(8, 8, 99, -1);
  for (int x = 0; x < 6; ++x)
    EXPECT_EQ(dst.at(x, 1), Pixel8x8(7, 1 + x)) << x;

  dst.Fill(0);
  Setup(src, dst, Upright8x8(192));  // quarter turn clockwise: left column, bottom to top
  lib().tavi_rotcopy(8, 8, 99, -1);
  for (int x = 0; x < 7; ++x)
    EXPECT_EQ(dst.at(x, 0), Pixel8x8(0, 7 - x)) << x;

  dst.Fill(0);
  Setup(src, dst, Upright8x8(0));  // half turn: bottom row reversed near the top
  lib().tavi_rotcopy(8, 8, 99, -1);
  for (int x = 0; x < 6; ++x)
    EXPECT_EQ(dst.at(x, 1), Pixel8x8(7 - x, 7)) << x;
}

TEST_F(RotationTest, AnEmptyClipLeavesOnlyTheFill) {
  HostScreen src(16, 16), dst(20, 20);
  src.FillRandom(3);
  RotParams p = Upright8x8(17);
  p.clip = {0, 0, 0, 0};  // the parameters as they are at load
  dst.Fill(5);
  dst.SetCursor(-2, 3);
  Setup(src, dst, p);
  lib().tavi_rotcopy(10, 30, 77, -1);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(dst.at(x, y), (x < 8 && y >= 3) ? 77 : 5) << x << "," << y;
  }
  dst.Fill(5);
  lib().tavi_rotcopy(10, 30, -1, -1);
  for (uint8_t v : dst.pixels())
    ASSERT_EQ(v, 5);
}

TEST_F(RotationTest, AreaOffTheTopLeftSamplesAsIfItWereWhole) {
  HostScreen src(32, 32), big(64, 64), small(40, 40);
  src.FillRandom(4);
  big.Fill(0);
  small.Fill(0);
  RotParams p;
  p.centreX = 12;
  p.centreY = 14;
  p.angle = 100;
  p.frame = {4, 6, 20, 18};
  p.clip = {2, 2, 28, 26};
  big.SetCursor(10, 10);
  Setup(src, big, p);
  lib().tavi_rotcopy(30, 25, 9, -1);
  small.SetCursor(-7, -5);
  Setup(src, small, p);
  lib().tavi_rotcopy(30, 25, 9, -1);
  EXPECT_TRUE(SameWindow(small, big, 10 + 7, 10 + 5, 23, 20));
}

}  // namespace
}  // namespace tavitest
