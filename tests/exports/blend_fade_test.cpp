// Dissolve copies through the exports, against models written from their definitions.
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "harness/fixture.h"
#include "host/host_screen.h"

namespace tavitest {
namespace {

struct Rect {
  int x, y, w, h;
};

// tavi_GFade by its definition: q = N * L / 255 pixels, pixel number (i * step) >> 8 with
// step = 256 * N / q, row and column in raster order (C++ division truncates toward zero).
void ModelFade(HostScreen& target, const HostScreen& source, Rect rect, int level, int64_t key) {
  const int64_t l = level & 255;
  if (l == 0) return;
  const int64_t n = int64_t{rect.w} * rect.h;
  const int64_t q = n * l / 255;
  if (q <= 0) return;
  const int64_t step = 256 * n / q;
  const int cx = static_cast<int>(target.word(TAVI_REC_CURSOR_X));
  const int cy = static_cast<int>(target.word(TAVI_REC_CURSOR_Y));
  for (int64_t i = 0; i < q; ++i) {
    const int64_t k = (i * step) >> 8;
    const int r = static_cast<int>(k / rect.w), c = static_cast<int>(k % rect.w);
    const uint8_t s = source.at(rect.x + c, rect.y + r);
    if (s == key) continue;
    target.at(cx + c, cy + r) = s;
  }
}

// tavi_GFade2 by its definition: rows from the top, each from its rightmost pixel, one counter
// across the whole rectangle.
void ModelPattern(HostScreen& target, const HostScreen& source, Rect rect,
                  const std::array<uint8_t, 16>& pattern) {
  const int cx = static_cast<int>(target.word(TAVI_REC_CURSOR_X));
  const int cy = static_cast<int>(target.word(TAVI_REC_CURSOR_Y));
  int i = 0;
  for (int r = 0; r < rect.h; ++r) {
    for (int c = rect.w - 1; c >= 0; --c, ++i) {
      if (pattern[i % 16] != 0) target.at(cx + c, cy + r) = source.at(rect.x + c, rect.y + r);
    }
  }
}

class BlendFadeTest : public ExportTest {
 protected:
  void Select(const HostScreen& source, const HostScreen& target, Rect rect) {
    lib().tavi_fset(source.record(), 0, 0, 0);
    lib().tavi_tset(target.record(), 0, 0, 0);
    lib().tavi_copyset(rect.x, rect.y, rect.w, rect.h);
  }

  // Which pixels of a w x h rectangle at the target's (0, 0) GFade writes at this level, in
  // raster order, found by fading a source of ones into a target of zeros.
  std::vector<bool> Visited(int w, int h, int level) {
    HostScreen source(w, h), target(w, h);
    source.Fill(1);
    target.Fill(0);
    target.SetCursor(0, 0);
    Select(source, target, Rect{0, 0, w, h});
    EXPECT_EQ(lib().tavi_GFade(level, -1, 0, 0), 0);
    std::vector<bool> visited;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        visited.push_back(target.at(x, y) == 1);
    }
    return visited;
  }
};

TEST_F(BlendFadeTest, FadeMatchesItsDefinition) {
  std::mt19937 rng(51);
  HostScreen source(64, 48);
  source.FillRandom(52);
  for (int trial = 0; trial < 300; ++trial) {
    HostScreen target(60, 50), model(60, 50);
    target.FillRandom(rng());
    model.pixels() = target.pixels();
    const Rect rect{static_cast<int>(rng() % 20), static_cast<int>(rng() % 20),
                    static_cast<int>(rng() % 40), static_cast<int>(rng() % 25)};
    const int cx = static_cast<int>(rng() % 20), cy = static_cast<int>(rng() % 20);
    target.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    const int level = static_cast<int>(rng() % 600) - 50;
    const int key = trial % 2 == 0 ? static_cast<int>(rng() % 256) : 300;
    Select(source, target, rect);
    ASSERT_EQ(lib().tavi_GFade(level, key, 0, 0), 0);
    ModelFade(model, source, rect, level, key);
    ASSERT_EQ(target.pixels(), model.pixels())
        << "rect " << rect.w << "x" << rect.h << " level " << level << " key " << key;
  }
}

TEST_F(BlendFadeTest, FadesWithinOneScreenReadEachPixelJustBeforeItsWrite) {
  std::mt19937 rng(60);
  for (int trial = 0; trial < 60; ++trial) {
    HostScreen screen(30, 24), model(30, 24);
    screen.FillRandom(rng());
    model.pixels() = screen.pixels();
    const Rect rect{static_cast<int>(rng() % 10), static_cast<int>(rng() % 10), 15, 12};
    const int cx = static_cast<int>(rng() % 10), cy = static_cast<int>(rng() % 10);
    screen.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    Select(screen, screen, rect);
    std::array<uint8_t, 16> pattern{};
    for (auto& p : pattern)
      p = static_cast<uint8_t>(rng() % 2);
    if (trial % 2 == 0) {
      const int level = trial % 4 == 0 ? 255 : static_cast<int>(rng() % 255);
      lib().tavi_GFade(level, 300, 0, 0);
      ModelFade(model, model, rect, level, 300);
    } else {
      lib().tavi_GFade2(Word(pattern.data()), 0, 0, 0);
      ModelPattern(model, model, rect, pattern);
    }
    ASSERT_EQ(screen.pixels(), model.pixels()) << trial;
  }
}

TEST_F(BlendFadeTest, HalfLevelVisitsEveryOtherPixel) {
  const auto visited = Visited(10, 10, 128);  // q = 50, step 512
  for (int k = 0; k < 100; ++k)
    EXPECT_EQ(visited[k], k % 2 == 0) << k;
}

TEST_F(BlendFadeTest, ThreeQuarterLevelStepsByFourThirds) {
  const auto visited = Visited(10, 10, 192);  // q = 75, step 341
  const std::vector<bool> first{true, true, true, true, false, true, true, true, false, true};
  EXPECT_EQ(std::vector<bool>(visited.begin(), visited.begin() + 10), first);
  int count = 0;
  for (const bool v : visited)
    count += v ? 1 : 0;
  EXPECT_EQ(count, 75);
}

TEST_F(BlendFadeTest, SinglePixelNeedsTheFullLevelAndIsKeyed) {
  for (int level = 1; level < 255; ++level)
    ASSERT_EQ(Visited(1, 1, level), std::vector<bool>{false}) << level;
  EXPECT_EQ(Visited(1, 1, 255), std::vector<bool>{true});
  HostScreen source(1, 1), target(1, 1);
  source.Fill(7);
  target.Fill(0);
  Select(source, target, Rect{0, 0, 1, 1});
  lib().tavi_GFade(255, 7, 0, 0);
  EXPECT_EQ(target.at(0, 0), 0);
}

// Negative sides give a positive N; rows and columns then come out of the truncating division
// as zero or negative, left of and above the rectangle's corner.
TEST_F(BlendFadeTest, NegativeSidesFollowTruncatingDivision) {
  HostScreen source(32, 32), target(32, 32), model(32, 32);
  source.FillRandom(54);
  target.FillRandom(55);
  model.pixels() = target.pixels();
  target.SetCursor(16, 16);
  model.SetCursor(16, 16);
  const Rect rect{12, 12, -4, -3};
  Select(source, target, rect);
  lib().tavi_GFade(255, 300, 0, 0);
  ModelFade(model, source, rect, 255, 300);
  EXPECT_EQ(target.pixels(), model.pixels());
  EXPECT_EQ(target.at(17, 15), source.at(13, 11));  // i = 5: column 1, row -1
}

// Reaching outside either screen is the host's error; the library then copies only the pixels
// that lie inside both.
TEST_F(BlendFadeTest, PixelsOutsideEitherScreenAreSkipped) {
  HostScreen source(10, 10), target(12, 12);
  source.FillRandom(56);
  target.Fill(0);
  target.SetCursor(-2, 5);
  Select(source, target, Rect{3, -1, 10, 10});
  lib().tavi_GFade(255, 300, 0, 0);
  lib().tavi_GFade2(
      Word(std::array<uint8_t, 16>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}.data()), 0, 0,
      0);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      const int c = x + 2, r = y - 5;  // rectangle pixel at target (x, y)
      const int sx = 3 + c, sy = r - 1;
      const bool inside = c < 10 && r >= 0 && r < 10 && sx < 10 && sy >= 0;
      EXPECT_EQ(target.at(x, y), inside ? source.at(sx, sy) : 0) << x << "," << y;
    }
  }
}

TEST_F(BlendFadeTest, PatternMatchesItsDefinition) {
  std::mt19937 rng(57);
  HostScreen source(64, 48);
  source.FillRandom(58);
  for (int trial = 0; trial < 200; ++trial) {
    // Every fourth trial a target as wide as the rectangle, so that rows follow each other.
    const Rect rect{static_cast<int>(rng() % 20), static_cast<int>(rng() % 20),
                    static_cast<int>(rng() % 40) - 3, static_cast<int>(rng() % 25) - 3};
    const int width = trial % 4 == 0 && rect.w > 0 ? rect.w : 60;
    HostScreen target(width, 50), model(width, 50);
    target.FillRandom(rng());
    model.pixels() = target.pixels();
    const int cx = width == 60 ? static_cast<int>(rng() % 20) : 0;
    const int cy = static_cast<int>(rng() % 20);
    target.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    std::array<uint8_t, 16> pattern{};
    for (auto& p : pattern)
      p = rng() % 3 == 0 ? static_cast<uint8_t>(rng()) : 0;
    Select(source, target, rect);
    ASSERT_EQ(lib().tavi_GFade2(Word(pattern.data()), 0, 0, 0), 0);
    ModelPattern(model, source, rect, pattern);
    ASSERT_EQ(target.pixels(), model.pixels()) << "rect " << rect.w << "x" << rect.h;
  }
}

TEST_F(BlendFadeTest, FirstPatternByteAloneSelectsColumnsByRowWidth) {
  std::array<uint8_t, 16> pattern{};
  pattern[0] = 1;
  {
    HostScreen source(16, 5), target(16, 5);
    source.Fill(9);
    target.Fill(0);
    Select(source, target, Rect{0, 0, 16, 5});
    lib().tavi_GFade2(Word(pattern.data()), 0, 0, 0);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 16; ++x)
        EXPECT_EQ(target.at(x, y), x == 15 ? 9 : 0) << x << "," << y;
    }
  }
  HostScreen source(17, 16), target(17, 16);
  source.Fill(9);
  target.Fill(0);
  Select(source, target, Rect{0, 0, 17, 16});
  lib().tavi_GFade2(Word(pattern.data()), 0, 0, 0);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 17; ++x) {
      const bool copied = y == 0 ? (x == 0 || x == 16) : x == y;
      EXPECT_EQ(target.at(x, y), copied ? 9 : 0) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace tavitest
