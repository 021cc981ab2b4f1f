// Dissolve copies: some pixels of a rectangle copied unchanged from the source screen to
// the target screen at its cursor, the others left alone. Pixels that would be read from outside
// the source screen or written outside the target screen are skipped.
#pragma once

#include <cstdint>

#include "common/rect.h"
#include "common/screen.h"

namespace tavikit {

// Copies q = N * level / 255 of the N pixels of the rectangle, evenly spread: pixel number
// (i * step) >> 8 in raster order for i below q, step = 256 * N / q, all in signed 32-bit
// arithmetic. Source pixels equal to `key` are left out (a key outside 0 to 255 matches none).
void FadeCopy(const Screen& source, const Screen& target, const CopyRect& rect, uint8_t level,
              int32_t key);

// Copies the pixels that a 16-byte pattern selects: counting pixels row by row from the top,
// each row from its rightmost pixel leftwards, pixel number i is copied when pattern byte
// i mod 16 is not zero.
void PatternCopy(const Screen& source, const Screen& target, const CopyRect& rect,
                 const uint8_t* pattern);

}  // namespace tavikit
