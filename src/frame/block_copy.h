// Plain block copies: rectangle, wrap-around window and tiled fill. Pixels move unchanged in
// 4-pixel groups; nothing is clipped.
#pragma once

#include <cstdint>

#include "common/rect.h"
#include "common/screen.h"

namespace tavikit {

// Copies the w x h area at source (sx, sy) to target (dx, dy), whole 4-pixel groups of each row
// only (w / 4 groups; a width below 4 copies nothing), rows top to bottom and groups left to
// right, each group read before it is written.
void CopyBlock(const Screen& target, const Screen& source, int32_t dx, int32_t dy, int32_t sx,
               int32_t sy, int32_t w, int32_t h);

// CopyBlock to the target's cursor.
void CopyToCursor(const Screen& target, const Screen& source, int32_t x, int32_t y, int32_t w,
                  int32_t h);

// Shows the 640 x 480 source area at (sx, sy) in the 640 x 480 window at the target's cursor,
// rolled so that the area's top-left lands at target (x, y).
void FillWindow(const Screen& target, const Screen& source, int32_t x, int32_t y, int32_t sx,
                int32_t sy);

// Repeats the `tile` rectangle of the source over w x h target pixels at the target's cursor,
// starting |ox| columns and |oy| rows into the tile. Rows are written in whole groups, w rounded
// up to a multiple of 4. An empty tile (copyW or copyH 0) draws nothing.
void TileCopy(const Screen& target, const Screen& source, const CopyRect& tile, int32_t w,
              int32_t h, int32_t ox, int32_t oy);

}  // namespace tavikit
