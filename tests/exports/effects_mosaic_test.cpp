// Mosaics through the exports: the random mosaic in place, the colour mosaics through the cube,
// and the centre-sampled copy.
#include <thread>
#include <tuple>
#include <vector>

#include "harness/fixture.h"

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

// Runs `body` on a thread of its own, whose mosaic generator starts fresh.
template <class Body>
void OnFreshThread(Body body) {
  std::thread thread(body);
  thread.join();
}

using MosaicTest = ExportTest;

// Entries 0 to 31 are the greys 8k + 3, the colours of the cube's diagonal cells, and the cube is
// built from them alone: cell (k, k, k) holds entry k.
void GreyCube(const Library& lib, HostScreen& screen) {
  for (int k = 0; k < 32; ++k)
    screen.SetColour(k, 8 * k + 3, 8 * k + 3, 8 * k + 3);
  lib.tavi_AlphaInit(screen.record(), 32, 0, 0);
}

// A 3 x 3 block with corners 2, 4, 6, 8 and 10 elsewhere: the corners sum to 8 * 20 + 12 = 172
// per component, 172 >> 5 = 5; all nine sum to 172 + 5 * 83 = 587, 587 / 9 = 65, 65 >> 3 = 8.
// Blocks of two have only corners, so both mosaics give (8 * 20 + 12) / 4 >> 3 = 5.
TEST_F(MosaicTest, ColourMosaicsTakeTheCubeEntryOfTheCornerOrWholeMean) {
  const uint8_t block[9] = {2, 10, 4, 10, 10, 10, 6, 10, 8};
  for (const auto& [size, corners, want] :
       {std::tuple{3, true, 5}, {3, false, 8}, {2, true, 5}, {2, false, 5}}) {
    HostScreen screen(9, 7);
    GreyCube(lib(), screen);
    screen.Fill(31);
    if (size == 3) {
      for (int i = 0; i < 9; ++i)
        screen.at(4 + i % 3, 2 + i / 3) = block[i];
    } else {
      screen.at(4, 2) = 2;
      screen.at(5, 2) = 4;
      screen.at(4, 3) = 6;
      screen.at(5, 3) = 8;
    }
    screen.SetCursor(4, 2);
    const auto mosaic = corners ? lib().tavi_gmozice : lib().tavi_gmozicn;
    mosaic(screen.record(), 1, 1, size);
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 9; ++x) {
        const bool in = x >= 4 && x < 4 + size && y >= 2 && y < 2 + size;
        ASSERT_EQ(screen.at(x, y), in ? want : 31)
            << size << (corners ? " corners " : " mean ") << x << "," << y;
      }
    }
  }
}

TEST_F(MosaicTest, FirstDrawsOfAFreshThreadPickTheSameOffsets) {
  ModelRandom model;
  const std::vector<int> first = {model.Next(), model.Next()};
  EXPECT_EQ(first, (std::vector<int>{41, 18467}));
  HostScreen screen(16, 12);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x)
      screen.at(x, y) = static_cast<uint8_t>(16 * y + x);
  }
  screen.SetCursor(4, 4);
  OnFreshThread([&] { lib().tavi_gmozic(screen.record(), 1, 1, 4); });
  // Offset (41 mod 4, 18467 mod 4) = (1, 3) from the block's top-left.
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool in = x >= 4 && x < 8 && y >= 4 && y < 8;
      ASSERT_EQ(screen.at(x, y), in ? 16 * 7 + 5 : 16 * y + x) << x << "," << y;
    }
  }
}

// Every block becomes one colour that it held before; pixels outside the blocks stay.
TEST_F(MosaicTest, RandomMosaicFillsEachBlockWithOneOfItsOwnPixels) {
  HostScreen screen(40, 30);
  for (const auto& [cx, cy, across, down, s] :
       {std::tuple{0, 0, 5, 3, 7}, {3, 1, 6, 4, 3}, {2, 5, 2, 4, 6}, {1, 2, 12, 9, 3}}) {
    screen.FillRandom(static_cast<uint32_t>(s));
    HostScreen before(40, 30);
    Twin(before, screen);
    screen.SetCursor(cx, cy);
    lib().tavi_gmozic(screen.record(), across, down, s);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) {
        const int i = (x - cx) / s, j = (y - cy) / s;
        if (x < cx || y < cy || i >= across || j >= down) {
          ASSERT_EQ(screen.at(x, y), before.at(x, y)) << x << "," << y;
          continue;
        }
        const int left = cx + i * s, top = cy + j * s;
        ASSERT_EQ(screen.at(x, y), screen.at(left, top)) << x << "," << y;
        bool held = false;
        for (int v = top; v < top + s; ++v) {
          for (int u = left; u < left + s; ++u)
            held |= before.at(u, v) == screen.at(x, y);
        }
        ASSERT_TRUE(held) << x << "," << y;
      }
    }
  }
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

}  // namespace
}  // namespace tavitest
