// An 8-bit palette image as the tool moves it between PNG files and the library: rows top-down,
// one palette index per pixel, and a palette in the library's order (blue, green, red, unused).
#pragma once

#include <array>
#include <cstdint>
#include <string>
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

// Reads an indexed-colour PNG (bit depth 1 to 8). On failure returns false with a one-line
// reason in `error`.
bool ReadIndexedPng(const std::string& path, IndexedImage& image, std::string& error);

// Writes an 8-bit indexed PNG with `paletteSize` palette entries.
bool WriteIndexedPng(const std::string& path, const IndexedImage& image, std::string& error);

}  // namespace tavitool
