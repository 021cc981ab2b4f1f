// An 8-bit palette image as the tool moves it between PNG files and the library: rows top-down,
// one palette index per pixel, and a palette in the library's order (blue, green, red, unused).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavitool {

struct IndexedImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;          // width * height, top row first
  std::array<uint8_t, 1024> palette{};  // 256 entries of blue, green, red, unused
  int32_t paletteSize = 256;            // entries the PNG file holds

  uint8_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What a PNG file holds: an indexed image with the opacity of each palette entry (tRNS), or,
// for grey, RGB and RGBA files, 4 bytes a pixel (red, green, blue, alpha) in `rgba`.
struct PngPicture {
  bool indexed = false;
  IndexedImage image;                  // indexed files: pixels and palette; others: the size
  std::array<uint8_t, 256> opacity{};  // indexed files: alpha of each entry, 255 without tRNS
  std::vector<uint8_t> rgba;           // other files
};

}  // namespace tavitool
