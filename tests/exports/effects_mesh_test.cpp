// Checkerboard copies and fills through the exports.
#include <random>

#include "harness/fixture.h"

namespace tavitest {
namespace {

using MeshTest = ExportTest;

// Which area pixels (i, j) the checkerboard copies write for a width W.
bool CopiedByMesh(int i, int j, int W) {
  return i >= (j & 1) && (i - (j & 1)) % 2 == 0 && i < (j & 1) + 2 * (W / 2);
}

TEST_F(MeshTest, MeshcpyStartsWithTheTopLeftPixelOfTheArea) {
  HostScreen src(16, 16), dst(16, 16);
  src.FillRandom(1);
  Select(src, dst);
  for (const int W : {4, 5}) {
    dst.Fill(0xEE);
    dst.SetCursor(3, 7);
    lib().tavi_meshcpy(6, 2, W, 2);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const int i = x - 3, j = y - 7;
        const bool copied = i >= 0 && j >= 0 && j < 2 && i < W && CopiedByMesh(i, j, W);
        ASSERT_EQ(dst.at(x, y), copied ? src.at(6 + i, 2 + j) : 0xEE) << W << ": " << x << "," << y;
      }
    }
  }
  // W 4, H 2 copies exactly (0,0), (2,0), (1,1), (3,1); W 5 adds nothing in row 0.
  EXPECT_TRUE(CopiedByMesh(2, 0, 4) && CopiedByMesh(3, 1, 4) && !CopiedByMesh(1, 0, 4));
  EXPECT_FALSE(CopiedByMesh(4, 0, 5));
}

TEST_F(MeshTest, MeshcopyReadsAtTheSourceCursorAndKeysOnTheLowByte) {
  HostScreen src(20, 20), dst(20, 20);
  src.FillRandom(2);
  for (int x = 0; x < 20; x += 3)
    src.at(x, 5) = 0xFF;
  src.SetCursor(2, 4);
  Select(src, dst);
  dst.Fill(0x11);
  dst.SetCursor(5, 1);
  lib().tavi_meshcopy(13, 6, 0x1FF, 0);  // the key is 255
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const int i = x - 5, j = y - 1;
      uint8_t want = 0x11;
      if (i >= 0 && j >= 0 && i < 13 && j < 6 && CopiedByMesh(i, j, 13) &&
          src.at(2 + i, 4 + j) != 0xFF) {
        want = src.at(2 + i, 4 + j);
      }
      ASSERT_EQ(dst.at(x, y), want) << x << "," << y;
    }
  }
}

TEST_F(MeshTest, MeshcopyWithKeyMinusOneLeavesOutIndex255) {
  HostScreen src(8, 8), dst(8, 8);
  src.Fill(0xFF);
  src.at(0, 0) = 3;
  src.SetCursor(0, 0);
  dst.Fill(0x40);
  dst.SetCursor(0, 0);
  Select(src, dst);
  lib().tavi_meshcopy(8, 8, -1, 0);
  EXPECT_EQ(dst.at(0, 0), 3);
  EXPECT_EQ(dst.at(2, 0), 0x40);
}

TEST_F(MeshTest, FillsFollowScreenParityWhateverTheCursor) {
  HostScreen src(8, 8), dst(8, 8);
  Select(src, dst);
  dst.Fill(0);
  dst.SetCursor(1, 0);
  lib().tavi_meshboxs(3, 2, 0x107, 0);  // low 8 bits: 7
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool set = (x == 2 && y == 0) || (x == 1 && y == 1) || (x == 3 && y == 1);
      ASSERT_EQ(dst.at(x, y), set ? 7 : 0) << x << "," << y;
    }
  }
}

TEST_F(MeshTest, MeshBOXClipsToItsScreenAndKeepsTheParity) {
  HostScreen screen(12, 10), other(4, 4);
  std::mt19937 rng(3);
  for (int trial = 0; trial < 100; ++trial) {
    // The target selection must play no part: it is another screen.
    Select(other, other);
    screen.Fill(0);
    const int cx = static_cast<int>(rng() % 30) - 15, cy = static_cast<int>(rng() % 30) - 15;
    const int W = static_cast<int>(rng() % 30) - 2, H = static_cast<int>(rng() % 30) - 2;
    screen.SetCursor(cx, cy);
    lib().tavi_MeshBOX(screen.record(), W, H, 0x55);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 12; ++x) {
        const bool inArea = x >= cx && x < cx + W && y >= cy && y < cy + H;
        const bool set = inArea && ((x + y) & 1) == 0;
        ASSERT_EQ(screen.at(x, y), set ? 0x55 : 0) << trial << ": " << x << "," << y;
      }
    }
  }
}

TEST_F(MeshTest, MeshcpyOnOneScreenReadsEachPixelBeforeLaterWrites) {
  HostScreen screen(24, 16), model(24, 16);
  std::mt19937 rng(4);
  for (int trial = 0; trial < 100; ++trial) {
    screen.FillRandom(trial);
    model.pixels() = screen.pixels();
    const int W = 1 + static_cast<int>(rng() % 10), H = 1 + static_cast<int>(rng() % 6);
    const int sx = static_cast<int>(rng() % 12), sy = static_cast<int>(rng() % 8);
    const int dx = static_cast<int>(rng() % 12), dy = static_cast<int>(rng() % 8);
    Select(screen, screen);
    screen.SetCursor(dx, dy);
    lib().tavi_meshcpy(sx, sy, W, H);
    for (int j = 0; j < H; ++j) {
      for (int i = j & 1, k = 0; k < W / 2; i += 2, ++k)
        model.at(dx + i, dy + j) = model.at(sx + i, sy + j);
    }
    ASSERT_EQ(screen.pixels(), model.pixels()) << trial;
  }
}

}  // namespace
}  // namespace tavitest
