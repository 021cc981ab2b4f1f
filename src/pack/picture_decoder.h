// The library's compressed picture: a 19-byte header ("TKxy", fileSize, width, height, the
// 24-bit position of the first escape record) and a stream of literal palette indices with
// escape records among them. "x" is the escape kind (0 run records, 1 skip records), "y" the scan
// order (0 rows from the top, 1 columns from the left).
#pragma once

#include <cstdint>
#include <span>

#include "common/screen.h"

namespace tavikit {

// Draws the picture held in `picture` into `screen` with its top-left pixel at the screen's
// cursor. Only the kinds "TK00", "TK10", "TK01" and "TK11" are drawn. Pixels that fall outside
// the screen are left out, and nothing is read outside `picture`: a stream that ends early, a run
// or skip past the last pixel or an escape position never reached end the picture there.
void DecodePicture(const Screen& screen, std::span<const uint8_t> picture);

}  // namespace tavikit
