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
// index the full search finds, ties and exact hits included, at a cost per row of two passes
// over the entries instead of 32 of them.
//
// The 32 rows of one red level are swept together, one lane per green level: the loop over the
// lanes has no branches and the compiler turns it into vector instructions (SSE2 on x86-64, and
// on 32-bit x86 when the processor has it: common/cpu.h);
// where there are none, the same loop runs lane by lane and gives the same bytes. About 40 times
// faster than the full search with 256 entries.
#include "blend/colour_cube.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "blend/palette.h"
#include "common/cpu.h"

namespace tavikit {
namespace {

constexpr int32_t kLevels = 32;
constexpr int32_t kNone = INT32_MAX / 2;  // a key above any real one, with room to add to

constexpr int32_t LevelValue(int32_t level) { return 8 * level + 3; }
inline int32_t AbsDiff(int32_t a, int32_t b) { return std::abs(a - b); }

// The candidates in ascending order of blue (equal blues in index order), with what each row's
// keys need of them worked out once.
struct CandidatesByBlue {
  int32_t count = 0;
  std::array<int32_t, 256> red{};
  std::array<int32_t, 256> green{};
  std::array<int32_t, 256> belowBase{};  // index - 256 blue: key of p - blue is 256 p + this
  std::array<int32_t, 256> aboveBase{};  // index + 256 blue
  // The level from which on the candidate counts as below (the lowest with value >= blue; 32
  // for none) and the level down to which it counts as above (the highest with value <= blue,
  // stored plus one so that "none" is 0).
  std::array<uint8_t, 256> belowFrom{};
  std::array<uint8_t, 256> aboveTo{};
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
    sorted.red[at] = c.r;
    sorted.green[at] = c.g;
    sorted.belowBase[at] = j - 256 * c.b;
    sorted.aboveBase[at] = j + 256 * c.b;
    sorted.belowFrom[at] = static_cast<uint8_t>(c.b <= 3 ? 0 : (c.b - 3 + 7) / 8);
    sorted.aboveTo[at] = static_cast<uint8_t>(c.b < 3 ? 0 : (c.b - 3) / 8 + 1);
  }
  return sorted;
}

// Per level (plus one spare slot) and green level, a running minimum of keys.
using LevelRows = std::array<std::array<int32_t, kLevels>, kLevels + 1>;

// One sweep over the candidates in the given order for all 32 green levels of a red level at
// once (the loop over green is the one the compiler vectorises). The running minimum for each
// green level is stored at the candidate's level on every step, so the last store at a level is
// the minimum over every candidate up to it; levels at which no candidate stored are filled from
// their neighbour afterwards.
template <bool kUpwards>
[[gnu::always_inline]] inline void Sweep(const CandidatesByBlue& c,
                                         const std::array<int32_t, 256>& redPart, LevelRows& out) {
  for (auto& level : out)
    level.fill(kNone);
  std::array<int32_t, kLevels> best;
  best.fill(kNone);
  for (int32_t step = 0; step < c.count; ++step) {
    const int32_t p = kUpwards ? step : c.count - 1 - step;
    const int32_t red = redPart[p];
    const int32_t green = c.green[p];
    const int32_t base = kUpwards ? c.belowBase[p] : c.aboveBase[p];
    for (int32_t g = 0; g < kLevels; ++g) {
      const int32_t key = 256 * (red + AbsDiff(LevelValue(g), green)) + base;
      best[g] = std::min(best[g], key);
    }
    out[kUpwards ? c.belowFrom[p] : c.aboveTo[p]] = best;
  }
  if (kUpwards) {
    for (int32_t level = 1; level < kLevels; ++level) {
      for (int32_t g = 0; g < kLevels; ++g)
        out[level][g] = std::min(out[level][g], out[level - 1][g]);
    }
  } else {
    for (int32_t level = kLevels - 1; level >= 1; --level) {
      for (int32_t g = 0; g < kLevels; ++g)
        out[level][g] = std::min(out[level][g], out[level + 1][g]);
    }
  }
}

// The whole build, inlined into each of the variants below.
[[gnu::always_inline]] inline void SolveCube(ColourCube& cube, const CandidatesByBlue& sorted) {
  std::array<int32_t, 256> redPart{};
  LevelRows below;  // below[l][g]: least key among blue <= level value l, minus 256 v
  LevelRows above;  // above[l + 1][g]: least key among blue >= level value l, plus 256 v
  for (int32_t r5 = 0; r5 < kLevels; ++r5) {
    for (int32_t p = 0; p < sorted.count; ++p)
      redPart[p] = AbsDiff(LevelValue(r5), sorted.red[p]);
    Sweep<true>(sorted, redPart, below);
    Sweep<false>(sorted, redPart, above);
    for (int32_t g5 = 0; g5 < kLevels; ++g5) {
      uint8_t* row = &cube.cells[ColourCube::CellOf5(r5, g5, 0)];
      for (int32_t level = 0; level < kLevels; ++level) {
        const int32_t v = LevelValue(level);
        const int32_t fromBelow = below[level][g5] == kNone ? kNone : below[level][g5] + 256 * v;
        const int32_t fromAbove =
            above[level + 1][g5] == kNone ? kNone : above[level + 1][g5] - 256 * v;
        row[level] = static_cast<uint8_t>(std::min(fromBelow, fromAbove) & 255);
      }
    }
  }
}

void SolveCubePortable(ColourCube& cube, const CandidatesByBlue& sorted) {
  SolveCube(cube, sorted);
}

#if TAVIKIT_DISPATCH_SSE2
TAVIKIT_TARGET_SSE2 void SolveCubeSse2(ColourCube& cube, const CandidatesByBlue& sorted) {
  SolveCube(cube, sorted);
}
#endif

using CubeSolver = void (*)(ColourCube&, const CandidatesByBlue&);

constexpr auto kCubeSolvers = std::to_array<VectorKernel<CubeSolver>>({
#if TAVIKIT_DISPATCH_SSE2
  {VectorLevel::kSse2, SolveCubeSse2},
#endif
      {VectorLevel::kPortable, SolveCubePortable},
});

}  // namespace

void BuildColourCube(ColourCube& cube, const uint8_t* palette, int32_t candidates) {
  const CandidatesByBlue sorted = SortByBlue(palette, candidates);
  ChosenKernel<kCubeSolvers>()(cube, sorted);
}

int32_t CountCubeIndices(const ColourCube& cube) {
  std::array<bool, 256> seen{};
  for (const uint8_t index : cube.cells)
    seen[index] = true;
  return static_cast<int32_t>(std::count(seen.begin(), seen.end(), true));
}

int32_t AlphaInit(ColourCube& cube, const Screen& screen, int32_t count, int32_t request) {
  BuildColourCube(cube, screen.palette, CubeCandidates(count));
  return request > 0 ? CountCubeIndices(cube) : 0;
}

}  // namespace tavikit
