// One-to-one copies of a source rectangle to the target's cursor that leave out a key colour,
// and the row copy they share.
#pragma once

#include <cstdint>

#include "common/rect.h"
#include "common/screen.h"

namespace tavikit {

// Copies n pixels from src to dst, leaving out those equal to `key` (a key outside 0 .. 255
// leaves out nothing). The result is that of copying pixel by pixel from left to right, also when
// the two runs overlap.
void CopyRowKeyed(uint8_t* dst, const uint8_t* src, int32_t n, int32_t key);

// `rect` of the source to the target's cursor, key as for CopyRowKeyed. `clipped` skips target
// pixels off the target screen and keeps the others in place; otherwise the host keeps the area
// inside the target.
void KeyedCopy(const Screen& source, const Screen& target, const CopyRect& rect, int32_t key,
               bool clipped);

}  // namespace tavikit
