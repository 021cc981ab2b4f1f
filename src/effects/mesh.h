// Checkerboard (mesh) copies and fills: every second pixel of a rectangle, so that what lies
// beneath shows through the others.
#pragma once

#include <cstdint>

#include "common/screen.h"

namespace tavikit {

// Copies the pixels (i, j) with i = (j AND 1) + 2k, k = 0 .. W/2 - 1, of the W x H area at source
// (sx, sy) to the same places of the area at the target's cursor: the area's top-left pixel is
// always copied. Not clipped. A key of 0 or more leaves out source pixels equal to its low 8
// bits; MeshCopy passes -1 for none.
void MeshCopy(const Screen& source, const Screen& target, int32_t sx, int32_t sy, int32_t W,
              int32_t H, int32_t key);

// MeshCopy from the area at the source's cursor, leaving out pixels equal to `key`.
void MeshCopyAtCursor(const Screen& source, const Screen& target, int32_t W, int32_t H,
                      uint8_t key);

// Sets the pixels (x, y) of the W x H area at the screen's cursor whose column and row have the
// same parity (x + y even) to `colour`. `clipped` skips pixels off the screen; otherwise the host
// keeps the area inside it.
void MeshFill(const Screen& screen, int32_t W, int32_t H, uint8_t colour, bool clipped);

}  // namespace tavikit
