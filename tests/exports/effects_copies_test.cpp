// Keyed one-to-one copies and the pixel doubler through the exports.
#include <random>

#include "harness/fixture.h"

namespace tavitest {
namespace {

struct Rect {
  int x, y, w, h;
};

// The keyed copy by its definition: pixel by pixel in order, each read just before it is written,
// a source pixel equal to `key` left out; with `clipped`, target pixels off the screen are skipped.
void ModelKeyedCopy(HostScreen& dst, const HostScreen& src, Rect r, int key, bool clipped) {
  const int cx = static_cast<int>(dst.word(TAVI_REC_CURSOR_X));
  const int cy = static_cast<int>(dst.word(TAVI_REC_CURSOR_Y));
  for (int j = 0; j < r.h; ++j) {
    for (int i = 0; i < r.w; ++i) {
      const int x = cx + i, y = cy + j;
      if (clipped && (x < 0 || y < 0 || x >= dst.width() || y >= dst.height())) continue;
      const int p = src.at(r.x + i, r.y + j);
      if (!(key >= 0 && p == key)) dst.at(x, y) = static_cast<uint8_t>(p);
    }
  }
}

using CopiesTest = ExportTest;

TEST_F(CopiesTest, Gcopy2eClipsTheTargetAndKeepsTheVisiblePartInPlace) {
  HostScreen src(20, 20), dst(10, 8);
  src.FillRandom(2);
  dst.Fill(0xEE);
  Select(src, dst, 4, 5, 15, 12);
  dst.SetCursor(-3, -2);
  lib().tavi_gcopy2e(-1, 0, 0, 0);
  EXPECT_EQ(dst.at(0, 0), src.at(4 + 3, 5 + 2));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(dst.at(x, y), src.at(7 + x, 7 + y)) << x << "," << y;
  }
}

TEST_F(CopiesTest, KeyedCopiesMatchTheModelForRandomRectangles) {
  std::mt19937 rng(3);
  for (int trial = 0; trial < 300; ++trial) {
    const bool clipped = trial % 2 == 1;
    HostScreen src(64, 40), dst(60, 36), model(60, 36);
    src.FillRandom(trial);
    for (auto& p : src.pixels())
      p = p < 100 ? 42 : p;  // about 40% key pixels
    dst.FillRandom(trial + 3000);
    model.pixels() = dst.pixels();
    const int w = static_cast<int>(rng() % 61) - 1, h = static_cast<int>(rng() % 37) - 1;
    const Rect r{static_cast<int>(rng() % 4), static_cast<int>(rng() % 4), w, h};
    int cx = 0, cy = 0;
    if (clipped) {
      cx = static_cast<int>(rng() % 120) - 60;
      cy = static_cast<int>(rng() % 72) - 36;
    } else if (w > 0 && h > 0) {
      cx = static_cast<int>(rng() % static_cast<unsigned>(61 - w));
      cy = static_cast<int>(rng() % static_cast<unsigned>(37 - h));
    }
    const int key = (trial % 3 == 0) ? -1 : 42;
    Select(src, dst, r.x, r.y, r.w, r.h);
    dst.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    if (clipped) {
      lib().tavi_gcopy2e(key, 0, 0, 0);
    } else {
      lib().tavi_gcopy2(key, 0, 0, 0);
    }
    ModelKeyedCopy(model, src, r, key, clipped);
    ASSERT_EQ(dst.pixels(), model.pixels()) << "trial " << trial;
  }
}

// Source and target the same screen: the copy is pixel by pixel from the left, so a target
// a few pixels ahead in the same row repeats what it has just written.
TEST_F(CopiesTest, KeyedCopyWithinOneScreenFollowsThePixelOrder) {
  std::mt19937 rng(4);
  for (int trial = 0; trial < 400; ++trial) {
    HostScreen screen(48, 20), model(48, 20);
    screen.FillRandom(trial);
    for (auto& p : screen.pixels())
      p = p < 80 ? 9 : p;
    model.pixels() = screen.pixels();
    const int w = 1 + static_cast<int>(rng() % 30), h = 1 + static_cast<int>(rng() % 8);
    const Rect r{static_cast<int>(rng() % 16), static_cast<int>(rng() % 10), w, h};
    // Mostly small distances, where groups of pixels would read pixels already written.
    const int cx = std::min(48 - w, std::max(0, r.x + static_cast<int>(rng() % 21) - 10));
    const int cy = std::min(20 - h, std::max(0, r.y + static_cast<int>(rng() % 3) - 1));
    const int key = static_cast<int>(rng() % 3) - 1 == 0 ? 9 : -1;
    Select(screen, screen, r.x, r.y, r.w, r.h);
    screen.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    if (trial % 2 == 0) {
      lib().tavi_gcopy2(key, 0, 0, 0);
    } else {
      lib().tavi_gcopy2e(key, 0, 0, 0);
    }
    ModelKeyedCopy(model, model, r, key, trial % 2 == 1);
    ASSERT_EQ(screen.pixels(), model.pixels()) << "trial " << trial;
  }
}

// Mode 0 fills every target row; any other mode leaves the even rows (the top one among them)
// for scan lines.
TEST_F(CopiesTest, DoublerWritesEveryRowInModeZeroAndEveryOddRowOtherwise) {
  HostScreen src(320, 240), dst(640, 480);
  src.FillRandom(7);
  Select(src, dst);
  for (const int mode : {0, 1, -1, 7}) {
    dst.Fill(0xEE);
    lib().tavi_HGCP320(mode, 0, 0, 0);
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        ASSERT_EQ(dst.at(x, y), (mode != 0 && y % 2 == 0) ? 0xEE : src.at(x / 2, y / 2))
            << mode << ": " << x << "," << y;
      }
    }
  }
}

// The doubler reads and writes raw memory from the first byte: a bigger source is read as
// 320-byte rows from its start, whatever its own width.
TEST_F(CopiesTest, DoublerIgnoresTheScreenSizes) {
  HostScreen src(400, 250), dst(700, 500);
  src.FillRandom(8);
  dst.Fill(0xEE);
  Select(src, dst);
  lib().tavi_HGCP320(0, 0, 0, 0);
  for (size_t r = 0; r < 480; ++r) {
    for (size_t x = 0; x < 640; ++x)
      ASSERT_EQ(dst.pixels()[r * 640 + x], src.pixels()[(r / 2) * 320 + x / 2]) << r << "," << x;
  }
  for (size_t i = 640 * 480; i < dst.pixels().size(); ++i)
    ASSERT_EQ(dst.pixels()[i], 0xEE) << i;
}

// A source inside the target's buffer, at its start or past the first 320 x 240 bytes: byte by
// byte in the defined order, each source byte read just before its pixels are written.
TEST_F(CopiesTest, DoublerWithinOneBufferFollowsTheByteOrder) {
  for (const auto& [mode, offset] : {std::pair{0, 0}, {1, 0}, {0, 100000}, {1, 150001}}) {
    HostScreen screen(640, 480), source(320, 240);
    screen.FillRandom(9);
    source.word(TAVI_REC_PIXELS) = Word(screen.pixels().data() + offset);
    std::vector<uint8_t> model = screen.pixels();
    Select(source, screen);
    lib().tavi_HGCP320(mode, 0, 0, 0);
    for (size_t r = 0; r < 240; ++r) {
      for (size_t x = 0; x < 320; ++x) {
        const uint8_t p = model[offset + r * 320 + x];
        for (size_t row = 2 * r; row < (mode == 0 ? 2 * r + 2 : 2 * r + 1); ++row) {
          model[row * 640 + 2 * x] = p;
          model[row * 640 + 2 * x + 1] = p;
        }
      }
    }
    ASSERT_EQ(screen.pixels(), model) << mode << " " << offset;
  }
}

}  // namespace
}  // namespace tavitest
