// Undoing the vertical XOR transform of a screen rectangle.
#pragma once

#include <cstdint>

#include "common/screen.h"

namespace tavikit {

// Undoes the vertical XOR on the w x h rectangle at the screen's cursor: from the bottom row up,
// each row is XORed with the row below it as already changed, the last row with row 0. Columns
// outside the screen are left out; a rectangle whose rows reach outside the screen is refused
// (its last row would pair with a row that is not there).
void UndoRowXor(const Screen& screen, int32_t w, int32_t h);

}  // namespace tavikit
