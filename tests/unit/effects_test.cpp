// White-box tests of the effects: the angle tables, the generator, the keyed row copy on
// overlapping runs, the colour mosaics with a cube of the test's own, and fresh rotation
// parameters.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "effects/keyed_copy.h"
#include "effects/mosaic.h"
#include "effects/rotation.h"
#include "tavikit.h"

namespace tavikit {
namespace {

TEST(RotationTables, AreTheTruncatedSineAndNegatedCosine) {
  for (int i = 0; i < 256; ++i) {
    const double angle = 2 * std::numbers::pi * i / 256;
    EXPECT_EQ(kRotationSine[i], static_cast<int32_t>(256 * std::sin(angle))) << i;
    EXPECT_EQ(kRotationNegCosine[i], static_cast<int32_t>(-256 * std::cos(angle))) << i;
  }
  EXPECT_EQ(kRotationSine[1], 6);
  EXPECT_EQ(kRotationSine[255], -6);
  EXPECT_EQ(kRotationNegCosine[200], -49);
}

TEST(MosaicRandom, FreshGeneratorGivesTheKnownFirstDraws) {
  MosaicRandom random;
  std::vector<int32_t> draws(6);
  for (int32_t& draw : draws)
    draw = NextRandom(random);
  EXPECT_EQ(draws, (std::vector<int32_t>{41, 18467, 6334, 26500, 19169, 15724}));
}

TEST(MosaicRandom, DrawsStayInFifteenBitsAndStateWrapsModuloTwoToThe32) {
  MosaicRandom random{0xFFFFFFFFu};
  const int32_t draw = NextRandom(random);
  const uint32_t expected =
      static_cast<uint32_t>((0xFFFFFFFFull * 214013u + 2531011u) % (1ull << 32));
  EXPECT_EQ(random.state, expected);
  EXPECT_EQ(draw, static_cast<int32_t>((expected >> 16) & 32767u));
}

// Pixel by pixel from the left: the definition of the keyed copy.
void ModelRow(uint8_t* dst, const uint8_t* src, int n, int key) {
  for (int i = 0; i < n; ++i) {
    if (!(key >= 0 && src[i] == key)) dst[i] = src[i];
  }
}

TEST(CopyRowKeyed, OverlappingRunsGiveThePixelByPixelResult) {
  std::mt19937 rng(1);
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<uint8_t> buffer(96), model;
    for (auto& b : buffer)
      b = static_cast<uint8_t>(rng() % 4 == 0 ? 7 : rng());
    model = buffer;
    const int n = static_cast<int>(rng() % 40);
    const int src = static_cast<int>(rng() % 40);
    const int dst = std::max(0, std::min(56, src + static_cast<int>(rng() % 41) - 20));
    const int key = std::array{-1, 7, 300}[rng() % 3];
    CopyRowKeyed(buffer.data() + dst, buffer.data() + src, n, key);
    ModelRow(model.data() + dst, model.data() + src, n, key);
    ASSERT_EQ(buffer, model) << "n " << n << " src " << src << " dst " << dst << " key " << key;
  }
}

// A screen of the test's own with a palette and pixels.
struct TestScreen {
  int32_t width, height;
  std::vector<uint8_t> pixels, palette;
  TestScreen(int32_t w, int32_t h)
      : width(w), height(h), pixels(static_cast<size_t>(w) * h), palette(1024) {}
  Screen View(int32_t cx, int32_t cy) {
    Screen s;
    s.width = width;
    s.height = height;
    s.pixels = pixels.data();
    s.palette = palette.data();
    s.cursorX = cx;
    s.cursorY = cy;
    return s;
  }
  uint8_t& at(int x, int y) { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
};

// A screen of random pixels with a random palette.
TestScreen RandomTestScreen(int32_t w, int32_t h, uint32_t seed) {
  TestScreen screen(w, h);
  std::mt19937 rng(seed);
  for (auto& p : screen.palette)
    p = static_cast<uint8_t>(rng());
  for (auto& p : screen.pixels)
    p = static_cast<uint8_t>(rng());
  return screen;
}

// A cube whose entries change from cell to cell, so that a wrong cell shows.
ColourCube CubeOfPositions() {
  ColourCube cube;
  for (size_t i = 0; i < ColourCube::kCells; ++i)
    cube.cells[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  return cube;
}

uint8_t CubeAt(const ColourCube& cube, int r, int g, int b) {
  return cube.cells[static_cast<size_t>(r) * 1024 + g * 32 + b];
}

TEST(ColourMosaics, CornerMosaicAveragesTheFourCornersThroughTheCube) {
  TestScreen screen = RandomTestScreen(12, 9, 2);
  TestScreen before = screen;
  const ColourCube cube = CubeOfPositions();
  CornerMosaic(screen.View(1, 2), 3, 2, 3, cube);
  const auto component = [&](int x, int y, int c) {
    return static_cast<int>(before.palette[before.at(x, y) * 4 + c]);
  };
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 12; ++x) {
      const int i = (x - 1) / 3, j = (y - 2) / 3;
      if (x < 1 || y < 2 || i >= 3 || j >= 2) {
        ASSERT_EQ(screen.at(x, y), before.at(x, y)) << x << "," << y;
        continue;
      }
      const int l = 1 + 3 * i, t = 2 + 3 * j;
      int sum[3];
      for (int c = 0; c < 3; ++c) {
        sum[c] = component(l, t, c) + component(l + 2, t, c) + component(l, t + 2, c) +
                 component(l + 2, t + 2, c);
      }
      ASSERT_EQ(screen.at(x, y), CubeAt(cube, sum[2] >> 5, sum[1] >> 5, sum[0] >> 5))
          << x << "," << y;
    }
  }
}

TEST(ColourMosaics, MeanMosaicAveragesEveryPixelThroughTheCube) {
  TestScreen screen = RandomTestScreen(15, 10, 3);
  TestScreen before = screen;
  const ColourCube cube = CubeOfPositions();
  MeanMosaic(screen.View(0, 1), 3, 2, 4, cube);
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 3; ++i) {
      int sum[3] = {0, 0, 0};
      for (int y = 1 + 4 * j; y < 5 + 4 * j; ++y) {
        for (int x = 4 * i; x < 4 * i + 4; ++x) {
          for (int c = 0; c < 3; ++c)
            sum[c] += before.palette[before.at(x, y) * 4 + c];
        }
      }
      const uint8_t want = CubeAt(cube, sum[2] / 16 >> 3, sum[1] / 16 >> 3, sum[0] / 16 >> 3);
      for (int y = 1 + 4 * j; y < 5 + 4 * j; ++y) {
        for (int x = 4 * i; x < 4 * i + 4; ++x)
          ASSERT_EQ(screen.at(x, y), want) << x << "," << y;
      }
    }
  }
  for (int x = 12; x < 15; ++x)
    EXPECT_EQ(screen.at(x, 3), before.at(x, 3));
  for (int x = 0; x < 15; ++x)
    EXPECT_EQ(screen.at(x, 0), before.at(x, 0));
}

TEST(ColourMosaics, BlockSizeTwoMakesCornersAndMeanAgree) {
  TestScreen a = RandomTestScreen(10, 8, 4);
  TestScreen b = a;
  const ColourCube cube = CubeOfPositions();
  CornerMosaic(a.View(0, 0), 5, 4, 2, cube);
  MeanMosaic(b.View(0, 0), 5, 4, 2, cube);
  EXPECT_EQ(a.pixels, b.pixels);
}

TEST(ColourMosaics, BlockSizeOneMapsEachPixelThroughTheCube) {
  TestScreen a = RandomTestScreen(6, 5, 5);
  TestScreen corners = a, mean = a;
  const ColourCube cube = CubeOfPositions();
  CornerMosaic(corners.View(0, 0), 6, 5, 1, cube);
  MeanMosaic(mean.View(0, 0), 6, 5, 1, cube);
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    const uint8_t* c = &a.palette[a.pixels[i] * 4];
    const uint8_t want = CubeAt(cube, c[2] >> 3, c[1] >> 3, c[0] >> 3);
    ASSERT_EQ(mean.pixels[i], want) << i;
    ASSERT_EQ(corners.pixels[i], want) << i;
  }
}

TEST(ColourMosaics, BlockSizeBelowOneWritesNothing) {
  TestScreen a(6, 6);
  for (size_t i = 0; i < a.pixels.size(); ++i)
    a.pixels[i] = static_cast<uint8_t>(i);
  const std::vector<uint8_t> before = a.pixels;
  const ColourCube cube = CubeOfPositions();
  for (const int32_t s : {0, -1, -3}) {
    CornerMosaic(a.View(3, 3), 2, 2, s, cube);
    MeanMosaic(a.View(3, 3), 2, 2, s, cube);
  }
  EXPECT_EQ(a.pixels, before);
}

TEST(Rotation, FreshParametersSampleNothingAndDrawOnlyTheFill) {
  std::vector<uint8_t> srcPixels(64, 1), dstPixels(64, 5);
  std::array<tavi_word, 32> srcRecord{}, dstRecord{};
  srcRecord[TAVI_REC_WIDTH] = dstRecord[TAVI_REC_WIDTH] = 8;
  srcRecord[TAVI_REC_HEIGHT] = dstRecord[TAVI_REC_HEIGHT] = 8;
  srcRecord[TAVI_REC_PIXELS] = reinterpret_cast<tavi_word>(srcPixels.data());
  dstRecord[TAVI_REC_PIXELS] = reinterpret_cast<tavi_word>(dstPixels.data());
  Selection sel;
  sel.source = srcRecord.data();
  sel.target = dstRecord.data();
  const RotationParams fresh;
  RotateCopy(sel, fresh, 8, 8, -1, -1);
  EXPECT_EQ(dstPixels, std::vector<uint8_t>(64, 5));
  RotateCopy(sel, fresh, 8, 8, 9, -1);
  EXPECT_EQ(dstPixels, std::vector<uint8_t>(64, 9));
}

}  // namespace
}  // namespace tavikit
