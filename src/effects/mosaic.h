// Mosaics: an area turned into solid square blocks, in place on one screen (random, corner or
// mean colour of each block) or as a centre-sampled, keyed copy from the source to the target.
#pragma once

#include <cstdint>

#include "blend/colour_cube.h"
#include "common/screen.h"
#include "frame/selection.h"

namespace tavikit {

// The mosaic's pseudo-random generator: state x 214013 + 2531011 (mod 2^32) per draw, each draw
// giving bits 16 to 30 of the new state (0 to 32767). A fresh generator starts at 1.
struct MosaicRandom {
  uint32_t state = 1;
};

int32_t NextRandom(MosaicRandom& random);

// Sets every pixel of columns x .. x+w-1 of rows y .. y+h-1 to `colour`, rows from y downwards.
// Nothing is done when h < 1, and each row is left alone when w < 1. No clipping.
void FillTargetRect(const Screen& target, int32_t x, int32_t y, int32_t w, int32_t h,
                    uint8_t colour);

// In-place mosaics of across x down blocks of s x s pixels at the screen's cursor; only whole
// blocks are drawn. Each block takes one colour:
//   RandomMosaic: the pixel at a random offset in the block (two draws per block: column, row);
//   CornerMosaic: the cube entry for the mean of the four corner colours;
//   MeanMosaic: the cube entry for the mean colour of all pixels of the block.
// A block size below 1 draws nothing (RandomMosaic still makes its two draws per block).
void RandomMosaic(const Screen& screen, int32_t across, int32_t down, int32_t s,
                  MosaicRandom& random);
void CornerMosaic(const Screen& screen, int32_t across, int32_t down, int32_t s,
                  const ColourCube& cube);
void MeanMosaic(const Screen& screen, int32_t across, int32_t down, int32_t s,
                const ColourCube& cube);

// Centre-sampled mosaic of the w x h area at the source's cursor onto the area at the target's
// cursor, in n x n blocks with partial blocks at the right and bottom edges. A key of 0 or more
// skips the blocks whose sample equals its low 8 bits. A block size below 1 draws nothing.
void MosaicCopy(const Selection& sel, int32_t w, int32_t h, int32_t n, int32_t key);

}  // namespace tavikit
