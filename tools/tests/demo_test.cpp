// tavikit demo as a user runs it: 30 frames headless, then its pictures and its sound checked
// where the scene's layout says each effect shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "demo/demo_art.h"
#include "harness/temp_dir.h"
#include "png/png_io.h"

namespace {

using namespace tavidemo;
using tavitool::IndexedImage;

constexpr int32_t kFrames = 30;

IndexedImage Frame(const tavitest::TempDir& dir, int32_t n) {
  IndexedImage image;
  std::string error;
  char name[32];
  std::snprintf(name, sizeof name, "out/frame_%04d.png", n);
  EXPECT_TRUE(tavitool::ReadIndexedPng(dir.Path(name), image, error)) << error;
  return image;
}

// True when the size x size block at (x, y) holds one index only.
bool Uniform(IndexedImage& f, int32_t x, int32_t y, int32_t size) {
  for (int32_t dy = 0; dy < size; ++dy) {
    for (int32_t dx = 0; dx < size; ++dx) {
      if (f.at(x + dx, y + dy) != f.at(x, y)) return false;
    }
  }
  return true;
}

int SkyProbes(IndexedImage& f, Ramp ramp) {
  int n = 0;
  for (int32_t x : {24, 200, 380})
    n += InRamp(f.at(x, kSkyProbeY), ramp);
  return n;
}

// What every frame shows: the crates, the star, the logo and the panel where the scene draws
// them, and the magnifier's pixel pairs with every second row left dark.
void CheckFixedEffects(IndexedImage& f) {
  for (const Point& c : kCrates)
    EXPECT_EQ(f.at(c.x + 16, c.y + 16), kCrateCentre);
  EXPECT_EQ(f.at(kStar.x + kStarSize / 2, kStar.y + kStarSize / 2), kStarCentre);
  EXPECT_EQ(f.at(kLogoCentreAt.x, kLogoCentreAt.y), kLogoCentre);
  EXPECT_NE(f.at(kPanel.x + kPanelW / 2, kPanel.y + kPanelH / 2), RampIndex(kGrey, 6));
  int dark = 0;
  for (int32_t y = kInset.y; y < kInset.y + kInsetH; ++y) {
    bool allDark = true;
    for (int32_t x = kInset.x; x < kInset.x + kInsetW; x += 2) {
      allDark = allDark && f.at(x, y) == kBlack && f.at(x + 1, y) == kBlack;
      EXPECT_EQ(f.at(x, y), f.at(x + 1, y));
    }
    dark += allDark;
  }
  EXPECT_EQ(dark, kInsetH / 2);
}

// mix.wav: 44-byte header, 16-bit stereo; silent until the first cue, sounding after it.
void CheckMix(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(wav.size(), 44u);
  ASSERT_EQ(std::string(wav.data(), 4), "RIFF");
  uint32_t rate = 0;
  for (int i = 0; i < 4; ++i)
    rate |= uint32_t{static_cast<uint8_t>(wav[24 + i])} << (8 * i);
  const auto* samples = reinterpret_cast<const int16_t*>(wav.data() + 44);
  const size_t count = (wav.size() - 44) / 2;
  const double firstCue = kFirstSoundStep * kFrames / 120.0 / kFramesPerSecond;
  const auto at = [rate](double seconds) { return static_cast<size_t>(seconds * rate) * 2; };
  ASSERT_GT(count, at(firstCue + 0.3));
  for (size_t i = 0; i < at(firstCue * 0.75); ++i)
    ASSERT_EQ(samples[i], 0) << "sample " << i;
  int loud = 0;
  for (size_t i = at(firstCue + 0.1); i < count; ++i)
    loud += samples[i] > 200 || samples[i] < -200;
  EXPECT_GT(loud, 1000);
}

TEST(TavikitDemo, EveryEffectShowsWhereTheSceneDrawsItAndTheMixFollowsTheFrames) {
  tavitest::TempDir dir;
  const std::string command = std::string("env -u TAVIKIT_AUDIO \"") + TAVIKIT_TOOL +
                              "\" demo --frames " + std::to_string(kFrames) + " --out \"" +
                              dir.Path("out") + "\" > \"" + dir.Path("log") + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);

  IndexedImage first = Frame(dir, 0);
  EXPECT_EQ(first.at(kCharacterStart.x + kEyeOffset.x, kCharacterStart.y + kEyeOffset.y), kEye);
  EXPECT_NE(first.at(kCharacterStart.x + 1, kCharacterStart.y + 1), kBlack);  // transparent
  int mosaicChecked = 0, fadeChecked = 0;
  for (int32_t n = 0; n < kFrames; ++n) {
    SCOPED_TRACE("frame " + std::to_string(n));
    IndexedImage f = Frame(dir, n);
    CheckFixedEffects(f);
    const Moment m = At(n, kFrames);
    if (m.mosaic >= 32 && !m.night) {
      for (int32_t x = m.mosaic; x < 5 * m.mosaic; x += m.mosaic)
        EXPECT_TRUE(Uniform(f, x, 2 * m.mosaic, m.mosaic));
      EXPECT_FALSE(Uniform(first, m.mosaic, 2 * m.mosaic, m.mosaic));  // not before the mosaic
      ++mosaicChecked;
    } else if (m.fade > 64 && m.fade < 192) {
      EXPECT_GT(SkyProbes(f, kDaySky) + SkyProbes(f, kNightSky), 1);
      int day = 0, night = 0;
      for (int32_t x = 0; x < 400; ++x) {
        day += InRamp(f.at(x, kSkyProbeY), kDaySky);
        night += InRamp(f.at(x, kSkyProbeY), kNightSky);
      }
      EXPECT_GT(day, 40);
      EXPECT_GT(night, 40);
      ++fadeChecked;
    } else if (m.mosaic == 0 && m.fade == 0) {
      EXPECT_GE(SkyProbes(f, m.night ? kNightSky : kDaySky), 2);
    }
  }
  EXPECT_GT(mosaicChecked, 0);
  EXPECT_GT(fadeChecked, 0);
  CheckMix(dir.Path("out/mix.wav"));
}

}  // namespace
