// Sprite cells through the exports: the table, the run-length form's size, drawing, capture and
// clipping at the screen's edges.
#include <cstring>
#include <random>
#include <vector>

#include "harness/fixture.h"
#include "host/host_screen.h"

namespace tavitest {
namespace {

// A cell as the tests know it: pixels top-down, row by row.
struct Picture {
  int w = 0;
  int h = 0;
  std::vector<uint8_t> px;
  uint8_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

// The plain model of drawing: pixel (x, y) of the picture lands on (cx + x, cy + y) when it is
// inside the screen; columns at `cols` and beyond are not drawn; `key` (if 0..255) is left out.
void ModelDraw(HostScreen& screen, const Picture& p, int cx, int cy, int cols, int key = -1) {
  for (int y = 0; y < p.h; ++y) {
    for (int x = 0; x < cols && x < p.w; ++x) {
      const int sx = cx + x, sy = cy + y;
      if (sx < 0 || sy < 0 || sx >= screen.width() || sy >= screen.height()) continue;
      if (p.at(x, y) == key) continue;
      screen.at(sx, sy) = p.at(x, y);
    }
  }
}

// What a w x h capture at (cx, cy) holds: the screen's pixels, 0 outside the screen.
Picture ModelCapture(const HostScreen& screen, int cx, int cy, int w, int h) {
  Picture p{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h, 0)};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int sx = cx + x, sy = cy + y;
      if (sx >= 0 && sy >= 0 && sx < screen.width() && sy < screen.height()) {
        p.px[static_cast<size_t>(y) * w + x] = screen.at(sx, sy);
      }
    }
  }
  return p;
}

// Random pixels with runs in them (and index 0 in about 40% of places), as sprites have.
Picture RandomPicture(std::mt19937& rng, int w, int h) {
  Picture p{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h)};
  uint8_t v = 0;
  for (auto& px : p.px) {
    if (rng() % 8 == 0) v = rng() % 5 < 2 ? 0 : static_cast<uint8_t>(rng());
    px = v;
  }
  return p;
}

class CellTest : public ExportTest {
 protected:
  void TearDown() override { lib().chibi_AllFree(0, 0, 0, 0); }

  // Puts the picture into cell n by drawing it on a scratch screen and capturing it.
  void MakeCell(int n, const Picture& p) {
    HostScreen scratch(p.w + 8, p.h + 4);
    scratch.Fill(0xEE);
    ModelDraw(scratch, p, 4, 2, p.w);
    scratch.SetCursor(4, 2);
    lib().chibi_Get(scratch.record(), n, p.w, p.h);
  }

  int32_t Info(int n, int item) { return lib().chibi_GetInfo(n, item, 0, 0); }
  bool Holds(int n) { return Info(n, 1) != 0 || Info(n, 99) != 0; }
};

// Runs first: the clip rectangle is process-wide and only this file sets it.
TEST_F(CellTest, PutMBeforeAnyClipDrawsOnlyPixelZeroZero) {
  Picture p{8, 4, std::vector<uint8_t>(32, 9)};
  MakeCell(1, p);
  HostScreen screen(16, 8);
  screen.Fill(0xEE);
  screen.SetCursor(0, 0);
  EXPECT_EQ(lib().chibi_PutM(screen.record(), 1, -1, 0), 0);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(screen.at(x, y), x == 0 && y == 0 ? 9 : 0xEE) << x << "," << y;
  }
}

TEST_F(CellTest, CompressOfOneColourIsOneRecord) {
  Picture p{16, 4, std::vector<uint8_t>(64, 0x5A)};
  MakeCell(3, p);
  EXPECT_EQ(lib().chibi_Compress(3, 0, 0, 0), -(4 + 12));
  EXPECT_EQ(Info(3, 3), -1);
  EXPECT_EQ(Info(3, 1), -16);
  EXPECT_EQ(Info(3, 2), -4);
}

TEST_F(CellTest, CompressSizesFollowWordRuns) {
  struct Case {
    const char* what;
    Picture p;
    int32_t size;
  };
  Picture rows{4, 4, {}};  // four rows, four colours: four runs of one word
  for (uint8_t c : {1, 2, 3, 4})
    rows.px.insert(rows.px.end(), 4, c);
  Picture pattern{16, 2, {}};  // the pattern 1, 2, 3, 4 repeated: one run of equal words
  for (int i = 0; i < 8; ++i)
    pattern.px.insert(pattern.px.end(), {1, 2, 3, 4});
  Picture mixed{24, 1, {}};  // words a a a a b c: one run and two literals
  const uint8_t words[6] = {7, 7, 7, 7, 8, 9};
  for (uint8_t v : words)
    mixed.px.insert(mixed.px.end(), 4, v);
  const Case cases[] = {
      {"4x4 four colours", rows, 4 + 4 * 4},
      {"repeated pattern", pattern, 4 + 12},
      {"4x1", Picture{4, 1, {1, 2, 3, 4}}, 8},
      {"run then two literals", mixed, 4 + 12 + 2 * 4},
  };
  for (const Case& c : cases) {
    MakeCell(7, c.p);
    EXPECT_EQ(lib().chibi_Compress(7, 0, 0, 0), -c.size) << c.what;
  }
}

TEST_F(CellTest, CompressRefusesCompressedEmptyAndOutOfRangeCells) {
  MakeCell(4, Picture{8, 2, std::vector<uint8_t>(16, 3)});
  ASSERT_EQ(lib().chibi_Compress(4, 0, 0, 0), -16);
  EXPECT_EQ(lib().chibi_Compress(4, 0, 0, 0), 0);
  EXPECT_EQ(Info(4, 3), -1);
  EXPECT_EQ(lib().chibi_Compress(5, 0, 0, 0), 0);  // empty
  EXPECT_EQ(Info(5, 3), 0);
  EXPECT_EQ(lib().chibi_Compress(-1, 0, 0, 0), 0);
  EXPECT_EQ(lib().chibi_Compress(2048, 0, 0, 0), 0);
}

TEST_F(CellTest, FreeClampsItsRangeAndReleasesOnlyFirstWhenNotAscending) {
  const Picture p{4, 1, {1, 1, 1, 1}};
  for (int n : {2, 3, 4, 5, 0, 2047})
    MakeCell(n, p);
  lib().chibi_Free(5, 3, 0, 0);
  EXPECT_FALSE(Holds(5));
  EXPECT_TRUE(Holds(3) && Holds(4));
  lib().chibi_Free(2047, 0, 0, 0);
  EXPECT_FALSE(Holds(2047));
  EXPECT_TRUE(Holds(0));
  lib().chibi_Free(-10, 3000, 0, 0);
  for (int n : {0, 2, 3, 4})
    EXPECT_FALSE(Holds(n)) << n;
  MakeCell(9, p);
  lib().chibi_Free(3, 12, 0, 0);
  EXPECT_FALSE(Holds(9));
}

TEST_F(CellTest, InitEmptiesTheTableOnlyOnItsFirstCall) {
  lib().chibi_Init(0, 0, 0, 0);
  MakeCell(20, Picture{4, 1, {1, 2, 3, 4}});
  EXPECT_EQ(lib().chibi_Init(0, 0, 0, 0), 0);
  EXPECT_EQ(Info(20, 1), -4);
}

TEST_F(CellTest, GetRoundsTheWidthTowardZeroToFourPixelGroups) {
  HostScreen screen(32, 16);
  screen.FillRandom(1);
  screen.SetCursor(2, 3);
  lib().chibi_Get(screen.record(), 30, 10, 5);
  EXPECT_EQ(Info(30, 1), -8);
  lib().chibi_Get(screen.record(), 31, 3, 5);
  EXPECT_EQ(Info(31, 1), 0);  // holds a buffer, no pixels
  EXPECT_EQ(Info(31, 2), -5);
  const std::vector<uint8_t> before = screen.pixels();
  screen.SetCursor(0, 0);
  lib().chibi_Put(screen.record(), 31, 0, 0);
  lib().chibi_Put(screen.record(), 31, 1, 0);
  lib().chibi_PutM(screen.record(), 31, -1, 0);
  lib().chibi_Compress(31, 0, 0, 0);
  lib().chibi_Put(screen.record(), 31, 0, 0);
  EXPECT_EQ(screen.pixels(), before);
}

TEST_F(CellTest, CompressedCellsDrawExactlyWhatThePlainCellDrewOpaque) {
  std::mt19937 rng(5);
  for (int trial = 0; trial < 300; ++trial) {
    const int w = 4 * static_cast<int>(1 + rng() % 12), h = static_cast<int>(1 + rng() % 12);
    const Picture p = RandomPicture(rng, w, h);
    MakeCell(60, p);
    MakeCell(61, p);
    const int32_t size = lib().chibi_Compress(61, 0, 0, 0);
    ASSERT_LT(size, 0);
    ASSERT_GE(-size, 8);
    ASSERT_LE(-size, 4 + w * h);
    // Screens as wide as the cell (the sweep) and wider; cursors inside and reaching past edges.
    const int sw = rng() % 3 == 0 ? w : w + static_cast<int>(rng() % 20);
    HostScreen plain(sw, 24), packed(sw, 24);
    plain.FillRandom(trial);
    packed.pixels() = plain.pixels();
    const int cx = rng() % 3 == 0 ? 0 : static_cast<int>(rng() % (sw + 8)) - w / 2;
    const int cy = static_cast<int>(rng() % 30) - 6;
    plain.SetCursor(cx, cy);
    packed.SetCursor(cx, cy);
    lib().chibi_Put(plain.record(), 60, 0, 0);
    lib().chibi_Put(packed.record(), 61, 1, 0);
    ASSERT_EQ(plain.pixels(), packed.pixels()) << "trial " << trial;
  }
}

TEST_F(CellTest, CaptureAtOneCursorAndDrawAtAnotherReproducesTheRectangle) {
  std::mt19937 rng(6);
  for (int trial = 0; trial < 300; ++trial) {
    HostScreen source(56, 40), target(60, 44), model(60, 44);
    source.FillRandom(trial);
    target.FillRandom(trial + 1);
    model.pixels() = target.pixels();
    const int w = static_cast<int>(rng() % 40), h = static_cast<int>(rng() % 30);
    // Mostly inside; sometimes reaching past an edge on either side.
    const int sx = static_cast<int>(rng() % 64) - 8, sy = static_cast<int>(rng() % 48) - 8;
    const int tx = static_cast<int>(rng() % 64) - 4, ty = static_cast<int>(rng() % 48) - 4;
    source.SetCursor(sx, sy);
    lib().chibi_Get(source.record(), 70, w, h);
    target.SetCursor(tx, ty);
    lib().chibi_Put(target.record(), 70, 0, 0);
    const int cw = w - w % 4;
    ModelDraw(model, ModelCapture(source, sx, sy, cw, h), tx, ty, cw);
    ASSERT_EQ(target.pixels(), model.pixels())
        << "trial " << trial << ": " << w << "x" << h << " from " << sx << "," << sy << " to " << tx
        << "," << ty;
  }
}

TEST_F(CellTest, CellsPartlyOffTheScreenDrawTheirVisiblePartInEveryMode) {
  std::mt19937 rng(7);
  const Picture p = RandomPicture(rng, 20, 12);
  MakeCell(80, p);
  MakeCell(81, p);
  lib().chibi_Compress(81, 0, 0, 0);
  lib().chibi_SetCLIP(-100, -100, 1000, 1000);
  const int cursors[][2] = {{-7, 3}, {10, -5}, {14, 9}, {-19, -11}, {23, 15}, {-20, 0}, {0, 16}};
  for (const auto& c : cursors) {
    for (int mode = 0; mode < 4; ++mode) {
      HostScreen screen(24, 16), model(24, 16);
      screen.FillRandom(mode);
      model.pixels() = screen.pixels();
      screen.SetCursor(c[0], c[1]);
      if (mode == 0) lib().chibi_Put(screen.record(), 80, 0, 0);
      if (mode == 1) lib().chibi_Put(screen.record(), 80, 1, 0);
      if (mode == 2) lib().chibi_Put(screen.record(), 81, 1, 0);
      if (mode == 3) lib().chibi_PutM(screen.record(), 80, 0, 0);
      ModelDraw(model, p, c[0], c[1], 20, mode == 1 || mode == 3 ? 0 : -1);
      ASSERT_EQ(screen.pixels(), model.pixels()) << c[0] << "," << c[1] << " mode " << mode;
    }
  }
}

TEST_F(CellTest, ClipAdmitsItsInclusiveRectangleCutToTheScreen) {
  std::mt19937 rng(8);
  const Picture p = RandomPicture(rng, 32, 24);
  MakeCell(100, p);
  struct Clip {
    int x, y, w, h;
  };
  for (const Clip c : {Clip{0, 0, 640, 480}, Clip{3, 2, 10, 7}, Clip{-5, -5, 12, 9},
                       Clip{20, 10, 100, 100}, Clip{5, 5, 0, 10}, Clip{5, 5, 10, -1}}) {
    HostScreen screen(28, 20), model(28, 20);
    screen.FillRandom(9);
    model.pixels() = screen.pixels();
    lib().chibi_SetCLIP(c.x, c.y, c.w, c.h);
    screen.SetCursor(-2, -1);
    lib().chibi_PutM(screen.record(), 100, 256, 0);
    for (int y = 0; y < p.h; ++y) {
      for (int x = 0; x < p.w; ++x) {
        const int sx = x - 2, sy = y - 1;
        if (sx < c.x || sx > c.x + c.w - 1 || sy < c.y || sy > c.y + c.h - 1) continue;
        if (sx < 0 || sy < 0 || sx >= 28 || sy >= 20) continue;
        model.at(sx, sy) = p.at(x, y);
      }
    }
    ASSERT_EQ(screen.pixels(), model.pixels()) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
}

TEST_F(CellTest, PutMKeyOutsideTheByteRangeDrawsEveryPixel) {
  Picture p{8, 2, {0, 255, 0, 7, 255, 0, 1, 2, 3, 0, 0, 255, 9, 9, 0, 4}};
  MakeCell(110, p);
  lib().chibi_SetCLIP(0, 0, 640, 480);
  for (int key : {256, -1, 0, 255, 9, 0x100 + 9}) {
    HostScreen screen(12, 4), model(12, 4);
    screen.Fill(0xEE);
    model.Fill(0xEE);
    screen.SetCursor(2, 1);
    lib().chibi_PutM(screen.record(), 110, key, 0);
    ModelDraw(model, p, 2, 1, 8, key);
    EXPECT_EQ(screen.pixels(), model.pixels()) << key;
  }
  // Key 0 leaves out what transparency leaves out.
  HostScreen keyed(12, 4), transparent(12, 4);
  keyed.FillRandom(10);
  transparent.pixels() = keyed.pixels();
  keyed.SetCursor(3, 0);
  transparent.SetCursor(3, 0);
  lib().chibi_PutM(keyed.record(), 110, 0, 0);
  lib().chibi_Put(transparent.record(), 110, 1, 0);
  EXPECT_EQ(keyed.pixels(), transparent.pixels());
}

TEST_F(CellTest, PutMDeclinesCompressedCells) {
  MakeCell(111, Picture{8, 1, {1, 2, 3, 4, 5, 6, 7, 8}});
  lib().chibi_Compress(111, 0, 0, 0);
  lib().chibi_SetCLIP(0, 0, 640, 480);
  HostScreen screen(8, 1);
  screen.Fill(0xEE);
  screen.SetCursor(0, 0);
  lib().chibi_PutM(screen.record(), 111, -1, 0);
  for (uint8_t v : screen.pixels())
    EXPECT_EQ(v, 0xEE);
}

TEST_F(CellTest, OutOfRangeCellNumbersDoNothing) {
  HostScreen screen(16, 8);
  screen.FillRandom(11);
  const std::vector<uint8_t> before = screen.pixels();
  screen.SetCursor(0, 0);
  for (int n : {-1, 2048, 1 << 20}) {
    EXPECT_EQ(lib().chibi_Get(screen.record(), n, 8, 4), 0);
    EXPECT_EQ(lib().chibi_Put(screen.record(), n, 0, 0), 0);
    EXPECT_EQ(lib().chibi_PutM(screen.record(), n, -1, 0), 0);
    EXPECT_EQ(lib().chibi_GetF(screen.record(), n, 4, 2), 0);
  }
  EXPECT_EQ(screen.pixels(), before);
}

// Full colour ------------------------------------------------------------------------------------

TEST_F(CellTest, GetFCutsTheWidthToWholeWordsOfColour) {
  HostScreen screen(16, 4, 3);
  screen.FillRandom(12);
  screen.SetCursor(0, 0);
  const int widths[] = {0, 1, 2, 4, 4, 5, 6, 8};
  for (int w = 1; w <= 8; ++w) {
    lib().chibi_GetF(screen.record(), 120, w, 2);
    EXPECT_EQ(Info(120, 1), -widths[w - 1]) << w;
  }
  EXPECT_EQ(Info(120, 4), -1);
  EXPECT_EQ(lib().chibi_Compress(120, 0, 0, 0), 0);
}

TEST_F(CellTest, FullColourCaptureDrawnBackReproducesTheWordsOfEachRow) {
  std::mt19937 rng(13);
  for (int trial = 0; trial < 200; ++trial) {
    HostScreen source(20, 12, 3), target(24, 14, 3), model(24, 14, 3);
    source.FillRandom(trial);
    target.FillRandom(trial + 7);
    model.pixels() = target.pixels();
    const int w = static_cast<int>(rng() % 16), h = static_cast<int>(rng() % 10);
    const int sx = static_cast<int>(rng() % 22) - 2, sy = static_cast<int>(rng() % 14) - 2;
    const int tx = static_cast<int>(rng() % 26) - 2, ty = static_cast<int>(rng() % 16) - 2;
    source.SetCursor(sx, sy);
    lib().chibi_GetF(source.record(), 121, w, h);
    target.SetCursor(tx, ty);
    lib().chibi_Put(target.record(), 121, 0, 0);
    const int width = (3 * w / 4 * 4) / 3;
    const int rowBytes = 3 * width / 4 * 4;  // bytes of each row that a draw writes
    for (int y = 0; y < h; ++y) {
      for (int b = 0; b < rowBytes; ++b) {
        const int srcX = sx * 3 + b, dstX = tx * 3 + b;  // byte columns
        if (dstX < 0 || dstX >= 24 * 3 || ty + y < 0 || ty + y >= 14) continue;
        const bool inSource = srcX >= 0 && srcX < 20 * 3 && sy + y >= 0 && sy + y < 12;
        (&model.at(0, ty + y))[dstX] = inSource ? (&source.at(0, sy + y))[srcX] : 0;
      }
    }
    ASSERT_EQ(target.pixels(), model.pixels())
        << "trial " << trial << ": " << w << "x" << h << " from " << sx << "," << sy << " to " << tx
        << "," << ty;
  }
}

TEST_F(CellTest, FullColourCellOfTheScreensSizeCoversItWhateverTheCursor) {
  HostScreen source(8, 6, 3), target(8, 6, 3);
  source.FillRandom(14);
  source.SetCursor(0, 0);
  lib().chibi_GetF(source.record(), 122, 8, 6);
  target.Fill(0);
  target.SetCursor(3, 2);
  lib().chibi_Put(target.record(), 122, 1, 0);
  EXPECT_EQ(target.pixels(), source.pixels());
}

TEST_F(CellTest, FullColourOfTheScreensSizeSweepsWholeWordsOfTheBuffer) {
  // Width 5: rows of 15 bytes; the sweep moves 4 x floor(15 * 3 / 4) = 44 of the 45 bytes.
  HostScreen source(5, 3, 3), target(5, 3, 3);
  source.FillRandom(15);
  source.SetCursor(0, 0);
  lib().chibi_GetF(source.record(), 123, 6, 3);
  ASSERT_EQ(Info(123, 1), -5);
  target.Fill(0xEE);
  target.SetCursor(4, 4);
  lib().chibi_Put(target.record(), 123, 0, 0);
  for (size_t i = 0; i < 45; ++i)
    EXPECT_EQ(target.pixels()[i], i < 44 ? source.pixels()[i] : 0xEE) << i;
}

}  // namespace
}  // namespace tavitest
