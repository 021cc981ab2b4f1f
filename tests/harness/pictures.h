// Pictures for the tests that load them: random images in runs, encoded with the library's own
// writers, and a screen's pixels top row first to compare them with.
#pragma once

#include <random>
#include <vector>

#include "host/host_screen.h"
#include "tools/writer/formats.h"

namespace tavitest {

using taviwriter::PictureKind;

// Indices below `colours` in runs of 1 to 16, so that encoders use every kind of record.
inline std::vector<uint8_t> RandomImage(std::mt19937& rng, int32_t w, int32_t h, int colours) {
  return taviwriter::RandomRuns(rng, static_cast<size_t>(w) * h, colours, 16);
}

inline std::vector<uint8_t> Encode(const std::vector<uint8_t>& image, int32_t w, int32_t h,
                                   PictureKind kind, int skip = -1) {
  return *taviwriter::EncodePicture({w, h, image}, kind, skip);
}

inline std::vector<uint8_t> TopDown(const tavihost::HostScreen& s) {
  std::vector<uint8_t> top;
  for (int32_t y = 0; y < s.height(); ++y) {
    for (int32_t x = 0; x < s.width(); ++x)
      top.push_back(s.at(x, y));
  }
  return top;
}

}  // namespace tavitest
