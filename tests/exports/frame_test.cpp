// Version, selection and the plain copies, through the exports.
#include <cstring>
#include <random>
#include <vector>

#include "harness/fixture.h"
#include "host/host_screen.h"

namespace tavitest {
namespace {

// The plain model of a group copy: rows top to bottom, groups left to right, each group read
// whole before it is written.
void ModelCopyBlock(HostScreen& dst, const HostScreen& src, int dx, int dy, int sx, int sy, int w,
                    int h) {
  for (int r = 0; r < h; ++r) {
    for (int g = 0; g + 4 <= w; g += 4) {
      uint8_t group[4];
      for (int i = 0; i < 4; ++i)
        group[i] = src.at(sx + g + i, sy + r);
      for (int i = 0; i < 4; ++i)
        dst.at(dx + g + i, dy + r) = group[i];
    }
  }
}

// The plain model of the tiled fill, straight from its definition.
void ModelTile(HostScreen& dst, const HostScreen& src, int tx, int ty, int tw, int th, int w, int h,
               int ox, int oy) {
  ox = ox < 0 ? -ox : ox;
  oy = oy < 0 ? -oy : oy;
  for (int r = 0; r < h; ++r) {
    const int srow = ty + (oy + r) % th;
    for (int c = 0; c < w; c += 4) {
      const int scol = tx + (ox + c) % tw;
      uint8_t group[4];
      for (int i = 0; i < 4; ++i)
        group[i] = src.at(scol + i, srow);
      for (int i = 0; i < 4; ++i)
        dst.at(dst.word(TAVI_REC_CURSOR_X) + c + i, dst.word(TAVI_REC_CURSOR_Y) + r) = group[i];
    }
  }
}

class FrameTest : public ExportTest {
 protected:
  void Select(const HostScreen& source, const HostScreen& target) {
    lib().tavi_fset(source.record(), 0, 0, 0);
    lib().tavi_tset(target.record(), 0, 0, 0);
  }
};

TEST_F(FrameTest, VersionTextIsTwelveBytesAndTheRestIsUntouched) {
  uint8_t buffer[16];
  std::memset(buffer, 0xAA, sizeof buffer);
  EXPECT_EQ(lib().tavi_GetTaviVER(123, -1, 77, Word(buffer)), 0);
  EXPECT_EQ(std::memcmp(buffer, "[tavi 2.11]", 12), 0);
  EXPECT_EQ(buffer[11], 0);
  for (int i = 12; i < 16; ++i)
    EXPECT_EQ(buffer[i], 0xAA) << i;
}

TEST_F(FrameTest, PixelZeroZeroIsTheStartOfTheLastStoredRow) {
  HostScreen src(640, 480), dst(640, 480);
  src.Fill(0);
  src.pixels()[479 * 640] = 11;  // (0, 0)
  src.pixels()[0] = 22;          // (0, 479)
  dst.Fill(0);
  Select(src, dst);
  dst.SetCursor(0, 0);
  lib().tavi_gcopy(0, 0, 4, 1);
  EXPECT_EQ(dst.pixels()[479 * 640], 11);
  dst.SetCursor(4, 0);
  lib().tavi_gcopy(0, 479, 4, 1);
  EXPECT_EQ(dst.at(4, 0), 22);
}

TEST_F(FrameTest, GcopyCopiesWholeGroupsOnly) {
  HostScreen src(16, 8), dst(16, 8);
  src.FillRandom(1);
  dst.Fill(0xEE);
  Select(src, dst);
  dst.SetCursor(3, 2);
  EXPECT_EQ(lib().tavi_gcopy(0, 0, 7, 2), 0);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool copied = y >= 2 && y < 4 && x >= 3 && x < 7;
      EXPECT_EQ(dst.at(x, y), copied ? src.at(x - 3, y - 2) : 0xEE) << x << "," << y;
    }
  }
}

TEST_F(FrameTest, GcopyWithNothingToCopyChangesNothing) {
  HostScreen src(16, 8), dst(16, 8);
  src.FillRandom(2);
  dst.Fill(0xEE);
  Select(src, dst);
  dst.SetCursor(0, 0);
  for (const auto& [w, h] : {std::pair{8, 0}, {8, -3}, {0, 4}, {1, 4}, {3, 4}, {-4, 4}, {-9, 2}}) {
    EXPECT_EQ(lib().tavi_gcopy(0, 0, w, h), 0);
  }
  for (uint8_t p : dst.pixels())
    ASSERT_EQ(p, 0xEE);
}

TEST_F(FrameTest, SelectionSurvivesAndCopyRectangleStaysWhenScreensChange) {
  HostScreen a(64, 48), b(64, 48), dst(64, 48), expected(64, 48);
  a.FillRandom(3);
  b.FillRandom(4);
  dst.Fill(0);
  expected.Fill(0);
  lib().tavi_copyset(10, 20, 30, 40);
  Select(b, dst);
  lib().tavi_fset(a.record(), 0, 0, 0);  // reselect: the rectangle must stay (10, 20, 30, 40)
  dst.SetCursor(0, 0);
  expected.SetCursor(0, 0);
  lib().tavi_tilecopy(32, 8, 0, 0);
  ModelTile(expected, a, 10, 20, 30, 40, 32, 8, 0, 0);
  EXPECT_EQ(dst.pixels(), expected.pixels());
}

// Same record as source and target, overlapping areas in every direction: the result is what
// the group order gives, which is not what a memmove would give when the target lies ahead.
TEST_F(FrameTest, GcopyWithinOneScreenFollowsTheGroupOrder) {
  std::mt19937 rng(5);
  for (int trial = 0; trial < 300; ++trial) {
    HostScreen screen(40, 30), model(40, 30);
    screen.FillRandom(trial);
    model.pixels() = screen.pixels();
    Select(screen, screen);
    const int w = static_cast<int>(rng() % 24), h = static_cast<int>(rng() % 12);
    const int sx = static_cast<int>(rng() % 16), sy = static_cast<int>(rng() % 18);
    const int dx = static_cast<int>(rng() % 16), dy = static_cast<int>(rng() % 18);
    screen.SetCursor(dx, dy);
    lib().tavi_gcopy(sx, sy, w, h);
    ModelCopyBlock(model, model, dx, dy, sx, sy, w, h);
    ASSERT_EQ(screen.pixels(), model.pixels())
        << "src " << sx << "," << sy << " dst " << dx << "," << dy << " size " << w << "x" << h;
  }
}

TEST_F(FrameTest, FillcopyAtTheCursorIsOnePlainCopy) {
  HostScreen src(700, 500), dst(660, 490), model(660, 490);
  src.FillRandom(6);
  dst.FillRandom(7);
  model.pixels() = dst.pixels();
  Select(src, dst);
  dst.SetCursor(8, 5);
  lib().tavi_fillcopy(8, 5, 20, 10);
  ModelCopyBlock(model, src, 8, 5, 20, 10, 640, 480);
  EXPECT_EQ(dst.pixels(), model.pixels());
}

TEST_F(FrameTest, FillcopyRollsTheAreaAroundTheWindow) {
  struct Case {
    int ox, oy;
  };
  for (const Case c : {Case{100, 0}, Case{0, 37}, Case{100, 37}, Case{6, 3}, Case{639, 479}}) {
    HostScreen src(660, 500), dst(660, 490), model(660, 490);
    src.FillRandom(8);
    dst.FillRandom(9);
    model.pixels() = dst.pixels();
    Select(src, dst);
    const int cx = 4, cy = 2, sx = 12, sy = 7;
    dst.SetCursor(cx, cy);
    lib().tavi_fillcopy(cx + c.ox, cy + c.oy, sx, sy);
    // Piece by piece as the window is defined; each piece drops its width's last w mod 4 pixels.
    ModelCopyBlock(model, src, cx + c.ox, cy + c.oy, sx, sy, 640 - c.ox, 480 - c.oy);
    if (c.oy >= 1) ModelCopyBlock(model, src, cx + c.ox, cy, sx, sy + 480 - c.oy, 640 - c.ox, c.oy);
    if (c.ox >= 1) ModelCopyBlock(model, src, cx, cy + c.oy, sx + 640 - c.ox, sy, c.ox, 480 - c.oy);
    if (c.ox >= 1 && c.oy >= 1) {
      ModelCopyBlock(model, src, cx, cy, sx + 640 - c.ox, sy + 480 - c.oy, c.ox, c.oy);
    }
    ASSERT_EQ(dst.pixels(), model.pixels()) << c.ox << "," << c.oy;
  }
}

TEST_F(FrameTest, FillcopyWithOffsetMultipleOfFourShowsEveryPixelRolled) {
  HostScreen src(640, 480), dst(640, 480);
  src.FillRandom(10);
  dst.Fill(0);
  Select(src, dst);
  dst.SetCursor(0, 0);
  lib().tavi_fillcopy(100, 0, 0, 0);
  for (int y = 0; y < 480; y += 7) {
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(dst.at(x, y), src.at((x + 540) % 640, y)) << x << "," << y;
    }
  }
}

TEST_F(FrameTest, TilecopyRepeatsTheTileAcrossAndDown) {
  HostScreen src(32, 32), dst(48, 48);
  src.FillRandom(11);
  dst.Fill(0xEE);
  Select(src, dst);
  lib().tavi_copyset(8, 4, 16, 16);
  dst.SetCursor(0, 0);
  lib().tavi_tilecopy(40, 40, 0, 0);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      const uint8_t want = (x < 40 && y < 40) ? src.at(8 + x % 16, 4 + y % 16) : 0xEE;
      ASSERT_EQ(dst.at(x, y), want) << x << "," << y;
    }
  }
}

TEST_F(FrameTest, TilecopyIgnoresTheSignOfItsOffsets) {
  HostScreen src(32, 32), a(40, 40), b(40, 40);
  src.FillRandom(12);
  a.Fill(0);
  b.Fill(0);
  lib().tavi_copyset(4, 4, 16, 12);
  Select(src, a);
  a.SetCursor(0, 0);
  lib().tavi_tilecopy(36, 30, -8, -3);
  Select(src, b);
  b.SetCursor(0, 0);
  lib().tavi_tilecopy(36, 30, 8, 3);
  EXPECT_EQ(a.pixels(), b.pixels());
  EXPECT_EQ(a.at(0, 0), src.at(12, 7));
}

TEST_F(FrameTest, TilecopyWritesWholeGroupsAndReadsPastTheTileEdge) {
  HostScreen src(32, 8), dst(16, 4);
  src.FillRandom(13);
  dst.Fill(0xEE);
  Select(src, dst);
  lib().tavi_copyset(0, 0, 6, 2);
  dst.SetCursor(0, 0);
  lib().tavi_tilecopy(5, 1, 0, 0);  // width 5 writes two groups: tile columns 0..3 and 4..7
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(dst.at(x, 0), src.at(x, 0)) << x;
  for (int x = 8; x < 16; ++x)
    EXPECT_EQ(dst.at(x, 0), 0xEE) << x;
}

TEST_F(FrameTest, TilecopyWithAnEmptyTileDrawsNothing) {
  HostScreen src(16, 16), dst(16, 16);
  src.FillRandom(14);
  dst.Fill(0xEE);
  Select(src, dst);
  dst.SetCursor(0, 0);
  lib().tavi_copyset(0, 0, 0, 8);
  EXPECT_EQ(lib().tavi_tilecopy(8, 8, 0, 0), 0);
  lib().tavi_copyset(0, 0, 8, 0);
  EXPECT_EQ(lib().tavi_tilecopy(8, 8, 0, 0), 0);
  for (uint8_t p : dst.pixels())
    ASSERT_EQ(p, 0xEE);
}

TEST_F(FrameTest, TilecopyMatchesItsDefinitionForRandomTiles) {
  std::mt19937 rng(15);
  for (int trial = 0; trial < 200; ++trial) {
    HostScreen src(48, 40), dst(64, 40), model(64, 40);
    src.FillRandom(trial);
    dst.FillRandom(trial + 1000);
    model.pixels() = dst.pixels();
    const int tw = 1 + static_cast<int>(rng() % 20), th = 1 + static_cast<int>(rng() % 20);
    const int tx = static_cast<int>(rng() % 20), ty = static_cast<int>(rng() % 20);
    const int w = static_cast<int>(rng() % 56), h = static_cast<int>(rng() % 30);
    const int ox = static_cast<int>(rng() % 100) - 50, oy = static_cast<int>(rng() % 100) - 50;
    const int cx = static_cast<int>(rng() % 4), cy = static_cast<int>(rng() % 10);
    lib().tavi_copyset(tx, ty, tw, th);
    Select(src, dst);
    dst.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    lib().tavi_tilecopy(w, h, ox, oy);
    ModelTile(model, src, tx, ty, tw, th, w, h, ox, oy);
    ASSERT_EQ(dst.pixels(), model.pixels()) << "trial " << trial;
  }
}

TEST_F(FrameTest, TilecopyWithinOneScreenFollowsTheGroupOrder) {
  std::mt19937 rng(16);
  for (int trial = 0; trial < 200; ++trial) {
    HostScreen screen(64, 40), model(64, 40);
    screen.FillRandom(trial);
    model.pixels() = screen.pixels();
    const int tw = 1 + static_cast<int>(rng() % 12), th = 1 + static_cast<int>(rng() % 12);
    const int tx = static_cast<int>(rng() % 20), ty = static_cast<int>(rng() % 20);
    const int w = static_cast<int>(rng() % 28), h = static_cast<int>(rng() % 20);
    const int cx = static_cast<int>(rng() % 24), cy = static_cast<int>(rng() % 20);
    lib().tavi_copyset(tx, ty, tw, th);
    Select(screen, screen);
    screen.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    lib().tavi_tilecopy(w, h, 3, 1);
    ModelTile(model, model, tx, ty, tw, th, w, h, 3, 1);
    ASSERT_EQ(screen.pixels(), model.pixels()) << "trial " << trial;
  }
}

}  // namespace
}  // namespace tavitest
