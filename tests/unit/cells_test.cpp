// Run-length forms that no compression made (only a white-box test can hand them over): the
// expansion stops at the end of the form, which is held in a buffer of exactly its size, and
// never writes outside the cell's place in the destination.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "cells/cell_table.h"
#include "cells/run_length.h"

namespace tavikit {
namespace {

TEST(RunLengthForm, BrokenFormsNeverWriteOutsideTheCellsPlace) {
  std::mt19937 rng(2);
  for (int trial = 0; trial < 3000; ++trial) {
    Cell cell;
    const int32_t w = static_cast<int32_t>(1 + rng() % 12), h = static_cast<int32_t>(1 + rng() % 6);
    cell.width = w;
    cell.height = h;
    cell.compressed = 1;
    cell.size = rng() % 40;
    cell.data.reset(static_cast<uint8_t*>(std::malloc(cell.size == 0 ? 1 : cell.size)));  // NOLINT
    for (size_t i = 0; i < cell.size; ++i)
      cell.data.get()[i] = static_cast<uint8_t>(rng() % 3 == 0 ? rng() % 40 : rng());
    const int32_t dw = 16, dh = 10, x = static_cast<int32_t>(rng() % 20) - 4,
                  y = static_cast<int32_t>(rng() % 12) - 3;
    std::vector<uint8_t> dest(static_cast<size_t>(dw) * dh, 0xEE);
    ExpandCell(cell, dest.data(), dw, dh, x, y);
    for (int32_t row = 0; row < dh; ++row) {
      for (int32_t col = 0; col < dw; ++col) {
        const int64_t r = row - (int64_t{dh} - h - y), c = col - int64_t{x};
        if (r >= 0 && r < h && c >= 0 && c < w) continue;
        ASSERT_EQ(dest[row * dw + col], 0xEE) << "trial " << trial;
      }
    }
  }
}

}  // namespace
}  // namespace tavikit
