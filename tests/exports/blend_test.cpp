// The colour cube, the blend tables, the blended copies and the dissolves through the exports,
// against the straightforward cube search and the mixtures and walks as they are defined.
#include <array>
#include <cstdlib>
#include <functional>
#include <random>
#include <tuple>
#include <vector>

#include "harness/cube_oracle.h"
#include "harness/fixture.h"

namespace tavitest {
namespace {

uint8_t CubeLookup(const std::vector<uint8_t>& cube, int r, int g, int b) {
  return cube[(r >> 3) * 1024 + (g >> 3) * 32 + (b >> 3)];
}

// The alpha mixture of destination d and source s, both colours of one palette.
uint8_t AlphaMix(const std::vector<uint8_t>& cube, const std::vector<uint8_t>& palette, int d,
                 int s, int alpha) {
  const Rgb cd = PaletteColour(palette, d), cs = PaletteColour(palette, s);
  const int r = (cs.r * alpha + cd.r * (255 - alpha)) >> 11;
  const int g = (cs.g * alpha + cd.g * (255 - alpha)) >> 11;
  const int b = (cs.b * alpha + cd.b * (255 - alpha)) >> 11;
  return cube[r * 1024 + g * 32 + b];
}

enum class FactorMode { kAdd, kSubtract, kSubtractInverse };

// The factor tables, each component computed as written: the scaled amount, then the sum or
// difference limited to 0 to 255, then the cube lookup of the 8-bit colour.
std::vector<uint8_t> FactorTable(const std::vector<uint8_t>& cube, FactorMode mode,
                                 const std::vector<uint8_t>& destinationPalette,
                                 const std::vector<uint8_t>& sourcePalette, int rf, int gf,
                                 int bf) {
  auto component = [mode](int d, int s, int factor) {
    if (mode == FactorMode::kAdd) {
      const int v = d + ((s * factor) >> 8);
      return v > 255 ? 255 : v;
    }
    const int amount =
        mode == FactorMode::kSubtract ? (s * factor) >> 8 : ((255 - s) * factor) >> 8;
    const int v = d - amount;
    return v < 0 ? 0 : v;
  };
  std::vector<uint8_t> table(65536);
  for (int d = 0; d < 256; ++d) {
    const Rgb cd = PaletteColour(destinationPalette, d);
    for (int s = 0; s < 256; ++s) {
      const Rgb cs = PaletteColour(sourcePalette, s);
      table[d * 256 + s] = CubeLookup(cube, component(cd.r, cs.r, rf), component(cd.g, cs.g, gf),
                                      component(cd.b, cs.b, bf));
    }
  }
  return table;
}

// The whole blend table as tavi_gcopya applies it: destination pixel (s, d) holds d, source
// pixel (s, d) holds s, so after the copy destination pixel (s, d) is entry d * 256 + s. Selects
// a source screen and sets the copy rectangle of its own.
std::vector<uint8_t> ReadBlendTable(const Library& lib) {
  HostScreen grid(256, 256), sources(256, 256);
  for (int d = 0; d < 256; ++d) {
    for (int s = 0; s < 256; ++s) {
      grid.at(s, d) = static_cast<uint8_t>(d);
      sources.at(s, d) = static_cast<uint8_t>(s);
    }
  }
  lib.tavi_fset(sources.record(), 0, 0, 0);
  lib.tavi_copyset(0, 0, 256, 256);
  lib.tavi_gcopya(grid.record(), 0, 0, 0);
  std::vector<uint8_t> table(65536);
  for (int d = 0; d < 256; ++d) {
    for (int s = 0; s < 256; ++s)
      table[d * 256 + s] = grid.at(s, d);
  }
  return table;
}

// Makes the blend table map destination d to the colour cube entry of colour d of `screen`'s
// palette, for every source pixel: the factor tables with factors 0 (a subtractive build first,
// so that the additive one is never skipped).
void MapThroughCube(const Library& lib, const HostScreen& screen) {
  lib.tavi_fset(screen.record(), 0, 0, 0);
  lib.tavi_decset(screen.record(), 0, 0, 0);
  lib.tavi_addset(screen.record(), 0, 0, 0);
}

// The whole colour cube, 256 cells at a time, each named by a probe palette colour.
std::vector<uint8_t> ReadColourCube(const Library& lib) {
  HostScreen probe(1, 1);
  std::vector<uint8_t> cube(32768);
  for (int chunk = 0; chunk < 128; ++chunk) {
    for (int i = 0; i < 256; ++i) {
      const int cell = chunk * 256 + i;
      probe.SetColour(i, static_cast<uint8_t>((cell >> 10) * 8),
                      static_cast<uint8_t>(((cell >> 5) & 31) * 8),
                      static_cast<uint8_t>((cell & 31) * 8));
    }
    MapThroughCube(lib, probe);
    const auto table = ReadBlendTable(lib);
    for (int i = 0; i < 256; ++i)
      cube[chunk * 256 + i] = table[i * 256];
  }
  return cube;
}

struct Rect {
  int x, y, w, h;
};

// A copy by its definition: rows from the top, pixels from the left, `pixel(c, r)` for every
// rectangle pixel whose source lies in the source screen and whose target lies in the target.
void Walk(HostScreen& target, const HostScreen& source, Rect rect, int c, int r,
          const std::function<void(int x, int y, uint8_t s)>& pixel) {
  const int tx = static_cast<int>(target.field(TAVI_REC_CURSOR_X)) + c;
  const int ty = static_cast<int>(target.field(TAVI_REC_CURSOR_Y)) + r;
  const int sx = rect.x + c, sy = rect.y + r;
  if (tx < 0 || ty < 0 || tx >= target.width() || ty >= target.height()) return;
  if (sx < 0 || sy < 0 || sx >= source.width() || sy >= source.height()) return;
  pixel(tx, ty, source.at(sx, sy));
}

class BlendTest : public ExportTest {
 protected:
  // New random palettes for `destination` and `source`, the cube of the destination's first
  // `count` entries built, and returned as the direct search finds it.
  std::vector<uint8_t> NewPalettesAndCube(uint32_t seed, int count) {
    destination.RandomPalette(seed);
    source.RandomPalette(seed + 1);
    lib().tavi_AlphaInit(destination.record(), count, 0, 0);
    return StraightCube(destination.palette(), count);
  }
  void BuildFactors(FactorMode mode, tavi_word rf, tavi_word gf, tavi_word bf) {
    lib().tavi_fset(source.record(), 0, 0, 0);
    const auto build = mode == FactorMode::kAdd        ? lib().tavi_addset
                       : mode == FactorMode::kSubtract ? lib().tavi_decset
                                                       : lib().tavi_edecset;
    EXPECT_EQ(build(destination.record(), rf, gf, bf), 0);
  }
  std::vector<uint8_t> Table() { return ReadBlendTable(lib()); }
  std::vector<uint8_t> Factors(const std::vector<uint8_t>& cube, FactorMode mode, int r, int g,
                               int b) {
    return FactorTable(cube, mode, destination.palette(), source.palette(), r, g, b);
  }

  HostScreen destination{1, 1};
  HostScreen source{1, 1};
};

// Random palettes, palettes of four component values (many entries at equal distances, where the
// lower index wins, and repeated colours) and of greys (exact hits), with candidate counts that
// wrap; the count reported is that of distinct entries.
TEST_F(BlendTest, CubeEqualsTheDirectSearch) {
  for (const auto& [count, kind] :
       {std::pair{1, 0}, {44, 0}, {0, 0}, {-1, 0}, {-200, 0}, {300, 1}, {256, 2}}) {
    HostScreen screen(1, 1);
    screen.RandomPalette(static_cast<uint32_t>(count));
    std::mt19937 rng(count);
    for (size_t i = 0; i < 1024; ++i) {
      if (kind == 1) screen.palette()[i] = std::array<uint8_t, 4>{0, 7, 11, 255}[rng() % 4];
      if (kind == 2) screen.palette()[i] = static_cast<uint8_t>(i / 4);
    }
    const auto expected = StraightCube(screen.palette(), count);
    std::array<bool, 256> seen{};
    int distinct = 0;
    for (const uint8_t index : expected) {
      distinct += seen[index] ? 0 : 1;
      seen[index] = true;
    }
    EXPECT_EQ(lib().tavi_AlphaInit(screen.record(), count, 0, 0), 0);
    EXPECT_EQ(lib().tavi_AlphaInit(screen.record(), count, 0, -5), 0);
    EXPECT_EQ(lib().tavi_AlphaInit(screen.record(), count, 0, 1), -distinct) << count;
    ASSERT_EQ(ReadColourCube(lib()), expected) << "count " << count;
  }
}

TEST_F(BlendTest, FactorTablesEqualTheirDefinition) {
  Picker pick(11);
  for (int trial = 0; trial < 6; ++trial) {
    const auto cube = NewPalettesAndCube(pick.Seed(), pick(0, 299));
    for (const FactorMode mode :
         {FactorMode::kAdd, FactorMode::kSubtract, FactorMode::kSubtractInverse}) {
      const int r = pick(0, 255), g = pick(0, 255), b = pick(0, 255);
      BuildFactors(mode, r, g, b);
      ASSERT_EQ(Table(), Factors(cube, mode, r, g, b)) << static_cast<int>(mode);
    }
  }
}

// A request equal to the table's own (mode and the three factors' low bytes) keeps the table as
// it is, whatever the palettes and the cube; any other request builds it again from today's.
TEST_F(BlendTest, TablesAreBuiltOnlyForANewRequest) {
  const auto cube = NewPalettesAndCube(12, 0);
  BuildFactors(FactorMode::kSubtract, 1, 2, 3);
  BuildFactors(FactorMode::kAdd, 40, 50, 60);
  const auto built = Factors(cube, FactorMode::kAdd, 40, 50, 60);
  source.RandomPalette(14);
  destination.RandomPalette(15);
  lib().tavi_AlphaInit(destination.record(), 3, 0, 1);  // leaves the table alone
  EXPECT_EQ(Table(), built);
  BuildFactors(FactorMode::kAdd, 40 + 256, 50 - 512, 60 + 1024);
  EXPECT_EQ(Table(), built);
  const auto newCube = StraightCube(destination.palette(), 3);
  for (const auto& [mode, r, g, b] : {std::tuple{FactorMode::kSubtract, 40, 50, 60},
                                      {FactorMode::kAdd, 40, 50, 60},
                                      {FactorMode::kAdd, 41, 50, 60},
                                      {FactorMode::kAdd, 41, 51, 60},
                                      {FactorMode::kAdd, 41, 51, 61}}) {
    BuildFactors(mode, r, g, b);
    ASSERT_EQ(Table(), Factors(newCube, mode, r, g, b)) << r << "," << g << "," << b;
  }
}

// The four alpha copies against the mixture of their definition, at rectangles reaching off the
// source and cursors off the target on every side, keyed and not.
TEST_F(BlendTest, AlphaCopiesMatchTheirDefinition) {
  Picker pick(32);
  destination.RandomPalette(31);
  lib().tavi_AlphaInit(destination.record(), 0, 0, 0);
  const auto cube = StraightCube(destination.palette(), 0);
  HostScreen picture(48, 40);
  picture.FillRandom(33);
  for (int trial = 0; trial < 200; ++trial) {
    HostScreen target(37, 29), model(37, 29);
    target.palette() = destination.palette();
    target.FillRandom(pick.Seed());
    Twin(model, target);
    const Rect rect{pick(-5, 30), pick(-5, 25), pick(-2, 30), pick(-2, 22)};
    const int cx = pick(-30, 40), cy = pick(-25, 35), alpha = pick(0, 255);
    const int key = trial % 3 == 0 ? -1 : pick(0, 299), which = trial % 4;
    target.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    Select(picture, target, rect.x, rect.y, rect.w, rect.h);
    const auto fn = std::array{lib().tavi_gcopyf, lib().tavi_gcopyfc, lib().tavi_gcopyfr,
                               lib().tavi_gcopyfrc}[which];
    ASSERT_EQ(fn(target.record(), alpha, key, 0), 0);
    for (int r = 0; r < rect.h; ++r) {
      for (int c = 0; c < rect.w; ++c) {
        Walk(model, picture, rect, c, r, [&](int x, int y, uint8_t s) {
          if (which % 2 == 1 && s == key) return;
          model.at(x, y) = AlphaMix(cube, destination.palette(), model.at(x, y), s, alpha);
        });
      }
    }
    ASSERT_TRUE(SamePixels(target, model)) << "trial " << trial << " export " << which;
  }
}

// tavi_GFade by its definition: q = N * L / 255 pixels of the N, pixel number (i * step) >> 8
// with step = 256 * N / q, its row and column by truncating division.
void ModelFade(HostScreen& target, const HostScreen& source, Rect rect, int level, int key) {
  const int64_t n = int64_t{rect.w} * rect.h, q = n * (level & 255) / 255;
  for (int64_t i = 0; i < q; ++i) {
    const int64_t k = (i * (256 * n / q)) >> 8;
    Walk(target, source, rect, static_cast<int>(k % rect.w), static_cast<int>(k / rect.w),
         [&](int x, int y, uint8_t s) {
           if (s != key) target.at(x, y) = s;
         });
  }
}

// tavi_GFade2 by its definition: rows from the top, each from its rightmost pixel, pixel i of
// that order copied when pattern byte i mod 16 is not 0.
void ModelPattern(HostScreen& target, const HostScreen& source, Rect rect,
                  const std::array<uint8_t, 16>& pattern) {
  for (int r = 0, i = 0; r < rect.h; ++r) {
    for (int c = rect.w - 1; c >= 0; --c, ++i) {
      if (pattern[i % 16] != 0)
        Walk(target, source, rect, c, r, [&](int x, int y, uint8_t s) { target.at(x, y) = s; });
    }
  }
}

// Rectangles of negative sides, off either screen, and source and target one screen (each pixel
// read just before its write).
TEST_F(BlendTest, DissolvesMatchTheirDefinition) {
  Picker pick(51);
  for (int trial = 0; trial < 400; ++trial) {
    const bool same = trial % 5 == 0, pattern = trial % 2 == 1;
    HostScreen picture(164, 48), target(160, 50), model(160, 50);
    picture.FillRandom(trial);
    target.FillRandom(trial + 1);
    HostScreen& from = same ? target : picture;
    Twin(model, target);
    HostScreen modelSource(164, 48);
    Twin(modelSource, picture);
    const Rect rect{pick(-4, 24), pick(-4, 24), pick(-6, 140), pick(-6, 30)};
    // Level 255 (every pixel, row by row) a quarter of the time.
    // One screen: the target often on the source's rows, up to 70 pixels either side.
    const int cx = same ? rect.x + pick(-70, 70) : pick(-8, 140);
    const int cy = same ? rect.y + pick(-1, 1) : pick(-8, 40);
    const int key = trial % 8 == 0 ? -1 : pick(0, 300);
    const int level = trial % 4 == 0 ? 255 : pick(-50, 550);
    target.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    Select(from, target, rect.x, rect.y, rect.w, rect.h);
    std::array<uint8_t, 16> bytes{};
    for (auto& b : bytes)
      b = pick(0, 2) == 0 ? static_cast<uint8_t>(pick(0, 255)) : 0;
    if (pattern) {
      ASSERT_EQ(lib().tavi_GFade2(Word(bytes.data()), 0, 0, 0), 0);
      ModelPattern(model, same ? model : modelSource, rect, bytes);
    } else {
      ASSERT_EQ(lib().tavi_GFade(level, key, 0, 0), 0);
      ModelFade(model, same ? model : modelSource, rect, level, key);
    }
    ASSERT_TRUE(SamePixels(target, model)) << "trial " << trial;
  }
}

// Level 192 of 10 x 10: q = 75, step 341, so pixels 0, 1, 2, 3, 5, 6, 7, 9 ... are copied. The
// first pattern byte alone copies pixels 0, 16, 32 ...: the last column of every row of a
// 16-wide rectangle, and a diagonal of a 17-wide one.
TEST_F(BlendTest, DissolveWorkedExamples) {
  HostScreen ones(17, 16), target(17, 16);
  ones.Fill(1);
  target.Fill(0);
  Select(ones, target, 0, 0, 10, 10);
  target.SetCursor(0, 0);
  lib().tavi_GFade(192, -1, 0, 0);
  const std::vector<int> first{1, 1, 1, 1, 0, 1, 1, 1, 0, 1};
  int count = 0;
  for (int i = 0; i < 100; ++i)
    count += target.at(i % 10, i / 10);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(target.at(i, 0), first[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(count, 75);
  const std::array<uint8_t, 16> pattern{1};
  for (const int w : {16, 17}) {
    target.Fill(0);
    lib().tavi_copyset(0, 0, w, 16);
    lib().tavi_GFade2(Word(pattern.data()), 0, 0, 0);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < w; ++x) {
        const bool copied = w == 16 ? x == 15 : (y == 0 ? x == 0 || x == 16 : x == y);
        ASSERT_EQ(target.at(x, y), copied ? 1 : 0) << w << ": " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace tavitest
