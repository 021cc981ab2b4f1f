// Blended copies: a rectangle of the source screen mixed into a destination screen at its
// cursor, through the blend table or through the colour cube directly. Pixels outside the
// destination screen are skipped, and so are pixels the rectangle would read from outside the
// source screen.
#pragma once

#include <cstdint>

#include "blend/blend_table.h"
#include "blend/colour_cube.h"
#include "common/rect.h"
#include "common/screen.h"

namespace tavikit {

// Every pixel d becomes table[d, s]; source pixels equal to `key` are left out.
void CopyThroughTable(const BlendTable& table, const Screen& destination, const Screen& source,
                      const CopyRect& rect, int32_t key);

// Builds the alpha table from the destination's palette (unless the tag says it holds it), then
// copies through it. The table is built even when nothing is drawn.
void AlphaCopy(BlendState& blend, const Screen& destination, const Screen& source,
               const CopyRect& rect, uint8_t alpha, int32_t key);

// The alpha mixture computed per pixel from the destination's palette and the cube: the same
// pixels as AlphaCopy, without building or touching the blend table.
void AlphaCopyDirect(const ColourCube& cube, const Screen& destination, const Screen& source,
                     const CopyRect& rect, uint8_t alpha, int32_t key);

}  // namespace tavikit
