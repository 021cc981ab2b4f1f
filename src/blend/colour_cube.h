// The colour cube: every colour reduced to 5 bits per component, mapped to the palette index
// nearest to it. Red is the most significant coordinate, blue the least; cell (r5, g5, b5) stands
// for the colour (8 r5 + 3, 8 g5 + 3, 8 b5 + 3).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/screen.h"

namespace tavikit {

struct ColourCube {
  static constexpr size_t kCells = 32 * 32 * 32;

  std::array<uint8_t, kCells> cells{};  // palette index per cell, all 0 until first built

  // Index of the cell of 5-bit components (each 0 to 31).
  static constexpr size_t CellOf5(uint32_t r5, uint32_t g5, uint32_t b5) {
    return (static_cast<size_t>(r5) << 10) | (static_cast<size_t>(g5) << 5) | b5;
  }
  // Index of the cell holding an 8-bit colour.
  static constexpr size_t CellOf(uint8_t r, uint8_t g, uint8_t b) {
    return CellOf5(r >> 3, g >> 3, b >> 3);
  }

  uint8_t Lookup5(uint32_t r5, uint32_t g5, uint32_t b5) const {
    return cells[CellOf5(r5, g5, b5)];
  }
  uint8_t Lookup(uint8_t r, uint8_t g, uint8_t b) const { return cells[CellOf(r, g, b)]; }
};

// The cube behind the exports: built by tavi_AlphaInit, read by blend tables, blended copies and
// any other operation that maps colours to palette indices.
ColourCube& ProcessColourCube();

// The number of palette entries a cube is built from for a count argument: 1 to 256, count 0
// meaning 256 and larger counts wrapping (257 gives 1).
constexpr int32_t CubeCandidates(int32_t count) {
  return static_cast<int32_t>((static_cast<uint32_t>(count) - 1u) & 255u) + 1;
}

// Fills every cell with the nearest of palette entries 0 to candidates - 1 (1 to 256) by the sum
// of absolute component differences, the lowest index among equally near entries.
void BuildColourCube(ColourCube& cube, const uint8_t* palette, int32_t candidates);

// How many distinct palette indices the cube holds.
int32_t CountCubeIndices(const ColourCube& cube);

// tavi_AlphaInit: builds the cube from the screen's palette and, when request is above 0,
// returns the number of distinct indices in it (the value the export reports); otherwise 0.
int32_t AlphaInit(ColourCube& cube, const Screen& screen, int32_t count, int32_t request);

}  // namespace tavikit
