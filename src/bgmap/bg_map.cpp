#include "bgmap/bg_map.h"

#include <cstddef>

#include "common/int32.h"

namespace tavikit {

uint8_t* BgCell(const BgMap& map, int32_t cx, int32_t cy) {
  if (cx < 0 || cx >= map.mapWidth || cy < 0 || cy >= map.mapHeight) return nullptr;
  return map.mapCells + static_cast<ptrdiff_t>(cy) * map.mapWidth + cx;
}

void SetBgCell(const BgMap& map, int32_t cx, int32_t cy, uint8_t value) {
  if (uint8_t* cell = BgCell(map, cx, cy)) *cell = value;
}

uint8_t BgCellValue(const BgMap& map, int32_t cx, int32_t cy) {
  const uint8_t* cell = BgCell(map, cx, cy);
  return cell != nullptr ? *cell : 0;
}

bool AnyPointReaches(const BgMap& map, const int32_t* points, int32_t count, uint8_t threshold) {
  for (int32_t i = 0; i < count; ++i) {
    const int32_t* point = points + static_cast<ptrdiff_t>(i) * 2;
    // Truncating division: pixels -15 to -1 fall into cell 0, -16 to -31 into cell -1.
    const uint8_t* cell =
        BgCell(map, TruncDiv(point[0], kBgCellPixels), TruncDiv(point[1], kBgCellPixels));
    if (cell != nullptr && *cell >= threshold) return true;
  }
  return false;
}

}  // namespace tavikit
