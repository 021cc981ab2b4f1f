// The base of the effect tests: screen selection, the copy rectangle, random picks.
#pragma once

#include <random>

#include "harness/fixture.h"
#include "models/effects_model.h"

namespace tavitest {

class EffectsTest : public ExportTest {
 protected:
  void Select(const HostScreen& src, const HostScreen& dst) {
    lib().tavi_fset(src.record(), 0, 0, 0);
    lib().tavi_tset(dst.record(), 0, 0, 0);
  }
  void Setup(const HostScreen& src, const HostScreen& dst, Rect r) {
    Select(src, dst);
    lib().tavi_copyset(r.x, r.y, r.w, r.h);
  }
};

// Every pixel of the w x h top-left corner of `part` equals the pixel of `whole` at (ox + x, oy +
// y): an area drawn partly off one target matches the same area drawn whole on a larger one.
inline void ExpectSameWindow(const HostScreen& part, const HostScreen& whole, int ox, int oy, int w,
                             int h) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(part.at(x, y), whole.at(ox + x, oy + y)) << x << "," << y;
  }
}

// Random whole numbers from lo to hi, both included.
class Picker {
 public:
  explicit Picker(uint32_t seed) : rng_(seed) {}
  int operator()(int lo, int hi) {
    return lo + static_cast<int>(rng_() % static_cast<unsigned>(hi - lo + 1));
  }

 private:
  std::mt19937 rng_;
};

}  // namespace tavitest
