// The 640 x 480 picture that the picture benchmarks encode and load.
#pragma once

#include <cstdint>
#include <random>
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

}  // namespace tavibench
