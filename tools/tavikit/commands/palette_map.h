// True-colour art onto a game's 256-colour palette, with the library's own colour cube.
#pragma once

#include <cstdint>
#include <vector>

#include "png/indexed_image.h"

namespace tavitool {

// The colour cube that tavi_AlphaInit builds from the first `entries` colours of `palette`,
// read back through the exports: 32768 palette indices, entry (r >> 3) << 10 | (g >> 3) << 5 |
// (b >> 3).
std::vector<uint8_t> LibraryCube(const IndexedImage& palette);

// `png` drawn with the colours of `palette` through the cube. Transparent pixels (alpha 0)
// become `skip`; with `skip` below 0 they take the palette's own transparent entry or else the
// first index no visible pixel uses, which is returned in `skip`.
IndexedImage MapToPalette(const PngPicture& png, const PngPicture& palette, int& skip);

// A palette that keeps small pictures readable: 16 plain colours, a 6 x 6 x 6 colour cube and
// a grey ramp.
IndexedImage DefaultPalette();

}  // namespace tavitool
