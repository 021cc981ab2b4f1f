// Sprite cells through the exports: the table's bookkeeping, the run-length form's size, drawing,
// capture, clipping, and loading pictures over a background cell (files written with the library's
// own writers into a scratch directory).
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "harness/fixture.h"
#include "harness/pictures.h"
#include "harness/temp_dir.h"
#include "tools/writer/formats.h"

namespace tavitest {
namespace {

// A cell as the tests know it: pixels top-down, row by row.
struct Picture {
  int w = 0;
  int h = 0;
  std::vector<uint8_t> px;
  uint8_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

// Drawing by its definition: picture pixel (x, y) lands on (cx + x, cy + y) when that is on the
// screen; columns from `cols` on are not drawn; pixels equal to `key` are left out.
void ModelDraw(HostScreen& screen, const Picture& p, int cx, int cy, int cols, int key = -1) {
  for (int y = 0; y < p.h; ++y) {
    for (int x = 0; x < cols && x < p.w; ++x) {
      const int sx = cx + x, sy = cy + y;
      if (sx < 0 || sy < 0 || sx >= screen.width() || sy >= screen.height()) continue;
      if (p.at(x, y) != key) screen.at(sx, sy) = p.at(x, y);
    }
  }
}

// Random pixels in runs, index 0 in about 40% of places, as sprites have.
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

  // Puts the picture into cell n by placing it on a scratch screen and capturing it.
  void MakeCell(int n, const Picture& p) {
    HostScreen scratch(p.w + 8, p.h + 4);
    scratch.Fill(0xEE);
    ModelDraw(scratch, p, 4, 2, p.w);
    scratch.SetCursor(4, 2);
    lib().chibi_Get(scratch.record(), n, p.w, p.h);
  }
  int32_t Info(int n, int item) { return lib().chibi_GetInfo(n, item, 0, 0); }
};

// Runs first: the clip rectangle is process-wide and only this file sets it.
TEST_F(CellTest, PutMBeforeAnyClipDrawsOnlyPixelZeroZero) {
  MakeCell(1, Picture{8, 4, std::vector<uint8_t>(32, 9)});
  HostScreen screen(16, 8), model(16, 8);
  screen.Fill(0xEE);
  model.Fill(0xEE);
  model.at(0, 0) = 9;
  screen.SetCursor(0, 0);
  EXPECT_EQ(lib().chibi_PutM(screen.record(), 1, -1, 0), 0);
  EXPECT_TRUE(SamePixels(screen, model));
}

// The table's bookkeeping as a script of calls and what each returns.
TEST_F(CellTest, Bookkeeping) {
  lib().chibi_Init(0, 0, 0, 0);  // only the first call in a process empties the table
  for (int n : {0, 2, 3, 4, 5, 9, 12, 20, 2047})
    MakeCell(n, Picture{8, 3, std::vector<uint8_t>(24, 1)});
  const Library& l = lib();
  const auto info = [&l](int n, int item) {
    return [&l, n, item] { return l.chibi_GetInfo(n, item, 0, 0); };
  };
  const auto compress = [&l](int n) { return [&l, n] { return l.chibi_Compress(n, 0, 0, 0); }; };
  const auto free = [&l](int a, int b) { return [&l, a, b] { return l.chibi_Free(a, b, 0, 0); }; };
  HostScreen screen(16, 8);
  const auto get = [&l, &screen](int n, int w) {
    return [&l, &screen, n, w] { return l.chibi_Get(screen.record(), n, w, 3); };
  };
  const struct {
    const char* what;
    std::function<int32_t()> call;
    int32_t result;
  } steps[] = {
      {"width", info(12, 1), -8},
      {"height", info(12, 2), -3},
      {"plain", info(12, 3), 0},
      {"8-bit", info(12, 4), 0},
      {"item 0", info(12, 0), -1},
      {"item 5", info(12, 5), -1},
      {"cell -1", info(-1, 1), 0},
      {"cell 2048", info(2048, 1), 0},
      {"empty cell", info(13, 99), 0},
      {"empty cell width", info(13, 1), 0},
      {"compress 6 equal words", compress(12), -(4 + 12)},
      {"compressed", info(12, 3), -1},
      {"compress again", compress(12), 0},
      {"compress empty", compress(13), 0},
      {"compress -1", compress(-1), 0},
      {"compress 2048", compress(2048), 0},
      {"init after use", [&l] { return l.chibi_Init(0, 0, 0, 0); }, 0},
      {"init keeps cells", info(20, 1), -8},
      {"free 5..3 frees 5", free(5, 3), 0},
      {"5 gone", info(5, 1), 0},
      {"3 kept", info(3, 1), -8},
      {"4 kept", info(4, 1), -8},
      {"free 2047..0 frees 2047", free(2047, 0), 0},
      {"2047 gone", info(2047, 1), 0},
      {"0 kept", info(0, 1), -8},
      {"free 3..12", free(3, 12), 0},
      {"3 gone", info(3, 1), 0},
      {"12 gone", info(12, 99), 0},
      {"2 kept", info(2, 1), -8},
      {"free clamped", free(-10, 3000), 0},
      {"0 gone", info(0, 1), 0},
      {"20 gone", info(20, 1), 0},
      {"capture -5 wide", get(30, -5), 0},  // rounded toward zero: -4, an empty rectangle
      {"-5 reads back as -4", info(30, 1), 4},
      {"capture -8 wide", get(30, -8), 0},
      {"-8 reads back as -8", info(30, 1), 8},
      {"and its height", info(30, 2), -3},
  };
  for (const auto& step : steps)
    EXPECT_EQ(step.call(), step.result) << step.what;
}

TEST_F(CellTest, CompressSizesFollowWordRuns) {
  const auto words = [](const std::vector<uint8_t>& values) {
    Picture p{static_cast<int>(4 * values.size()), 1, {}};
    for (uint8_t v : values)
      p.px.insert(p.px.end(), 4, v);
    return p;
  };
  const struct {
    const char* what;
    Picture p;
    int32_t size;
  } cases[] = {
      {"four runs of one word", words({1, 2, 3, 4}), 4 + 4 * 4},
      {"a run of three words", words({5, 5, 5, 6}), 4 + 4 * 4},
      {"a run of four words, two literals", words({7, 7, 7, 7, 8, 9}), 4 + 12 + 2 * 4},
      {"a literal, then five words", words({1, 7, 7, 7, 7, 7}), 4 + 4 + 12},
      {"alternating words", words({1, 2, 1, 2, 1, 2, 1, 2}), 4 + 4 * 8},
  };
  for (const auto& c : cases) {
    MakeCell(7, c.p);
    EXPECT_EQ(lib().chibi_Compress(7, 0, 0, 0), -c.size) << c.what;
  }
}

// Capture at one cursor, draw at another: the rectangle's pixels come back where both lie on
// their screens (zero where the capture was off its screen), widths cut to whole groups.
TEST_F(CellTest, CaptureAtOneCursorAndDrawAtAnotherReproducesTheRectangle) {
  Picker pick(6);
  for (int trial = 0; trial < 300; ++trial) {
    HostScreen source(56, 40), target(60, 44), model(60, 44);
    source.FillRandom(trial);
    target.FillRandom(trial + 1);
    Twin(model, target);
    const int w = pick(0, 40), h = pick(0, 30), sx = pick(-8, 56), sy = pick(-8, 40);
    const int tx = pick(-4, 60), ty = pick(-4, 44);
    source.SetCursor(sx, sy);
    lib().chibi_Get(source.record(), 70, w, h);
    target.SetCursor(tx, ty);
    lib().chibi_Put(target.record(), 70, 0, 0);
    Picture captured{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h, 0)};
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (sx + x >= 0 && sy + y >= 0 && sx + x < 56 && sy + y < 40)
          captured.px[static_cast<size_t>(y) * w + x] = source.at(sx + x, sy + y);
      }
    }
    ModelDraw(model, captured, tx, ty, w - w % 4);
    ASSERT_TRUE(SamePixels(target, model)) << "trial " << trial;
  }
}

// Compressed and plain cells draw the same, on screens as wide as the cell (the sweep) and
// wider, at cursors inside and reaching past every edge.
TEST_F(CellTest, CompressedAndPlainCellsDrawTheSame) {
  std::mt19937 rng(5);
  Picker pick(5);
  for (int trial = 0; trial < 300; ++trial) {
    const int w = 4 * pick(1, 12), h = pick(1, 12);
    const Picture p = RandomPicture(rng, w, h);
    MakeCell(60, p);
    MakeCell(61, p);
    const int32_t size = lib().chibi_Compress(61, 0, 0, 0);
    ASSERT_TRUE(size <= -8 && size >= -(4 + w * h)) << size;
    const int sw = trial % 3 == 0 ? w : w + pick(0, 19);
    HostScreen plain(sw, 24), packed(sw, 24);
    plain.FillRandom(trial);
    Twin(packed, plain);
    const int cx = trial % 3 == 1 ? 0 : pick(-w / 2, sw + 8 - w / 2), cy = pick(-6, 23);
    plain.SetCursor(cx, cy);
    packed.SetCursor(cx, cy);
    lib().chibi_Put(plain.record(), 60, 0, 0);
    lib().chibi_Put(packed.record(), 61, 1, 0);
    ASSERT_TRUE(SamePixels(packed, plain)) << "trial " << trial;
  }
}

TEST_F(CellTest, CellsPartlyOffTheScreenDrawTheirVisiblePartInEveryMode) {
  std::mt19937 rng(7);
  const Picture p = RandomPicture(rng, 20, 12);
  MakeCell(80, p);
  MakeCell(81, p);
  lib().chibi_Compress(81, 0, 0, 0);
  lib().chibi_SetCLIP(-100, -100, 1000, 1000);
  for (const auto& [cx, cy] :
       {std::pair{-7, 3}, {10, -5}, {14, 9}, {-19, -11}, {23, 15}, {0, 16}}) {
    for (int mode = 0; mode < 4; ++mode) {
      HostScreen screen(24, 16), model(24, 16);
      screen.FillRandom(mode);
      Twin(model, screen);
      screen.SetCursor(cx, cy);
      if (mode < 3) lib().chibi_Put(screen.record(), mode == 2 ? 81 : 80, mode == 0 ? 0 : 1, 0);
      if (mode == 3) lib().chibi_PutM(screen.record(), 80, 0, 0);
      ModelDraw(model, p, cx, cy, 20, mode == 1 || mode == 3 ? 0 : -1);
      ASSERT_TRUE(SamePixels(screen, model)) << cx << "," << cy << " mode " << mode;
    }
  }
}

// The clip rectangle includes its last row and column; PutM compares the whole key argument and
// draws nothing of compressed cells or of cells outside the table.
TEST_F(CellTest, PutMKeepsToItsClipAndKey) {
  std::mt19937 rng(8);
  const Picture p = RandomPicture(rng, 32, 24);
  MakeCell(100, p);
  MakeCell(101, p);
  lib().chibi_Compress(101, 0, 0, 0);
  const struct {
    int x, y, w, h, key;
  } cases[] = {{0, 0, 640, 480, 256},   {3, 2, 10, 7, -1}, {-5, -5, 12, 9, 0},
               {20, 10, 100, 100, 255}, {5, 5, 0, 10, 0},  {5, 5, 10, -1, 0},
               {1, 1, 27, 19, 263},     {0, 0, 28, 20, 7}};
  for (const auto& c : cases) {
    HostScreen screen(28, 20), model(28, 20);
    screen.FillRandom(9);
    Twin(model, screen);
    lib().chibi_SetCLIP(c.x, c.y, c.w, c.h);
    screen.SetCursor(-2, -1);
    lib().chibi_PutM(screen.record(), 100, c.key, 0);
    for (int n : {101, -1, 2048})
      lib().chibi_PutM(screen.record(), n, c.key, 0);
    for (int y = 0; y < p.h; ++y) {
      for (int x = 0; x < p.w; ++x) {
        const int sx = x - 2, sy = y - 1;
        const bool clipped = sx < c.x || sx > c.x + c.w - 1 || sy < c.y || sy > c.y + c.h - 1;
        if (clipped || sx < 0 || sy < 0 || sx >= 28 || sy >= 20 || p.at(x, y) == c.key) continue;
        model.at(sx, sy) = p.at(x, y);
      }
    }
    ASSERT_TRUE(SamePixels(screen, model)) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
}

TEST_F(CellTest, FullColourCellsKeepWholeWordsOfEachRow) {
  HostScreen screen(16, 4, 3);
  screen.FillRandom(12);
  screen.SetCursor(0, 0);
  const int widths[] = {0, 1, 2, 4, 4, 5, 6, 8};  // 3w / 4 * 4 bytes make whole pixels
  for (int w = 1; w <= 8; ++w) {
    lib().chibi_GetF(screen.record(), 120, w, 2);
    EXPECT_EQ(Info(120, 1), -widths[w - 1]) << w;
  }
  EXPECT_EQ(Info(120, 4), -1);
  EXPECT_EQ(lib().chibi_Compress(120, 0, 0, 0), 0);
  HostScreen target(16, 4, 3);  // 4 pixels of 3 bytes a row, drawn at (1, 1)
  target.Fill(0xEE);
  target.SetCursor(1, 1);
  lib().chibi_GetF(screen.record(), 121, 4, 2);
  lib().chibi_Put(target.record(), 121, 0, 0);
  for (int i = 0; i < 48 * 4; ++i) {
    const int b = i % 48, y = i / 48;
    const bool drawn = y >= 1 && y < 3 && b >= 3 && b < 15;
    ASSERT_EQ((&target.at(0, y))[b], drawn ? (&screen.at(0, y - 1))[b - 3] : 0xEE) << b << "," << y;
  }
}

class CellLoad : public CellTest {
 protected:
  int32_t LoadTK(int n, const std::string& path, int background) {
    return lib().chibi_LoadTK(n, Word(path.c_str()), background, 0);
  }
  int32_t LoadTKX(int n, const std::string& path, int index, int background) {
    return lib().chibi_LoadTKX(n, Word(path.c_str()), index, background);
  }

  // Cell n as top-down pixels: compressed, then drawn (every pixel) on a screen of its size.
  std::vector<uint8_t> CellPixels(int n) {
    HostScreen screen(-Info(n, 1), -Info(n, 2));
    lib().chibi_Compress(n, 0, 0, 0);
    screen.SetCursor(0, 0);
    lib().chibi_Put(screen.record(), n, 1, 0);
    return TopDown(screen);
  }

  // Captures the whole of `art` into cell n.
  void Capture(int n, HostScreen& art) {
    art.SetCursor(0, 0);
    lib().chibi_Get(art.record(), n, art.width(), art.height());
  }

  // A plain background cell of w x h pixels, all `value`.
  void MakeBackground(int n, int w, int h, uint8_t value) {
    HostScreen screen(w, h);
    screen.Fill(value);
    Capture(n, screen);
  }

  TempDir dir;
};

// Skipped pixels show a plain background cell no wider and no taller than the picture; one
// wider or taller, an empty one or none leaves them 0.
TEST_F(CellLoad, SkippedPixelsShowTheBackgroundCell) {
  std::mt19937 rng(3);
  MakeBackground(9, 16, 8, 5);
  MakeBackground(10, 20, 8, 5);
  MakeBackground(21, 16, 9, 5);
  for (PictureKind kind : {PictureKind::kTK10, PictureKind::kTK11}) {
    const auto image = RandomImage(rng, 16, 8, 4);  // index 0 becomes skip records
    const std::string path = dir.Write("s.tk", Encode(image, 16, 8, kind, 0));
    for (int background : {9, 10, 21, 11, -1, 2048}) {
      EXPECT_EQ(LoadTK(4, path, background), 0);
      const auto pixels = CellPixels(4);
      for (size_t i = 0; i < image.size(); ++i) {
        ASSERT_EQ(pixels[i], image[i] == 0 && background == 9 ? 5 : image[i])
            << taviwriter::KindName(kind) << " background " << background << " at " << i;
      }
    }
  }
}

TEST_F(CellLoad, RunLengthBackgroundLandsAtTheTopLeft) {
  std::mt19937 rng(5);
  HostScreen art(8, 4);
  art.FillRandom(6);
  Capture(12, art);
  ASSERT_LT(lib().chibi_Compress(12, 0, 0, 0), 0);
  const std::vector<uint8_t> blank(14 * 7, 0);  // all skips
  const std::string path = dir.Write("b.tk", Encode(blank, 14, 7, PictureKind::kTK11, 0));
  EXPECT_EQ(LoadTK(6, path, 12), 0);
  const auto pixels = CellPixels(6);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 14; ++x)
      ASSERT_EQ(pixels[y * 14 + x], x < 8 && y < 4 ? art.at(x, y) : 0) << x << "," << y;
  }
}

TEST_F(CellLoad, PlainBackgroundOfAnotherWidthKeepsItsByteOrderOnly) {
  // Background 8 x 3 (24 bytes), cell 10 x 4 (40 bytes): the 24 bytes go to the cell's first 24
  // bytes, which are its bottom rows stored bottom-up.
  HostScreen art(8, 3);
  art.FillRandom(7);
  Capture(13, art);
  std::vector<uint8_t> stored;  // the background's bytes as stored: bottom row first
  for (int y = 2; y >= 0; --y) {
    for (int x = 0; x < 8; ++x)
      stored.push_back(art.at(x, y));
  }
  const std::string path =
      dir.Write("c.tk", Encode(std::vector<uint8_t>(40, 0), 10, 4, PictureKind::kTK10, 0));
  EXPECT_EQ(LoadTK(7, path, 13), 0);
  const auto pixels = CellPixels(7);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 10; ++x) {
      const size_t at = static_cast<size_t>(3 - y) * 10 + x;  // byte position in the cell
      ASSERT_EQ(pixels[y * 10 + x], at < stored.size() ? stored[at] : 0) << x << "," << y;
    }
  }
}

TEST_F(CellLoad, OddWidthsLoadUnroundedAndDrawByTheirRules) {
  std::mt19937 rng(8);
  const auto image = RandomImage(rng, 30, 5, 4);
  const std::string path = dir.Write("w.tk", Encode(image, 30, 5, PictureKind::kTK01));
  EXPECT_EQ(LoadTK(8, path, -1), 0);
  EXPECT_EQ(Info(8, 1), -30);
  // Opaque at a cursor x other than 0: whole 4-pixel groups of each row, 28 columns.
  HostScreen opaque(40, 8);
  opaque.Fill(0xEE);
  opaque.SetCursor(3, 1);
  lib().chibi_Put(opaque.record(), 8, 0, 0);
  // Transparent: all 30 columns, index 0 left out.
  HostScreen transparent(40, 8);
  transparent.Fill(0xEE);
  transparent.SetCursor(3, 1);
  lib().chibi_Put(transparent.record(), 8, 1, 0);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 30; ++x) {
      const uint8_t v = image[y * 30 + x];
      ASSERT_EQ(opaque.at(3 + x, 1 + y), x < 28 ? v : 0xEE) << x << "," << y;
      ASSERT_EQ(transparent.at(3 + x, 1 + y), v != 0 ? v : 0xEE) << x << "," << y;
    }
  }
  EXPECT_EQ(CellPixels(8), image);  // compressed: exactly its 30 x 5 pixels
}

TEST_F(CellLoad, ArchiveIndexesOutsideTheCountAreRefused) {
  std::mt19937 rng(9);
  std::vector<std::vector<uint8_t>> pictures, images;
  for (int i = 0; i < 3; ++i) {
    images.push_back(RandomImage(rng, 6 + i, 3, 5));
    pictures.push_back(Encode(images.back(), 6 + i, 3, PictureKind::kTK00));
  }
  const std::string path = dir.Write("set.tkx", taviwriter::BuildArchive(pictures));
  MakeBackground(15, 4, 1, 3);
  for (int index : {-1, 3, 100}) {
    EXPECT_EQ(LoadTKX(15, path, index, -1), -1) << index;
    EXPECT_EQ(Info(15, 1), -4) << index;
  }
  EXPECT_EQ(LoadTKX(2048, path, 0, -1), 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(LoadTKX(16, path, i, -1), 0);
    EXPECT_EQ(Info(16, 1), -(6 + i));
    EXPECT_EQ(CellPixels(16), images[static_cast<size_t>(i)]);
  }
  const std::string plain = dir.Write("p.tk", pictures[0]);  // a picture is not an archive
  EXPECT_EQ(LoadTKX(15, plain, 0, -1), 0);
  EXPECT_EQ(Info(15, 1), -4);
}

}  // namespace
}  // namespace tavitest
