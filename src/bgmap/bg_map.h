// The background map: a grid of one-byte cells owned by the script, each covering 16 x 16 pixels.
// The library keeps only where the cells are and the grid's size; cell (cx, cy) is the byte at
// cells + cy * width + cx, and it is inside the map when 0 <= cx < width and 0 <= cy < height,
// tested as signed values before the byte is touched.
#pragma once

#include <cstdint>

namespace tavikit {

struct BgMap {
  uint8_t* mapCells = nullptr;
  int32_t mapWidth = 0;  // cells per row, also the row stride in bytes
  int32_t mapHeight = 0;
};

inline constexpr int32_t kBgCellPixels = 16;

// The cell (cx, cy), or null when it is outside the map.
uint8_t* BgCell(const BgMap& map, int32_t cx, int32_t cy);

// Stores `value` in cell (cx, cy) when it is inside the map.
void SetBgCell(const BgMap& map, int32_t cx, int32_t cy, uint8_t value);

// The value of cell (cx, cy), 0 outside the map.
uint8_t BgCellValue(const BgMap& map, int32_t cx, int32_t cy);

// Whether one of `count` pixel points (x, y pairs) lies on a cell inside the map whose value is
// at least `threshold`. Points are read in order up to the first hit only.
bool AnyPointReaches(const BgMap& map, const int32_t* points, int32_t count, uint8_t threshold);

}  // namespace tavikit
