// A screen as the host keeps it: a record of words and a bottom-up pixel buffer of exactly the
// screen's size (so that sanitizers see any access outside it).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "tavikit.h"

namespace tavihost {

class HostScreen {
 public:
  // An 8-bit screen (bytesPerPixel 1) or a full-colour one (3).
  HostScreen(int32_t width, int32_t height, int32_t bytesPerPixel = 1)
      : width_(width),
        height_(height),
        bpp_(bytesPerPixel),
        pixels_(static_cast<size_t>(width) * height * bytesPerPixel),
        palette_(1024) {
    words_[TAVI_REC_WIDTH] = width;
    words_[TAVI_REC_HEIGHT] = height;
    words_[TAVI_REC_PIXELS] = reinterpret_cast<tavi_word>(pixels_.data());
    words_[TAVI_REC_PALETTE] = reinterpret_cast<tavi_word>(palette_.data());
  }
  HostScreen(const HostScreen&) = delete;
  HostScreen& operator=(const HostScreen&) = delete;

  // The record pointer, as the host passes it.
  tavi_word record() const { return reinterpret_cast<tavi_word>(words_.data()); }
  tavi_word& word(int index) { return words_[index]; }

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  void SetCursor(int32_t x, int32_t y) {
    words_[TAVI_REC_CURSOR_X] = x;
    words_[TAVI_REC_CURSOR_Y] = y;
  }

  // Pixel (x, y), row 0 at the top.
  uint8_t& at(int32_t x, int32_t y) {
    return pixels_[(static_cast<size_t>(height_ - 1 - y) * width_ + x) * bpp_];
  }
  uint8_t at(int32_t x, int32_t y) const {
    return pixels_[(static_cast<size_t>(height_ - 1 - y) * width_ + x) * bpp_];
  }
  // Byte c (0 blue, 1 green, 2 red) of pixel (x, y) of a full-colour screen.
  uint8_t& colour(int32_t x, int32_t y, int c) { return (&at(x, y))[c]; }

  std::vector<uint8_t>& pixels() { return pixels_; }
  const std::vector<uint8_t>& pixels() const { return pixels_; }
  std::vector<uint8_t>& palette() { return palette_; }

  void SetColour(int index, uint8_t r, uint8_t g, uint8_t b) {
    palette_[index * 4 + 0] = b;
    palette_[index * 4 + 1] = g;
    palette_[index * 4 + 2] = r;
  }

  void Fill(uint8_t value) { std::fill(pixels_.begin(), pixels_.end(), value); }
  void FillRandom(uint32_t seed) {
    std::mt19937 rng(seed);
    for (auto& p : pixels_)
      p = static_cast<uint8_t>(rng());
  }
  void RandomPalette(uint32_t seed) {
    std::mt19937 rng(seed);
    for (auto& p : palette_)
      p = static_cast<uint8_t>(rng());
  }

 private:
  int32_t width_;
  int32_t height_;
  int32_t bpp_;
  std::array<tavi_word, 32> words_{};
  std::vector<uint8_t> pixels_;
  std::vector<uint8_t> palette_;
};

// The argument word for a pointer.
template <class T>
tavi_word Word(T* p) {
  return reinterpret_cast<tavi_word>(p);
}

}  // namespace tavihost
