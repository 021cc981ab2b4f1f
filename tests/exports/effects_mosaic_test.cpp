// Mosaics through the exports: the random mosaic in place, and the centre-sampled keyed copy.
#include <random>
#include <thread>
#include <vector>

#include "effects_fixture.h"
#include "models/blend_model.h"

namespace tavitest {
namespace {

// The generator as defined: state x 214013 + 2531011, bits 16 to 30 of the new state.
struct ModelRandom {
  uint32_t state = 1;
  int Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 32767u);
  }
};

// The random mosaic as defined, drawing from `random`.
void ModelRandomMosaic(HostScreen& screen, int across, int down, int s, ModelRandom& random) {
  for (int j = 0; j < down; ++j) {
    for (int i = 0; i < across; ++i) {
      const int left = CursorX(screen) + i * s, top = CursorY(screen) + j * s;
      const int dx = random.Next() % s;
      const int dy = random.Next() % s;
      const uint8_t colour = screen.at(left + dx, top + dy);
      for (int y = top; y < top + s; ++y) {
        for (int x = left; x < left + s; ++x)
          screen.at(x, y) = colour;
      }
    }
  }
}

// Runs `body` on a thread of its own, whose mosaic generator starts fresh.
template <class Body>
void OnFreshThread(Body body) {
  std::thread thread(body);
  thread.join();
}

using MosaicTest = EffectsTest;

// A palette with repeated colours (entries 128 to 255 copy 0 to 127) on a screen of random pixels,
// and the colour cube built from it; returns the model of the cube.
std::vector<uint8_t> PaletteScreenWithCube(const Library& lib, HostScreen& screen, uint32_t seed) {
  screen.RandomPalette(seed);
  for (int i = 0; i < 128 * 4; ++i)
    screen.palette()[128 * 4 + i] = screen.palette()[i];
  screen.FillRandom(seed + 1);
  lib.tavi_AlphaInit(screen.record(), 0, 0, 0);
  return tavimodel::StraightCube(screen.palette(), 256);
}

// The colour mosaics as defined: the cube entry for a block's mean colour, over its four corners
// (sums shifted right by 5) or over all its pixels (sums divided by s x s, shifted right by 3).
void ModelColourMosaic(HostScreen& screen, const std::vector<uint8_t>& cube, int across, int down,
                       int s, bool corners) {
  for (int j = 0; j < down; ++j) {
    for (int i = 0; i < across; ++i) {
      const int left = CursorX(screen) + i * s, top = CursorY(screen) + j * s;
      int sum[3] = {0, 0, 0};
      const auto add = [&](int x, int y) {
        for (int c = 0; c < 3; ++c)
          sum[c] += screen.palette()[screen.at(x, y) * 4 + c];
      };
      if (corners) {
        add(left, top);
        add(left + s - 1, top);
        add(left, top + s - 1);
        add(left + s - 1, top + s - 1);
      } else {
        for (int y = top; y < top + s; ++y) {
          for (int x = left; x < left + s; ++x)
            add(x, y);
        }
      }
      int c5[3];
      for (int c = 0; c < 3; ++c)
        c5[c] = corners ? sum[c] >> 5 : sum[c] / (s * s) >> 3;
      const uint8_t colour = cube[c5[2] * 1024 + c5[1] * 32 + c5[0]];
      for (int y = top; y < top + s; ++y) {
        for (int x = left; x < left + s; ++x)
          screen.at(x, y) = colour;
      }
    }
  }
}

TEST_F(MosaicTest, ColourMosaicsMatchTheModelThroughTheCube) {
  std::mt19937 rng(7);
  for (int palette = 0; palette < 3; ++palette) {
    HostScreen screen(36, 28), model(36, 28);
    const std::vector<uint8_t> cube = PaletteScreenWithCube(lib(), screen, palette);
    model.palette() = screen.palette();
    for (int trial = 0; trial < 16; ++trial) {
      screen.FillRandom(100 * palette + trial);
      model.pixels() = screen.pixels();
      const int s = 1 + static_cast<int>(rng() % 8);
      const int across = static_cast<int>(rng() % (36 / s + 1));
      const int down = static_cast<int>(rng() % (28 / s + 1));
      const int cx = static_cast<int>(rng() % static_cast<unsigned>(36 - across * s + 1));
      const int cy = static_cast<int>(rng() % static_cast<unsigned>(28 - down * s + 1));
      const bool corners = trial % 2 == 0;
      screen.SetCursor(cx, cy);
      model.SetCursor(cx, cy);
      if (corners) {
        lib().tavi_gmozice(screen.record(), across, down, s);
      } else {
        lib().tavi_gmozicn(screen.record(), across, down, s);
      }
      ModelColourMosaic(model, cube, across, down, s, corners);
      ASSERT_EQ(screen.pixels(), model.pixels()) << palette << "/" << trial;
    }
  }
}

TEST_F(MosaicTest, ColourMosaicsOfSizeOneMapEachPixelToItsCubeEntry) {
  HostScreen screen(16, 16);
  PaletteScreenWithCube(lib(), screen, 8);
  for (int i = 0; i < 256; ++i)
    screen.pixels()[i] = static_cast<uint8_t>(i);
  const std::vector<uint8_t> before = screen.pixels();
  screen.SetCursor(0, 0);
  lib().tavi_gmozicn(screen.record(), 16, 16, 1);
  const std::vector<uint8_t> mean = screen.pixels();
  screen.pixels() = before;
  lib().tavi_gmozice(screen.record(), 16, 16, 1);
  EXPECT_EQ(screen.pixels(), mean);
  // A colour repeated higher up the palette maps to the first entry holding it, or nearer.
  for (int i = 128; i < 256; ++i)
    ASSERT_LT(mean[i], 128) << i;
}

TEST_F(MosaicTest, ColourMosaicsAgreeOnBlocksOfTwo) {
  HostScreen a(20, 14), b(20, 14);
  PaletteScreenWithCube(lib(), a, 9);
  b.palette() = a.palette();
  b.pixels() = a.pixels();
  a.SetCursor(2, 1);
  b.SetCursor(2, 1);
  lib().tavi_gmozice(a.record(), 9, 6, 2);
  lib().tavi_gmozicn(b.record(), 9, 6, 2);
  EXPECT_EQ(a.pixels(), b.pixels());
}

TEST_F(MosaicTest, FirstDrawsOfAFreshThreadPickTheSameOffsets) {
  ModelRandom model;
  const std::vector<int> first = {model.Next(), model.Next(), model.Next(),
                                  model.Next(), model.Next(), model.Next()};
  EXPECT_EQ(first, (std::vector<int>{41, 18467, 6334, 26500, 19169, 15724}));

  HostScreen screen(16, 12);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x)
      screen.at(x, y) = static_cast<uint8_t>(16 * y + x);
  }
  screen.SetCursor(4, 4);
  OnFreshThread([&] { lib().tavi_gmozic(screen.record(), 1, 1, 4); });
  // Offset (41 mod 4, 18467 mod 4) = (1, 3) from the block's top-left.
  for (int y = 4; y < 8; ++y) {
    for (int x = 4; x < 8; ++x)
      ASSERT_EQ(screen.at(x, y), 16 * (4 + 3) + (4 + 1)) << x << "," << y;
  }
  EXPECT_EQ(screen.at(3, 4), 16 * 4 + 3);
  EXPECT_EQ(screen.at(8, 4), 16 * 4 + 8);
}

TEST_F(MosaicTest, RandomMosaicFollowsTheGeneratorAcrossCalls) {
  HostScreen screen(40, 30), model(40, 30);
  screen.FillRandom(1);
  model.pixels() = screen.pixels();
  OnFreshThread([&] {
    ModelRandom random;
    const struct {
      int cx, cy, across, down, s;
    } calls[] = {{0, 0, 5, 3, 7}, {3, 1, 6, 4, 1}, {2, 5, 4, 2, 9},
                 {0, 0, 0, 5, 3}, {0, 0, 3, 0, 3}, {1, 2, 12, 9, 3}};
    for (const auto& c : calls) {
      screen.SetCursor(c.cx, c.cy);
      model.SetCursor(c.cx, c.cy);
      EXPECT_EQ(lib().tavi_gmozic(screen.record(), c.across, c.down, c.s), 0);
      ModelRandomMosaic(model, c.across, c.down, c.s, random);
      ASSERT_EQ(screen.pixels(), model.pixels()) << c.across << "x" << c.down << "/" << c.s;
    }
  });
}

TEST_F(MosaicTest, BlockSizeOneChangesNoPixelButSpendsTwoDrawsPerBlock) {
  HostScreen screen(8, 8);
  screen.FillRandom(2);
  const std::vector<uint8_t> before = screen.pixels();
  OnFreshThread([&] {
    screen.SetCursor(1, 1);
    lib().tavi_gmozic(screen.record(), 3, 2, 1);  // 6 blocks: draws 1 to 12
    EXPECT_EQ(screen.pixels(), before);
    ModelRandom model;
    for (int i = 0; i < 12; ++i)
      model.Next();
    const int dx = model.Next() % 5, dy = model.Next() % 5;
    screen.SetCursor(0, 0);
    lib().tavi_gmozic(screen.record(), 1, 1, 5);
    EXPECT_EQ(screen.at(4, 4), before[static_cast<size_t>(7 - dy) * 8 + dx]);
  });
}

// A block of a mosaic copy: offset and size in the area, and where it is sampled.
struct Block {
  int bx, by, bw, bh, sampleX, sampleY;
};

// Copies a w x h area with block size n from source cursor (3, 2) to target cursor (5, 6), and
// expects exactly the given blocks, each filled with its sample.
void ExpectMozcopyBlocks(const Library& lib, int w, int h, int n,
                         const std::vector<Block>& blocks) {
  HostScreen src(20, 16), dst(24, 20), expected(24, 20);
  src.FillRandom(3);
  dst.Fill(0xEE);
  expected.Fill(0xEE);
  src.SetCursor(3, 2);
  dst.SetCursor(5, 6);
  lib.tavi_fset(src.record(), 0, 0, 0);
  lib.tavi_tset(dst.record(), 0, 0, 0);
  lib.tavi_mozcopy(w, h, n, -1);
  for (const Block& b : blocks) {
    for (int y = b.by; y < b.by + b.bh; ++y) {
      for (int x = b.bx; x < b.bx + b.bw; ++x)
        expected.at(5 + x, 6 + y) = src.at(3 + b.sampleX, 2 + b.sampleY);
    }
  }
  EXPECT_EQ(dst.pixels(), expected.pixels()) << w << "x" << h << "/" << n;
}

// w 10, h 7, block 4: full blocks, the right-edge block, then the bottom row and its corner.
TEST_F(MosaicTest, MozcopyCoversPartialBlocksAtTheRightAndBottom) {
  ExpectMozcopyBlocks(lib(), 10, 7, 4,
                      {{0, 0, 4, 4, 2, 2},
                       {4, 0, 4, 4, 6, 2},
                       {8, 0, 2, 4, 9, 2},
                       {0, 4, 4, 3, 2, 5},
                       {4, 4, 4, 3, 6, 5},
                       {8, 4, 2, 3, 9, 5}});
}

TEST_F(MosaicTest, MozcopySmallerThanOneBlockIsOneBlockSampledAtItsMiddle) {
  ExpectMozcopyBlocks(lib(), 5, 3, 8, {{0, 0, 5, 3, 2, 1}});
}

TEST_F(MosaicTest, MozcopyKeyUsesTheLowByteAndSkipsWholeBlocks) {
  HostScreen src(10, 7), dst(10, 7);
  src.Fill(5);
  src.at(9, 2) = 0;  // the sample of the right-edge block of the top row
  src.at(2, 5) = 0;  // the sample of the first block of the bottom row
  src.SetCursor(0, 0);
  dst.SetCursor(0, 0);
  Select(src, dst);
  dst.Fill(0xEE);
  lib().tavi_mozcopy(10, 7, 4, 256);  // key index 0
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool skipped = (x >= 8 && y < 4) || (x < 4 && y >= 4);
      ASSERT_EQ(dst.at(x, y), skipped ? 0xEE : 5) << x << "," << y;
    }
  }
  dst.Fill(0xEE);
  lib().tavi_mozcopy(10, 7, 4, -1);
  EXPECT_EQ(dst.at(9, 0), 0);
  EXPECT_EQ(dst.at(0, 6), 0);
  EXPECT_EQ(dst.at(5, 5), 5);
}

TEST_F(MosaicTest, MozcopyInPlaceIsACentreSampledMosaic) {
  std::mt19937 rng(5);
  for (int trial = 0; trial < 100; ++trial) {
    HostScreen screen(30, 24);
    screen.FillRandom(trial);
    const std::vector<uint8_t> before = screen.pixels();
    const int w = 1 + static_cast<int>(rng() % 25), h = 1 + static_cast<int>(rng() % 20);
    const int n = 1 + static_cast<int>(rng() % 9);
    const int cx = static_cast<int>(rng() % static_cast<unsigned>(31 - w));
    const int cy = static_cast<int>(rng() % static_cast<unsigned>(25 - h));
    screen.SetCursor(cx, cy);
    Select(screen, screen);
    lib().tavi_mozcopy(w, h, n, -1);
    const auto old = [&](int x, int y) { return before[static_cast<size_t>(23 - y) * 30 + x]; };
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 30; ++x) {
        const int i = x - cx, j = y - cy;
        uint8_t want = old(x, y);
        if (i >= 0 && j >= 0 && i < w && j < h) {
          // The block holding (i, j), its size, and its centre.
          const int bx = i / n * n, by = j / n * n;
          const int bw = std::min(n, w - bx), bh = std::min(n, h - by);
          want = old(cx + bx + bw / 2, cy + by + bh / 2);
        }
        ASSERT_EQ(screen.at(x, y), want) << trial << ": " << x << "," << y;
      }
    }
  }
}

TEST_F(MosaicTest, NothingIsDrawnForEmptyCounts) {
  HostScreen screen(12, 12), dst(12, 12);
  screen.FillRandom(6);
  dst.Fill(0xEE);
  const std::vector<uint8_t> before = screen.pixels();
  screen.SetCursor(0, 0);
  dst.SetCursor(0, 0);
  Select(screen, dst);
  for (const auto& [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 5}, {5, -3}})
    EXPECT_EQ(lib().tavi_mozcopy(w, h, 2, -1), 0);
  EXPECT_EQ(lib().tavi_mozcopy(5, 5, 0, -1), 0);
  EXPECT_EQ(lib().tavi_gmozic(screen.record(), 3, 0, 2), 0);
  EXPECT_EQ(lib().tavi_gmozic(screen.record(), 0, 3, 2), 0);
  EXPECT_EQ(screen.pixels(), before);
  for (uint8_t v : dst.pixels())
    ASSERT_EQ(v, 0xEE);
}

}  // namespace
}  // namespace tavitest
