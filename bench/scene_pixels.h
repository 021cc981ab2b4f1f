// The 640 x 480 pictures that the picture benchmarks encode and load: a synthetic scene of tiles,
// and three made like desktop wallpapers reduced to 256 colours.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace tavibench {

inline constexpr int32_t kSceneW = 640, kSceneH = 480;

// Tiles of 16 x 16: a third flat in colour 0, a third flat in other colours, a third noise, so
// that every kind meets runs (or skips) and literals.
inline const std::vector<uint8_t>& Scene() {
  static const std::vector<uint8_t> image = [] {
    std::vector<uint8_t> p(static_cast<size_t>(kSceneW) * kSceneH);
    std::mt19937 rng(2026);
    for (int32_t ty = 0; ty < kSceneH / 16; ++ty) {
      for (int32_t tx = 0; tx < kSceneW / 16; ++tx) {
        const uint32_t kind = rng() % 3;
        const auto flat = static_cast<uint8_t>(kind == 0 ? 0 : 1 + rng() % 255);
        for (int32_t y = ty * 16; y < ty * 16 + 16; ++y) {
          for (int32_t x = tx * 16; x < tx * 16 + 16; ++x) {
            p[static_cast<size_t>(y) * kSceneW + x] =
                kind == 2 ? static_cast<uint8_t>(rng()) : flat;
          }
        }
      }
    }
    return p;
  }();
  return image;
}

// Pictures like wallpapers reduced to 256 colours, made with integer arithmetic only (the same
// pixels in every build): smooth gradients become bands of neighbouring indexes broken up by a
// 4 x 4 ordered dither, beside large flat areas and fine detail.
enum class Wallpaper { kLandscape, kDesktop, kPlasma };
inline constexpr std::array<Wallpaper, 3> kWallpapers = {Wallpaper::kLandscape, Wallpaper::kDesktop,
                                                         Wallpaper::kPlasma};

inline const char* WallpaperName(Wallpaper which) {
  return which == Wallpaper::kLandscape ? "landscape"
         : which == Wallpaper::kDesktop ? "desktop"
                                        : "plasma";
}

namespace wallpaper {

// Index `base` + level, where level runs over `levels` steps as `t` runs over 0 .. `span`, with
// the fraction between two steps spread by the ordered dither at (x, y).
inline uint8_t Dithered(int32_t x, int32_t y, int32_t base, int32_t levels, int32_t t,
                        int32_t span) {
  static constexpr std::array<int32_t, 16> kBayer = {0, 8,  2, 10, 12, 4, 14, 6,
                                                     3, 11, 1, 9,  15, 7, 13, 5};
  const int32_t scaled = t * (levels - 1) * 16 / std::max(span, 1);
  const auto cell = static_cast<size_t>(y & 3) * 4 + static_cast<size_t>(x & 3);
  const int32_t level = (scaled + kBayer[cell]) / 16;
  return static_cast<uint8_t>(base + std::clamp(level, 0, levels - 1));
}

// A triangle wave of the given period, 0 .. period / 2.
inline int32_t Wave(int32_t t, int32_t period) {
  const int32_t m = ((t % period) + period) % period;
  return m < period / 2 ? m : period - m;
}

// Sky in a vertical gradient, a sun, two ranges of flat hills, a field of grass in fine detail.
inline uint8_t Landscape(int32_t x, int32_t y, std::mt19937& rng) {
  const int32_t dx = x - 470, dy = y - 110;
  const int32_t far = 250 + Wave(x, 230) / 2 + Wave(x + 40, 70) / 3;
  const int32_t near = 320 + Wave(x + 90, 310) / 3 + Wave(x, 50) / 5;
  if (y >= 400) return static_cast<uint8_t>(160 + rng() % 40);  // grass
  if (y >= near) return Dithered(x, y, 120, 12, y - near, 80);
  if (y >= far) return 100;  // the far range, one colour
  if (dx * dx + dy * dy < 45 * 45) return 250;
  return Dithered(x, y, 16, 64, y, far);
}

// A flat desktop colour, windows with gradient title bars, 1-pixel frames and lines of text,
// a column of icons.
inline uint8_t Desktop(int32_t x, int32_t y, std::mt19937& rng) {
  struct Window {
    int32_t x, y, w, h;
  };
  static constexpr std::array<Window, 3> kWindows = {
      Window{120, 40, 300, 220}, Window{260, 180, 340, 260}, Window{40, 300, 200, 150}};
  for (size_t i = kWindows.size(); i-- > 0;) {
    const Window& w = kWindows[i];
    if (x < w.x || y < w.y || x >= w.x + w.w || y >= w.y + w.h) continue;
    if (x == w.x || y == w.y || x == w.x + w.w - 1 || y == w.y + w.h - 1) return 0;
    if (y < w.y + 18) return Dithered(x, y, 40, 24, x - w.x, w.w);
    const int32_t line = (y - w.y - 18) % 14, column = (x - w.x - 6) % 6;
    const bool text = line >= 3 && line < 10 && column < 5 && x > w.x + 5 && x < w.x + w.w - 8;
    return text && rng() % 3 == 0 ? 0 : 255;
  }
  if (x >= 8 && x < 40 && (y - 8) % 48 < 32 && y < 440) return static_cast<uint8_t>(rng());
  return 30;
}

// A plasma of crossing waves in dithered colour, inside a flat frame: detail everywhere.
inline uint8_t Plasma(int32_t x, int32_t y, std::mt19937&) {
  if (x < 24 || y < 24 || x >= kSceneW - 24 || y >= kSceneH - 24) return 8;
  const int32_t v = Wave(x, 180) + Wave(y, 140) + Wave(x + y, 220) + Wave(x - 2 * y, 260);
  return Dithered(x, y, 16, 224, v, 400);
}

}  // namespace wallpaper

inline const std::vector<uint8_t>& WallpaperPixels(Wallpaper which) {
  static const std::array<std::vector<uint8_t>, 3> images = [] {
    std::array<std::vector<uint8_t>, 3> all;
    for (const Wallpaper w : kWallpapers) {
      std::vector<uint8_t> p(static_cast<size_t>(kSceneW) * kSceneH);
      std::mt19937 rng(7);
      for (int32_t y = 0; y < kSceneH; ++y) {
        for (int32_t x = 0; x < kSceneW; ++x) {
          p[static_cast<size_t>(y) * kSceneW + x] =
              w == Wallpaper::kLandscape ? wallpaper::Landscape(x, y, rng)
              : w == Wallpaper::kDesktop ? wallpaper::Desktop(x, y, rng)
                                         : wallpaper::Plasma(x, y, rng);
        }
      }
      all[static_cast<size_t>(w)] = std::move(p);
    }
    return all;
  }();
  return images[static_cast<size_t>(which)];
}

}  // namespace tavibench
