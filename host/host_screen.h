// A screen as the host keeps it: a record and a bottom-up pixel buffer of exactly the screen's
// size (so that sanitizers see any access outside it). The record is laid out as the library of
// this build reads it: words, or in Tavikit64.DLL the structure of HSP's 64-bit runtime.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <random>
#include <vector>

#include "tavikit.h"

namespace tavihost {

// Memory that starts on a 4096-byte page, whatever the C runtime's heap does: two screens then
// lie the same way against each other in every process, and a benchmark that times the 64-bit
// library beside Tavikit64.DLL compares their code, not where two heaps put the pixels (a copy
// whose target starts 16 bytes past its source on the page runs at another speed than one
// 1056 bytes past it).
template <class T>
struct PageAligned {
  using value_type = T;
  static constexpr std::align_val_t kPage{4096};
  PageAligned() = default;
  template <class U>
  explicit PageAligned(const PageAligned<U>&) {}
  T* allocate(size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), kPage)); }
  void deallocate(T* p, size_t) { ::operator delete(p, kPage); }
  friend bool operator==(const PageAligned&, const PageAligned&) { return true; }
};
using PixelBuffer = std::vector<uint8_t, PageAligned<uint8_t>>;

// Where field TAVI_REC_<name> (given by its word index) lies in the record, and its size: a word,
// or in the 64-bit runtime's structure a 32-bit integer or a 64-bit pointer.
struct RecordPlace {
  size_t offset;
  size_t size;
};
inline RecordPlace PlaceOf(int index) {
#if defined(_WIN64)
  switch (index) {
    case TAVI_REC_WIDTH:
      return {TAVI_REC64_WIDTH, 4};
    case TAVI_REC_HEIGHT:
      return {TAVI_REC64_HEIGHT, 4};
    case TAVI_REC_PIXELS:
      return {TAVI_REC64_PIXELS, 8};
    case TAVI_REC_PALETTE:
      return {TAVI_REC64_PALETTE, 8};
    case TAVI_REC_HWND:
      return {TAVI_REC64_HWND, 8};
    case TAVI_REC_CURSOR_X:
      return {TAVI_REC64_CURSOR_X, 4};
    case TAVI_REC_CURSOR_Y:
      return {TAVI_REC64_CURSOR_Y, 4};
    default:
      return {TAVI_REC64_BYTES, 0};  // a place the library does not read
  }
#else
  return {static_cast<size_t>(index) * sizeof(tavi_word), sizeof(tavi_word)};
#endif
}

class HostScreen {
 public:
  // An 8-bit screen (bytesPerPixel 1) or a full-colour one (3).
  HostScreen(int32_t width, int32_t height, int32_t bytesPerPixel = 1)
      : width_(width),
        height_(height),
        bpp_(bytesPerPixel),
        pixels_(static_cast<size_t>(width) * height * bytesPerPixel),
        palette_(1024) {
    set(TAVI_REC_WIDTH, width);
    set(TAVI_REC_HEIGHT, height);
    set(TAVI_REC_PIXELS, reinterpret_cast<tavi_word>(pixels_.data()));
    set(TAVI_REC_PALETTE, reinterpret_cast<tavi_word>(palette_.data()));
  }
  HostScreen(const HostScreen&) = delete;
  HostScreen& operator=(const HostScreen&) = delete;

  // The record pointer, as the host passes it.
  tavi_word record() const { return reinterpret_cast<tavi_word>(record_.data()); }
  // Field TAVI_REC_<name> of the record (an integer field sign-extended).
  tavi_word field(int index) const {
    const RecordPlace place = PlaceOf(index);
    if (place.size == 4) {
      int32_t value = 0;
      std::memcpy(&value, record_.data() + place.offset, 4);
      return value;
    }
    tavi_word value = 0;
    std::memcpy(&value, record_.data() + place.offset, place.size);
    return value;
  }
  void set(int index, tavi_word value) {
    const RecordPlace place = PlaceOf(index);
    std::memcpy(record_.data() + place.offset, &value, place.size);  // the low bytes first
  }

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  void SetCursor(int32_t x, int32_t y) {
    set(TAVI_REC_CURSOR_X, x);
    set(TAVI_REC_CURSOR_Y, y);
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

  PixelBuffer& pixels() { return pixels_; }
  const PixelBuffer& pixels() const { return pixels_; }
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
  alignas(tavi_word) std::array<uint8_t, 32 * sizeof(tavi_word)> record_{};
  PixelBuffer pixels_;
  std::vector<uint8_t> palette_;
};

// The argument word for a pointer.
template <class T>
tavi_word Word(T* p) {
  return reinterpret_cast<tavi_word>(p);
}

}  // namespace tavihost
