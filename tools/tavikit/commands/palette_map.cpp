#include "commands/palette_map.h"

#include <algorithm>
#include <array>

#include "commands/cli.h"
#include "host/host_screen.h"
#include "tavikit.h"

namespace tavitool {
namespace {

using tavihost::HostScreen;

constexpr int kCubeCells = 32 * 32 * 32;

int CubeCell(uint8_t r, uint8_t g, uint8_t b) { return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3); }

// The colours of `png`'s pixels, 4 bytes each (red, green, blue, alpha).
std::vector<uint8_t> Rgba(const PngPicture& png) {
  if (!png.indexed) return png.rgba;
  std::vector<uint8_t> rgba;
  rgba.reserve(png.image.pixels.size() * 4);
  for (uint8_t p : png.image.pixels) {
    const uint8_t* bgr = &png.image.palette[p * 4];
    rgba.insert(rgba.end(), {bgr[2], bgr[1], bgr[0], png.opacity[p]});
  }
  return rgba;
}

}  // namespace

std::vector<uint8_t> LibraryCube(const IndexedImage& palette) {
  // The cube from the palette; then, 256 cells at a time, an additive table with a black source
  // (which adds nothing) maps each destination colour to its cube entry, and a blended copy of
  // index 0 onto the pixels 0 to 255 reads the entries out. The factor alternates so that every
  // batch builds its table anew.
  HostScreen game(1, 1), black(256, 1), probe(256, 1);
  std::copy(palette.palette.begin(), palette.palette.end(), game.palette().begin());
  tavi_AlphaInit(game.record(), std::clamp(palette.paletteSize, 1, 256), 0, 0);
  tavi_fset(black.record(), 0, 0, 0);
  tavi_copyset(0, 0, 256, 1);
  std::vector<uint8_t> cube(kCubeCells);
  for (int batch = 0; batch < kCubeCells / 256; ++batch) {
    for (int k = 0; k < 256; ++k) {
      const int cell = batch * 256 + k;
      probe.SetColour(k, static_cast<uint8_t>((cell >> 10) * 8 + 3),
                      static_cast<uint8_t>((cell >> 5 & 31) * 8 + 3),
                      static_cast<uint8_t>((cell & 31) * 8 + 3));
      probe.at(k, 0) = static_cast<uint8_t>(k);
    }
    tavi_addset(probe.record(), 1 + (batch & 1), 0, 0);
    tavi_gcopya(probe.record(), 0, 0, 0);
    for (int k = 0; k < 256; ++k)
      cube[batch * 256 + k] = probe.at(k, 0);
  }
  return cube;
}

IndexedImage MapToPalette(const PngPicture& png, const PngPicture& palette, int& skip) {
  const std::vector<uint8_t> cube = LibraryCube(palette.image);
  const std::vector<uint8_t> rgba = Rgba(png);
  IndexedImage out = palette.image;
  out.width = png.image.width;
  out.height = png.image.height;
  out.pixels.assign(rgba.size() / 4, 0);
  std::array<bool, 256> used{};
  for (size_t i = 0; i < out.pixels.size(); ++i) {
    const uint8_t* c = &rgba[i * 4];
    out.pixels[i] = cube[static_cast<size_t>(CubeCell(c[0], c[1], c[2]))];
    used[out.pixels[i]] = used[out.pixels[i]] || c[3] != 0;
  }
  if (skip < 0 && palette.indexed) {
    const auto* clear = std::find(palette.opacity.begin(), palette.opacity.end(), 0);
    if (clear != palette.opacity.end()) skip = static_cast<int>(clear - palette.opacity.begin());
  }
  const bool anyClear = std::any_of(rgba.begin(), rgba.end(), [n = size_t{0}](uint8_t v) mutable {
    return n++ % 4 == 3 && v == 0;
  });
  if (skip < 0 && anyClear) {
    const auto free = std::find(used.begin(), used.end(), false);
    if (free == used.end())
      Refuse("every palette index is in use: give --skip INDEX for transparent pixels");
    skip = static_cast<int>(free - used.begin());
  }
  for (size_t i = 0; i < out.pixels.size(); ++i) {
    if (rgba[i * 4 + 3] == 0) out.pixels[i] = static_cast<uint8_t>(skip);
  }
  return out;
}

IndexedImage DefaultPalette() {
  IndexedImage image;
  constexpr std::array<uint32_t, 16> kPlain = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  auto set = [&](int i, uint32_t rgb) {
    image.palette[i * 4 + 0] = static_cast<uint8_t>(rgb);
    image.palette[i * 4 + 1] = static_cast<uint8_t>(rgb >> 8);
    image.palette[i * 4 + 2] = static_cast<uint8_t>(rgb >> 16);
  };
  for (int i = 0; i < 16; ++i)
    set(i, kPlain[i]);
  constexpr std::array<uint32_t, 6> kLevel = {0, 95, 135, 175, 215, 255};
  for (int i = 0; i < 216; ++i)
    set(16 + i, kLevel[i / 36] << 16 | kLevel[i / 6 % 6] << 8 | kLevel[i % 6]);
  for (int i = 0; i < 24; ++i)
    set(232 + i, (8 + 10 * i) * 0x010101u);
  return image;
}

}  // namespace tavitool
