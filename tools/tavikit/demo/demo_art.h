// The demo's palette, layout and timeline: what the scene draws where and when. The demo and its
// test both read these, so that the test knows where to look without knowing how it was drawn.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace tavidemo {

inline constexpr int32_t kWidth = 640;
inline constexpr int32_t kHeight = 480;
inline constexpr int32_t kFramesPerSecond = 30;
inline constexpr int32_t kCellSize = 32;  // character and crate cells
inline constexpr int32_t kMapCell = 16;   // background-map cells are 16 x 16 pixels

// Palette: a few named indexes, then eight ramps of 30 levels from dark to light.
inline constexpr uint8_t kBlack = 0;  // also the cells' transparent index
inline constexpr uint8_t kWhite = 1;
inline constexpr uint8_t kBody = 2;
inline constexpr uint8_t kEye = 3;
inline constexpr uint8_t kCrateCentre = 4;
inline constexpr uint8_t kStarCentre = 5;
inline constexpr uint8_t kLogoCentre = 6;
inline constexpr int kRampLevels = 30;
enum Ramp { kDaySky, kGrass, kEarth, kNightSky, kNightHills, kRed, kGold, kGrey };
constexpr uint8_t RampIndex(Ramp ramp, int level) {
  return static_cast<uint8_t>(16 + ramp * kRampLevels + std::clamp(level, 0, kRampLevels - 1));
}
constexpr bool InRamp(uint8_t index, Ramp ramp) {
  return index >= RampIndex(ramp, 0) && index <= RampIndex(ramp, kRampLevels - 1);
}

// Where things are on the 640 x 480 display (top-left corners).
struct Point {
  int32_t x, y;
};
inline constexpr Point kCharacterStart = {96, 200};
inline constexpr Point kEyeOffset = {20, 10};  // inside the character cell
inline constexpr std::array<Point, 3> kCrates = {{{256, 384}, {288, 384}, {448, 288}}};
inline constexpr int32_t kGroundTop = 416;  // the ground rows, solid in the background map
inline constexpr Point kPanel = {8, 8};     // the blended panel, kPanelW x kPanelH
inline constexpr int32_t kPanelW = 200;
inline constexpr int32_t kPanelH = 40;
inline constexpr Point kStar = {560, 16};  // the rotating star, kStarSize square
inline constexpr int32_t kStarSize = 64;
inline constexpr Point kLogoCentreAt = {320, 56};  // the zoomed logo is centred here
inline constexpr Point kInset = {464, 344};        // the pixel-doubled magnifier inset
inline constexpr int32_t kInsetW = 160;
inline constexpr int32_t kInsetH = 120;
inline constexpr int32_t kSkyProbeY = 120;  // a sky row that nothing else covers at x < 400

// The timeline in 120 steps, whatever the number of frames: day, a mosaic transition to night,
// night, a dissolve back to day, day.
struct Moment {
  int step = 0;        // 0 to 119
  bool night = false;  // which background the frame shows
  int32_t mosaic = 0;  // block size of the mosaic transition, 0 for none
  int32_t fade = 0;    // 1 to 255: that much of the day dissolved over the night
};
inline constexpr std::array<int32_t, 10> kMosaicSizes = {2, 4, 5, 8, 10, 16, 20, 32, 40, 80};
inline constexpr int kFirstSoundStep = 16;

inline Moment At(int32_t frame, int32_t frames) {
  Moment m;
  m.step = static_cast<int>(static_cast<int64_t>(frame) * 120 / std::max(frames, 1));
  const int s = m.step;
  m.night = s >= 50 && s < 110;
  if (s >= 40 && s < 50) m.mosaic = kMosaicSizes[s - 40];
  if (s >= 50 && s < 60) m.mosaic = kMosaicSizes[59 - s];
  if (s >= 90 && s < 110) m.fade = (s - 89) * 255 / 20;
  return m;
}

}  // namespace tavidemo
