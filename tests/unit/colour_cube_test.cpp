// The colour cube against the direct search, for every candidate count and for palettes built
// to produce ties, exact hits and repeated colours.
#include "blend/colour_cube.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "models/blend_model.h"

namespace tavikit {
namespace {

enum class PaletteKind { kRandom, kOnLevels, kFewValues, kGreys };

// kOnLevels puts every component on a cell colour 8k + 3 (exact hits), kFewValues draws
// components from four values (many entries at equal distance, many repeats).
std::vector<uint8_t> MakePalette(PaletteKind kind, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> palette(1024);
  for (size_t i = 0; i < palette.size(); ++i) {
    switch (kind) {
      case PaletteKind::kRandom:
        palette[i] = static_cast<uint8_t>(rng());
        break;
      case PaletteKind::kOnLevels:
        palette[i] = static_cast<uint8_t>(8 * (rng() % 32) + 3);
        break;
      case PaletteKind::kFewValues:
        palette[i] = static_cast<uint8_t>(std::array{0, 7, 11, 255}[rng() % 4]);
        break;
      case PaletteKind::kGreys:
        palette[i] = static_cast<uint8_t>(i / 4);
        break;
    }
  }
  return palette;
}

std::vector<uint8_t> FastCube(const std::vector<uint8_t>& palette, int32_t count) {
  ColourCube cube;
  BuildColourCube(cube, palette.data(), CubeCandidates(count));
  return {cube.cells.begin(), cube.cells.end()};
}

TEST(ColourCube, CandidateCountWrapsToOneThrough256) {
  for (int32_t n = 1; n <= 256; ++n) {
    ASSERT_EQ(CubeCandidates(n), n);
    for (const int32_t turns : {-3, -1, 1, 2})
      ASSERT_EQ(CubeCandidates(n + turns * 256), n) << n << " " << turns;
  }
  EXPECT_EQ(CubeCandidates(0), 256);
  EXPECT_EQ(CubeCandidates(257), 1);
  EXPECT_EQ(CubeCandidates(300), 44);
  EXPECT_EQ(CubeCandidates(INT32_MIN), 256);
}

TEST(ColourCube, EqualsTheDirectSearchForEveryCandidateCount) {
  std::vector<int32_t> counts;
  for (int32_t n = 1; n <= 256; ++n)
    counts.push_back(n);
  counts.insert(counts.end(), {0, 257, 300});
  for (const int32_t count : counts) {
    const auto kind = static_cast<PaletteKind>(count % 3);
    const auto palette = MakePalette(kind, static_cast<uint32_t>(count) * 7919u);
    ASSERT_EQ(FastCube(palette, count), tavimodel::StraightCube(palette, count))
        << "count " << count << " palette kind " << static_cast<int>(kind);
  }
}

TEST(ColourCube, EqualsTheDirectSearchForGreysAndRepeatedColours) {
  auto greys = MakePalette(PaletteKind::kGreys, 0);
  EXPECT_EQ(FastCube(greys, 256), tavimodel::StraightCube(greys, 256));
  // Every entry the same colour: entry 0 everywhere.
  std::vector<uint8_t> flat(1024, 77);
  const auto cube = FastCube(flat, 256);
  EXPECT_TRUE(std::all_of(cube.begin(), cube.end(), [](uint8_t v) { return v == 0; }));
  // The lowest of several copies of one exact hit wins, however they lie in blue order.
  std::vector<uint8_t> copies = MakePalette(PaletteKind::kRandom, 3);
  for (const int j : {200, 90, 140}) {
    copies[j * 4 + 0] = 43;
    copies[j * 4 + 1] = 43;
    copies[j * 4 + 2] = 43;
  }
  const auto withCopies = FastCube(copies, 256);
  EXPECT_EQ(withCopies[5 * 1024 + 5 * 32 + 5], 90);
  EXPECT_EQ(withCopies, tavimodel::StraightCube(copies, 256));
}

TEST(ColourCube, LookupTakesTheTopFiveBitsRedMostSignificant) {
  ColourCube cube;
  for (size_t i = 0; i < ColourCube::kCells; ++i)
    cube.cells[i] = static_cast<uint8_t>(i * 37 + (i >> 8));
  EXPECT_EQ(cube.Lookup(255, 0, 0), cube.cells[31 * 1024]);
  EXPECT_EQ(cube.Lookup(0, 255, 0), cube.cells[31 * 32]);
  EXPECT_EQ(cube.Lookup(0, 0, 255), cube.cells[31]);
  EXPECT_EQ(cube.Lookup(0x9F, 0x47, 0x18), cube.cells[(0x9F >> 3) * 1024 + (0x47 >> 3) * 32 + 3]);
  EXPECT_EQ(cube.Lookup5(19, 8, 3), cube.Lookup(0x9F, 0x47, 0x18));
}

}  // namespace
}  // namespace tavikit
