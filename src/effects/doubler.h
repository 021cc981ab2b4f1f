// The pixel doubler: a 320 x 240 picture drawn into a 640 x 480 screen at twice its size.
#pragma once

#include <cstdint>

#include "common/screen.h"

namespace tavikit {

inline constexpr int32_t kDoublerSourceWidth = 320;
inline constexpr int32_t kDoublerSourceRows = 240;

// Works on the two pixel buffers as raw memory from their first byte: source memory row r (320
// bytes) goes, each byte twice, to target memory row 2r (640 bytes), and in mode 0 to row 2r + 1
// as well. Other modes leave rows 2r + 1 alone (the even screen rows of a 640 x 480 target).
void DoublePixels(const Screen& source, const Screen& target, int32_t mode);

}  // namespace tavikit
