// The colour cube and the blend tables through the exports: tavi_AlphaInit, the three factor
// builders, and the table as tavi_gcopya applies it.
#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "harness/blend_probe.h"
#include "harness/fixture.h"
#include "host/host_screen.h"
#include "models/blend_model.h"

namespace tavitest {
namespace {

using tavimodel::FactorMode;

class BlendTableTest : public ExportTest {
 protected:
  std::vector<uint8_t> ReadTable() { return tavihost::ReadBlendTable(lib()); }
  std::vector<uint8_t> ReadCube() { return tavihost::ReadColourCube(lib()); }

  // New random palettes for both screens, and the cube of the destination's first `count`
  // entries, built by tavi_AlphaInit and returned as the direct search finds it.
  std::vector<uint8_t> NewPalettesAndCube(uint32_t seed, int count) {
    destination.RandomPalette(seed);
    source.RandomPalette(seed + 1);
    lib().tavi_AlphaInit(destination.record(), count, 0, 0);
    return tavimodel::StraightCube(destination.palette(), count);
  }

  // Builds a factor table through its export, with `source` as the selected source screen.
  void BuildFactorTable(FactorMode mode, const HostScreen& destination, const HostScreen& source,
                        tavi_word rf, tavi_word gf, tavi_word bf) {
    lib().tavi_fset(source.record(), 0, 0, 0);
    const auto build = mode == FactorMode::kAdd        ? lib().tavi_addset
                       : mode == FactorMode::kSubtract ? lib().tavi_decset
                                                       : lib().tavi_edecset;
    EXPECT_EQ(build(destination.record(), rf, gf, bf), 0);
  }

  HostScreen destination{1, 1};
  HostScreen source{1, 1};
};

TEST_F(BlendTableTest, CubeEqualsTheDirectSearch) {
  HostScreen screen(1, 1);
  for (const int count : {1, 2, 44, 255, 256, 0, 300}) {
    screen.RandomPalette(static_cast<uint32_t>(count) + 40);
    EXPECT_EQ(lib().tavi_AlphaInit(screen.record(), count, 0, 0), 0);
    const auto expected = tavimodel::StraightCube(screen.palette(), count);
    ASSERT_EQ(ReadCube(), expected) << "count " << count;
  }
}

TEST_F(BlendTableTest, OneCandidateFillsTheCubeWithZero) {
  HostScreen screen(1, 1);
  screen.RandomPalette(9);
  EXPECT_EQ(lib().tavi_AlphaInit(screen.record(), 1, 0, 1), -1);
  const auto cube = ReadCube();
  EXPECT_TRUE(std::all_of(cube.begin(), cube.end(), [](uint8_t v) { return v == 0; }));
}

TEST_F(BlendTableTest, ExactHitOnACellColourWinsItsCellUnlessALowerEntryHasTheSameColour) {
  HostScreen screen(1, 1), probe(1, 1);
  screen.RandomPalette(10);
  const int k = 13, v = 8 * k + 3;
  screen.SetColour(5, v, v, v);
  probe.SetColour(0, v, v, v);
  auto cellKKK = [&] {
    lib().tavi_AlphaInit(screen.record(), 6, 0, 0);
    tavihost::MapThroughCube(lib(), probe);
    return ReadTable()[0];
  };
  EXPECT_EQ(cellKKK(), 5);
  screen.SetColour(2, v, v, v);
  EXPECT_EQ(cellKKK(), 2);
}

TEST_F(BlendTableTest, EntriesAtEqualDistanceKeepTheLowerIndex) {
  HostScreen screen(1, 1), probe(1, 1);
  // Cell (0, 0, 0) stands for (3, 3, 3): entries 1 and 3 are both at distance 6, entry 0 and 2
  // farther.
  screen.SetColour(0, 200, 200, 200);
  screen.SetColour(1, 9, 3, 3);
  screen.SetColour(2, 100, 3, 3);
  screen.SetColour(3, 3, 3, 9);
  lib().tavi_AlphaInit(screen.record(), 4, 0, 0);
  probe.SetColour(0, 0, 0, 0);
  tavihost::MapThroughCube(lib(), probe);
  EXPECT_EQ(ReadTable()[0], 1);
}

TEST_F(BlendTableTest, FactorTablesEqualTheirDefinition) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 6; ++trial) {
    const auto cube = NewPalettesAndCube(rng(), static_cast<int>(rng() % 300));
    for (const FactorMode mode :
         {FactorMode::kAdd, FactorMode::kSubtract, FactorMode::kSubtractInverse}) {
      const int rf = static_cast<int>(rng() % 256), gf = static_cast<int>(rng() % 256),
                bf = static_cast<int>(rng() % 256);
      BuildFactorTable(mode, destination, source, rf, gf, bf);
      ASSERT_EQ(ReadTable(), tavimodel::FactorTable(cube, mode, destination.palette(),
                                                    source.palette(), rf, gf, bf))
          << "mode " << static_cast<int>(mode) << " factors " << rf << "," << gf << "," << bf;
    }
  }
}

TEST_F(BlendTableTest, SameFactorsBuildOnceAndDoNotSeePaletteChanges) {
  const auto cube = NewPalettesAndCube(12, 0);
  BuildFactorTable(FactorMode::kSubtract, destination, source, 1, 2, 3);  // a different tag first
  BuildFactorTable(FactorMode::kAdd, destination, source, 40, 50, 60);
  const auto built = tavimodel::FactorTable(cube, FactorMode::kAdd, destination.palette(),
                                            source.palette(), 40, 50, 60);
  const auto oldSource = source.palette();
  source.RandomPalette(14);
  destination.RandomPalette(15);
  BuildFactorTable(FactorMode::kAdd, destination, source, 40, 50, 60);
  EXPECT_EQ(ReadTable(), built);
  // A cube change is not seen either.
  lib().tavi_AlphaInit(destination.record(), 3, 0, 0);
  BuildFactorTable(FactorMode::kAdd, destination, source, 40 + 256, 50 - 512, 60 + 1024);
  EXPECT_EQ(ReadTable(), built);
  // Another mode in between makes the next request build again, from today's palettes and cube.
  BuildFactorTable(FactorMode::kSubtract, destination, source, 40, 50, 60);
  BuildFactorTable(FactorMode::kAdd, destination, source, 40, 50, 60);
  const auto newCube = tavimodel::StraightCube(destination.palette(), 3);
  EXPECT_EQ(ReadTable(), tavimodel::FactorTable(newCube, FactorMode::kAdd, destination.palette(),
                                                source.palette(), 40, 50, 60));
  EXPECT_NE(source.palette(), oldSource);
}

TEST_F(BlendTableTest, InverseSubtractOfWhiteLeavesTheDestinationColour) {
  const auto cube = NewPalettesAndCube(22, 0);
  source.SetColour(4, 255, 255, 255);
  BuildFactorTable(FactorMode::kSubtractInverse, destination, source, 255, 200, 77);
  const auto table = ReadTable();
  for (int d = 0; d < 256; ++d) {
    const auto c = tavimodel::PaletteColour(destination.palette(), d);
    ASSERT_EQ(table[d * 256 + 4], tavimodel::CubeLookup(cube, c.r, c.g, c.b)) << d;
  }
}

TEST_F(BlendTableTest, AlphaInitLeavesTheBlendTableAlone) {
  NewPalettesAndCube(24, 0);
  BuildFactorTable(FactorMode::kSubtract, destination, source, 1, 1, 1);
  BuildFactorTable(FactorMode::kAdd, destination, source, 90, 90, 90);
  const auto before = ReadTable();
  destination.RandomPalette(26);
  lib().tavi_AlphaInit(destination.record(), 17, 0, 1);
  EXPECT_EQ(ReadTable(), before);
}

}  // namespace
}  // namespace tavitest
