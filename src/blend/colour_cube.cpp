// Building the colour cube.
//
// The nearest entry is the one with the least key (distance × 256 + index): least distance
// first, then the lowest index, which is what a search over the entries in index order that
// keeps only strictly better ones (and may stop at distance 0) finds.
//
// Instead of testing every entry in every cell, a row of 32 cells that share red and green is
// solved as a one-dimensional problem along blue. With p(j) the red and green part of entry j's
// distance and v the blue level of a cell:
//
//   distance(j) = p(j) + v - blue(j)   for the entries with blue(j) <= v
//   distance(j) = p(j) + blue(j) - v   for the entries with blue(j) >= v
//
// so the least key of the first group is min(key of p(j) - blue(j)) + 256 v, and of the second
// min(key of p(j) + blue(j)) - 256 v. Walking the entries in order of blue, once upwards and once
// downwards, keeps both minima as running minima; the cell takes the smaller of the two. Every
// entry is in one group or both, and the key is a total order, so the result is exactly the
// index the full search finds, ties and exact hits included, at a cost per row of a few passes
// over the entries instead of 32 of them.
#include "blend/colour_cube.h"

#include <algorithm>
#include <array>

#include "blend/palette.h"

namespace tavikit {
namespace {

constexpr int32_t kLevels = 32;
constexpr int32_t kNone = INT32_MAX / 2;  // a key above any real one, with room to add to

constexpr int32_t LevelValue(int32_t level) { return 8 * level + 3; }
constexpr int32_t Key(int32_t distance, int32_t index) { return distance * 256 + index; }
inline int32_t AbsDiff(int32_t a, int32_t b) { return a < b ? b - a : a - b; }

// The candidates in ascending order of blue (equal blues in index order).
struct CandidatesByBlue {
  int32_t count = 0;
  std::array<int32_t, 256> index{};
  std::array<int32_t, 256> red{};
  std::array<int32_t, 256> green{};
  std::array<int32_t, 256> blue{};
};

CandidatesByBlue SortByBlue(const uint8_t* palette, int32_t candidates) {
  std::array<int32_t, 257> start{};
  for (int32_t j = 0; j < candidates; ++j)
    ++start[PaletteEntry(palette, j).b + 1];
  for (size_t v = 1; v < start.size(); ++v)
    start[v] += start[v - 1];
  CandidatesByBlue sorted;
  sorted.count = candidates;
  for (int32_t j = 0; j < candidates; ++j) {
    const PaletteColour c = PaletteEntry(palette, j);
    const auto at = static_cast<size_t>(start[c.b]++);
    sorted.index[at] = j;
    sorted.red[at] = c.r;
    sorted.green[at] = c.g;
    sorted.blue[at] = c.b;
  }
  return sorted;
}

// Fills the 32 cells of one red-green row, given each candidate's red and green distance.
void SolveBlueRow(const CandidatesByBlue& c, const std::array<int32_t, 256>& partial,
                  uint8_t* row) {
  std::array<int32_t, kLevels> below{};  // least key among blue <= level value, minus 256 v
  int32_t best = kNone;
  int32_t p = 0;
  for (int32_t level = 0; level < kLevels; ++level) {
    const int32_t v = LevelValue(level);
    for (; p < c.count && c.blue[p] <= v; ++p)
      best = std::min(best, Key(partial[p] - c.blue[p], c.index[p]));
    below[level] = best;
  }
  best = kNone;
  p = c.count - 1;
  for (int32_t level = kLevels - 1; level >= 0; --level) {
    const int32_t v = LevelValue(level);
    for (; p >= 0 && c.blue[p] >= v; --p)
      best = std::min(best, Key(partial[p] + c.blue[p], c.index[p]));
    const int32_t fromBelow = below[level] == kNone ? kNone : below[level] + 256 * v;
    const int32_t fromAbove = best == kNone ? kNone : best - 256 * v;
    row[level] = static_cast<uint8_t>(std::min(fromBelow, fromAbove) & 255);
  }
}

}  // namespace

void BuildColourCube(ColourCube& cube, const uint8_t* palette, int32_t candidates) {
  const CandidatesByBlue sorted = SortByBlue(palette, candidates);
  std::array<int32_t, 256> redPart{};
  std::array<int32_t, 256> partial{};
  for (int32_t r5 = 0; r5 < kLevels; ++r5) {
    for (int32_t p = 0; p < sorted.count; ++p)
      redPart[p] = AbsDiff(LevelValue(r5), sorted.red[p]);
    for (int32_t g5 = 0; g5 < kLevels; ++g5) {
      for (int32_t p = 0; p < sorted.count; ++p)
        partial[p] = redPart[p] + AbsDiff(LevelValue(g5), sorted.green[p]);
      SolveBlueRow(sorted, partial, &cube.cells[ColourCube::CellOf5(r5, g5, 0)]);
    }
  }
}

int32_t CountCubeIndices(const ColourCube& cube) {
  std::array<bool, 256> seen{};
  for (const uint8_t index : cube.cells)
    seen[index] = true;
  return static_cast<int32_t>(std::count(seen.begin(), seen.end(), true));
}

int32_t AlphaInit(ColourCube& cube, const Screen& screen, int32_t count, int32_t request) {
  BuildColourCube(cube, screen.palette, CubeCandidates(count));
  return request > 0 ? -CountCubeIndices(cube) : 0;
}

}  // namespace tavikit
