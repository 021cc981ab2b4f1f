#include "effects/doubler.h"

#include "common/overlap.h"
#include "effects/byte_pairs.h"

namespace tavikit {
namespace {

constexpr size_t kSourceRow = kDoublerSourceWidth;
constexpr size_t kTargetRow = 2 * kSourceRow;
constexpr size_t kSourceBytes = kSourceRow * kDoublerSourceRows;
constexpr size_t kTargetBytes = kTargetRow * 2 * kDoublerSourceRows;

// Byte by byte in the defined order, for buffers that share memory: a later source byte may
// already hold what an earlier one wrote.
void DoublePixelsInOrder(uint8_t* target, const uint8_t* source, bool bothRows) {
  for (size_t r = 0; r < kDoublerSourceRows; ++r) {
    uint8_t* upper = target + 2 * r * kTargetRow;
    uint8_t* lower = upper + kTargetRow;
    for (size_t x = 0; x < kSourceRow; ++x) {
      const uint8_t p = source[r * kSourceRow + x];
      upper[2 * x] = p;
      upper[2 * x + 1] = p;
      if (bothRows) {
        lower[2 * x] = p;
        lower[2 * x + 1] = p;
      }
    }
  }
}

}  // namespace

void DoublePixels(const Screen& sourceScreen, const Screen& targetScreen, int32_t mode) {
  const uint8_t* source = sourceScreen.pixels;
  uint8_t* target = targetScreen.pixels;
  const bool bothRows = mode == 0;
  if (AddressRun::Of(source, kSourceBytes).Overlaps(AddressRun::Of(target, kTargetBytes))) {
    DoublePixelsInOrder(target, source, bothRows);
    return;
  }
  for (size_t r = 0; r < kDoublerSourceRows; ++r) {
    uint8_t* upper = target + 2 * r * kTargetRow;
    if (bothRows) {
      DoubleBytesInto<true>(upper, upper + kTargetRow, source + r * kSourceRow, kSourceRow);
    } else {
      DoubleBytes(upper, source + r * kSourceRow, kSourceRow);
    }
  }
}

}  // namespace tavikit
