// The base of every test that reaches the library through its exports, and the helpers the
// tests share: selection, random picks and one screen comparison.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "host/host_screen.h"
#include "host/library.h"

namespace tavitest {

using tavihost::HostScreen;
using tavihost::Library;
using tavihost::Tavikit;
using tavihost::Word;

// Random whole numbers from lo to hi, both included.
class Picker {
 public:
  explicit Picker(uint32_t seed) : rng_(seed) {}
  int operator()(int lo, int hi) {
    return lo + static_cast<int>(rng_() % static_cast<unsigned>(hi - lo + 1));
  }
  uint32_t Seed() { return rng_(); }

 private:
  std::mt19937 rng_;
};

// Compares the pixels of two screens of one size and names the first pixel that differs.
inline ::testing::AssertionResult SamePixels(const HostScreen& actual, const HostScreen& expected) {
  for (int y = 0; y < expected.height(); ++y) {
    for (int x = 0; x < expected.width(); ++x) {
      if (actual.at(x, y) != expected.at(x, y)) {
        return ::testing::AssertionFailure()
               << "pixel " << x << "," << y << " is " << int{actual.at(x, y)} << ", expected "
               << int{expected.at(x, y)};
      }
    }
  }
  if (actual.pixels() != expected.pixels()) return ::testing::AssertionFailure() << "bytes differ";
  return ::testing::AssertionSuccess();
}

// Every pixel of the w x h top-left corner of `part` equals the pixel of `whole` at (ox + x,
// oy + y): what a draw partly off one screen left equals that part of the same draw made whole.
inline ::testing::AssertionResult SameWindow(const HostScreen& part, const HostScreen& whole,
                                             int ox, int oy, int w, int h) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (part.at(x, y) != whole.at(ox + x, oy + y))
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
    }
  }
  return ::testing::AssertionSuccess();
}

#if defined(_WIN64)
// The exports as the 64-bit Windows suite calls them: each through a call that marks and checks
// the registers a callee must keep, on a stack 16 mod 64 (windows/checked_calls_x64.cpp).
const Library& CheckedExports();
#endif

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Tavikit().error.empty()) << Tavikit().error; }
#if defined(_WIN64)
  const Library& lib() const { return CheckedExports(); }
#else
  const Library& lib() const { return Tavikit(); }
#endif

  // Copies read `source` and write `target`; the copy rectangle is (x, y, w, h).
  void Select(const HostScreen& source, const HostScreen& target) const {
    lib().tavi_fset(source.record(), 0, 0, 0);
    lib().tavi_tset(target.record(), 0, 0, 0);
  }
  void Select(const HostScreen& source, const HostScreen& target, int x, int y, int w,
              int h) const {
    Select(source, target);
    lib().tavi_copyset(x, y, w, h);
  }
  // A second screen holding the same pixels and palette as `screen`.
  static void Twin(HostScreen& copy, HostScreen& screen) {
    copy.pixels() = screen.pixels();
    copy.palette() = screen.palette();
  }
};

}  // namespace tavitest
