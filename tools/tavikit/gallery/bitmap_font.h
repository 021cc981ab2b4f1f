// A small bitmap font of the tool's own for writing into palette pictures: printable ASCII in
// cells of 5 x 7 pixels above the baseline and one row below it, one column of space after each.
#pragma once

#include <cstdint>
#include <string_view>

#include "png/indexed_image.h"

namespace tavitool {

inline constexpr int32_t kGlyphWidth = 5;
inline constexpr int32_t kGlyphHeight = 7;  // above the baseline
inline constexpr int32_t kGlyphRows = kGlyphHeight + 1;
inline constexpr int32_t kGlyphAdvance = kGlyphWidth + 1;

// Writes `text` with its first cell's top-left at (x, y), each font pixel as a `scale` x `scale`
// square of `colour`; pixels outside the image are left out. Characters outside printable ASCII
// draw as "?".
void DrawText(IndexedImage& image, int32_t x, int32_t y, std::string_view text, uint8_t colour,
              int32_t scale);

}  // namespace tavitool
