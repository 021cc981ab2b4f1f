// Blended copies through the exports, against a pixel-by-pixel model of the rectangle walk:
// rows from the top, pixels from the left, each destination pixel outside the screen skipped.
#include <functional>
#include <random>
#include <vector>

#include "harness/fixture.h"
#include "host/host_screen.h"
#include "models/blend_model.h"

namespace tavitest {
namespace {

struct Rect {
  int x, y, w, h;
};

// The walk of the blended copies as written, with `mix(d, s)` as the pixel rule; a source pixel
// equal to key is left out. The source rectangle lies inside the source screen.
void ModelBlend(HostScreen& destination, const HostScreen& source, Rect rect, int key,
                const std::function<uint8_t(uint8_t, uint8_t)>& mix) {
  const int cx = static_cast<int>(destination.word(TAVI_REC_CURSOR_X));
  const int cy = static_cast<int>(destination.word(TAVI_REC_CURSOR_Y));
  for (int r = 0; r < rect.h; ++r) {
    const int y = cy + r;
    if (y < 0 || y >= destination.height()) continue;
    for (int c = 0; c < rect.w; ++c) {
      const int x = cx + c;
      if (x < 0 || x >= destination.width()) continue;
      const uint8_t s = source.at(rect.x + c, rect.y + r);
      if (s == key) continue;
      destination.at(x, y) = mix(destination.at(x, y), s);
    }
  }
}

class BlendCopyTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    palette_.RandomPalette(31);
    lib().tavi_AlphaInit(palette_.record(), 0, 0, 0);
    cube_ = tavimodel::StraightCube(palette_.palette(), 0);
  }

  // A destination screen with the palette the cube was built from.
  void UsePalette(HostScreen& screen) { screen.palette() = palette_.palette(); }

  // Two destination screens with that palette and the same random pixels.
  void Twins(HostScreen& a, HostScreen& b, uint32_t seed) {
    UsePalette(a);
    UsePalette(b);
    a.FillRandom(seed);
    b.pixels() = a.pixels();
  }

  void Select(const HostScreen& source, Rect rect) {
    lib().tavi_fset(source.record(), 0, 0, 0);
    lib().tavi_copyset(rect.x, rect.y, rect.w, rect.h);
  }

  std::function<uint8_t(uint8_t, uint8_t)> AlphaRule(int alpha) {
    return [this, alpha](uint8_t d, uint8_t s) {
      return tavimodel::AlphaMix(cube_, palette_.palette(), d, s, alpha);
    };
  }

  HostScreen palette_{1, 1};
  std::vector<uint8_t> cube_;
};

TEST_F(BlendCopyTest, AlphaCopiesMatchTheModelWhereverTheRectangleLands) {
  std::mt19937 rng(32);
  HostScreen source(48, 40);
  source.FillRandom(33);
  for (int trial = 0; trial < 200; ++trial) {
    HostScreen destination(37, 29), model(37, 29);
    Twins(destination, model, rng());
    const Rect rect{static_cast<int>(rng() % 20), static_cast<int>(rng() % 20),
                    static_cast<int>(rng() % 29) - 2, static_cast<int>(rng() % 21) - 2};
    const int cx = static_cast<int>(rng() % 70) - 30, cy = static_cast<int>(rng() % 60) - 25;
    destination.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    const int alpha = static_cast<int>(rng() % 256);
    const int key = trial % 3 == 0 ? -1 : static_cast<int>(rng() % 300);
    const int which = trial % 4;  // gcopyf, gcopyfc, gcopyfr, gcopyfrc
    Select(source, rect);
    const auto fn = std::array{lib().tavi_gcopyf, lib().tavi_gcopyfc, lib().tavi_gcopyfr,
                               lib().tavi_gcopyfrc}[which];
    ASSERT_EQ(fn(destination.record(), alpha, key, 0), 0);
    ModelBlend(model, source, rect, which % 2 == 1 ? key : -1, AlphaRule(alpha));
    ASSERT_EQ(destination.pixels(), model.pixels())
        << "export " << which << " rect " << rect.x << "," << rect.y << " " << rect.w << "x"
        << rect.h << " cursor " << cx << "," << cy << " alpha " << alpha << " key " << key;
  }
}

TEST_F(BlendCopyTest, DirectMixtureDrawsWhatTheTableDraws) {
  HostScreen source(64, 48), viaTable(64, 48), direct(64, 48);
  source.FillRandom(34);
  Twins(viaTable, direct, 35);
  Select(source, Rect{0, 0, 64, 48});
  for (const int alpha : {0, 1, 77, 128, 200, 254, 255}) {
    lib().tavi_gcopyf(viaTable.record(), alpha, 0, 0);
    lib().tavi_gcopyfr(direct.record(), alpha, 0, 0);
    ASSERT_EQ(direct.pixels(), viaTable.pixels()) << alpha;
  }
}

TEST_F(BlendCopyTest, EmptyRectangleStillBuildsTheAlphaTable) {
  HostScreen source(16, 16), destination(16, 16), model(16, 16);
  source.FillRandom(43);
  Twins(destination, model, 44);
  lib().tavi_fset(source.record(), 0, 0, 0);
  lib().tavi_addset(destination.record(), 50, 50, 50);
  lib().tavi_copyset(0, 0, 16, 0);
  lib().tavi_gcopyf(destination.record(), 60, 0, 0);  // draws nothing, builds alpha 60
  EXPECT_EQ(destination.pixels(), model.pixels());
  lib().tavi_copyset(0, 0, 16, 16);
  lib().tavi_gcopya(destination.record(), 0, 0, 0);
  ModelBlend(model, source, Rect{0, 0, 16, 16}, -1, AlphaRule(60));
  EXPECT_EQ(destination.pixels(), model.pixels());
}

TEST_F(BlendCopyTest, DirectCopyLeavesAnAdditiveTableInPlace) {
  HostScreen source(16, 16), destination(16, 16), model(16, 16);
  source.FillRandom(45);
  source.palette() = palette_.palette();
  Twins(destination, model, 46);
  Select(source, Rect{0, 0, 16, 16});
  lib().tavi_addset(destination.record(), 70, 80, 90);
  lib().tavi_gcopyfr(destination.record(), 128, 0, 0);
  lib().tavi_gcopyfrc(destination.record(), 128, 3, 0);
  lib().tavi_gcopya(destination.record(), 0, 0, 0);
  const auto additive = tavimodel::FactorTable(cube_, tavimodel::FactorMode::kAdd,
                                               palette_.palette(), palette_.palette(), 70, 80, 90);
  ModelBlend(model, source, Rect{0, 0, 16, 16}, -1, AlphaRule(128));
  ModelBlend(model, source, Rect{0, 0, 16, 16}, 3, AlphaRule(128));
  ModelBlend(model, source, Rect{0, 0, 16, 16}, -1,
             [&](uint8_t d, uint8_t s) { return additive[d * 256 + s]; });
  EXPECT_EQ(destination.pixels(), model.pixels());
}

TEST_F(BlendCopyTest, CopyWithinOneScreenReadsEachPixelJustBeforeItsWrite) {
  std::mt19937 rng(47);
  for (int trial = 0; trial < 50; ++trial) {
    HostScreen screen(24, 20), model(24, 20);
    Twins(screen, model, rng());
    const Rect rect{static_cast<int>(rng() % 8), static_cast<int>(rng() % 8), 12, 10};
    const int cx = static_cast<int>(rng() % 12), cy = static_cast<int>(rng() % 10);
    screen.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    Select(screen, rect);
    lib().tavi_gcopyf(screen.record(), 99, 0, 0);
    ModelBlend(model, model, rect, -1, AlphaRule(99));
    ASSERT_EQ(screen.pixels(), model.pixels()) << trial;
  }
}

// A rectangle reaching outside the source screen is the host's error; the library reads only
// inside the screen and leaves the destination pixels of the missing part alone.
TEST_F(BlendCopyTest, PixelsReadFromOutsideTheSourceAreSkipped) {
  HostScreen source(8, 8), destination(32, 32), model(32, 32);
  source.FillRandom(48);
  Twins(destination, model, 49);
  destination.SetCursor(10, 10);
  Select(source, Rect{-3, -2, 14, 13});
  lib().tavi_gcopyf(destination.record(), 140, 0, 0);
  const auto mix = AlphaRule(140);
  for (int r = 0; r < 13; ++r) {
    for (int c = 0; c < 14; ++c) {
      const int sx = c - 3, sy = r - 2;
      if (sx < 0 || sy < 0 || sx >= 8 || sy >= 8) continue;
      model.at(10 + c, 10 + r) = mix(model.at(10 + c, 10 + r), source.at(sx, sy));
    }
  }
  EXPECT_EQ(destination.pixels(), model.pixels());
}

}  // namespace
}  // namespace tavitest
