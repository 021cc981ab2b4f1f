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

// What a PNG file holds: an indexed image with the opacity of each palette entry (tRNS), or,
// for grey, RGB and RGBA files, 4 bytes a pixel (red, green, blue, alpha) in `rgba`.
struct PngPicture {
  bool indexed = false;
  IndexedImage image;                  // indexed files: pixels and palette; others: the size
  std::array<uint8_t, 256> opacity{};  // indexed files: alpha of each entry, 255 without tRNS
  std::vector<uint8_t> rgba;           // other files
};

// Reads any PNG. Refuses (exit 1) with the file's name and the reason: not a PNG (naming the
// kind when its first bytes tell it), cut short, damaged, or larger than a picture may be;
// the size is checked before anything of that size is allocated.
PngPicture ReadPng(const std::string& path);
// The same for the bytes of a PNG called `name`.
PngPicture DecodePng(const std::string& name, const std::vector<uint8_t>& bytes);

// Reads a PNG that must be indexed-colour (bit depth 1 to 8).
IndexedImage ReadIndexedPng(const std::string& path);
// The same; false with the reason in `error`.
bool ReadIndexedPng(const std::string& path, IndexedImage& image, std::string& error);

// The bytes of an 8-bit indexed PNG with `paletteSize` palette entries.
std::vector<uint8_t> EncodeIndexedPng(const IndexedImage& image);

// Writes an 8-bit indexed PNG atomically; false with the reason in `error`.
bool WriteIndexedPng(const std::string& path, const IndexedImage& image, std::string& error);

}  // namespace tavitool
