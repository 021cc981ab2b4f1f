// The blend table builders and their tag.
#include "blend/blend_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "models/blend_model.h"

namespace tavikit {
namespace {

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> bytes(n);
  for (auto& b : bytes)
    b = static_cast<uint8_t>(rng());
  return bytes;
}

// A fresh state with a cube built by the direct search from `palette`.
std::unique_ptr<BlendState> StateWithCube(const std::vector<uint8_t>& palette) {
  auto state = std::make_unique<BlendState>();
  const auto cube = tavimodel::StraightCube(palette, 0);
  std::copy(cube.begin(), cube.end(), state->cube.cells.begin());
  return state;
}

std::vector<uint8_t> Entries(const BlendTable& table) {
  return {table.entries.begin(), table.entries.end()};
}

TEST(BlendTable, StartsEmptyWithATagThatMatchesNoMode) {
  const auto state = std::make_unique<BlendState>();
  EXPECT_EQ(state->table.tag.mode, BlendMode::kNone);
  for (const uint8_t e : state->table.entries)
    ASSERT_EQ(e, 0);
  // The first request of any mode builds, even alpha 0 with parameters all 0.
  const auto palette = RandomBytes(1024, 1);
  auto built = StateWithCube(palette);
  BuildAlphaTable(built->table, built->cube, palette.data(), 0);
  const std::vector<uint8_t> cube(built->cube.cells.begin(), built->cube.cells.end());
  EXPECT_EQ(Entries(built->table), tavimodel::AlphaTable(cube, palette, 0));
}

TEST(BlendTable, AlphaTableEqualsItsDefinitionForEveryAlpha) {
  const auto palette = RandomBytes(1024, 2);
  auto state = StateWithCube(palette);
  const std::vector<uint8_t> cube(state->cube.cells.begin(), state->cube.cells.end());
  for (int alpha = 0; alpha < 256; alpha += 17) {
    BuildAlphaTable(state->table, state->cube, palette.data(), static_cast<uint8_t>(alpha));
    ASSERT_EQ(Entries(state->table), tavimodel::AlphaTable(cube, palette, alpha)) << alpha;
  }
}

TEST(BlendTable, AlphaBuildKeepsTheOtherTwoParametersOfTheTag) {
  const auto palette = RandomBytes(1024, 3);
  auto state = StateWithCube(palette);
  BuildFactorTable(state->table, state->cube, BlendMode::kSubtract, palette.data(), palette.data(),
                   11, 22, 33);
  BuildAlphaTable(state->table, state->cube, palette.data(), 44);
  EXPECT_EQ(state->table.tag.mode, BlendMode::kAlpha);
  EXPECT_EQ(state->table.tag.p1, 44);
  EXPECT_EQ(state->table.tag.p2, 22);
  EXPECT_EQ(state->table.tag.p3, 33);
}

TEST(BlendTable, MatchingTagSkipsTheBuildWhateverThePaletteOrCube) {
  const auto palette = RandomBytes(1024, 4);
  auto state = StateWithCube(palette);
  BuildAlphaTable(state->table, state->cube, palette.data(), 128);
  const auto built = Entries(state->table);
  const auto other = RandomBytes(1024, 5);
  state->cube.cells.fill(9);
  BuildAlphaTable(state->table, state->cube, other.data(), 128);
  EXPECT_EQ(Entries(state->table), built);
  // The factor tables compare all three factors and the mode.
  BuildFactorTable(state->table, state->cube, BlendMode::kAdd, palette.data(), other.data(), 1, 2,
                   3);
  state->table.entries.fill(0);
  BuildFactorTable(state->table, state->cube, BlendMode::kAdd, palette.data(), other.data(), 1, 2,
                   3);
  EXPECT_EQ(state->table.entries[12345], 0);
  BuildFactorTable(state->table, state->cube, BlendMode::kAdd, palette.data(), other.data(), 1, 2,
                   4);
  EXPECT_EQ(state->table.entries[12345], 9);
  state->table.entries.fill(0);
  BuildFactorTable(state->table, state->cube, BlendMode::kSubtractInverse, palette.data(),
                   other.data(), 1, 2, 4);
  EXPECT_EQ(state->table.entries[12345], 9);
  // An alpha table whose alpha equals the first factor is still another table.
  state->table.entries.fill(0);
  BuildAlphaTable(state->table, state->cube, palette.data(), 1);
  EXPECT_EQ(state->table.entries[12345], 9);
}

}  // namespace
}  // namespace tavikit
