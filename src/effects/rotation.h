// Rotated and scaled copies: a frame of the source screen, turned about a centre by one of 256
// angle steps, drawn into an axis-aligned area of the target by inverse mapping in 8-bit fixed
// point.
#pragma once

#include <array>
#include <cstdint>

#include "frame/selection.h"

namespace tavikit {

// 256 x sin(2 pi i / 256) and -256 x cos(2 pi i / 256), truncated toward zero. The cosine enters
// negated, so angle index 128 shows the frame upright and 0 turns it half a turn.
extern const std::array<int32_t, 256> kRotationSine;
extern const std::array<int32_t, 256> kRotationNegCosine;

// The stored rotation parameters; all start at 0 (an empty clip).
struct RotationParams {
  int32_t centreX = 0;  // source-screen coordinates; negative: the middle of the frame
  int32_t centreY = 0;
  uint8_t angle = 0;  // 256 steps per turn
  CopyRect frame;     // the picture in the source screen
  CopyRect clip;      // the source pixels that may be sampled; x negative: the whole source screen
};

// Fills the W x H area at the target's cursor (clipped to the target) with the frame turned by the
// stored angle about the stored centre and scaled to W x H. Samples inside the clip are copied
// unless they equal `key`; samples outside it take the low 8 bits of `fill` when fill is 0 or
// more. W or H below 1 draws nothing.
void RotateCopy(const Selection& sel, const RotationParams& rot, int32_t W, int32_t H, int32_t fill,
                int32_t key);

}  // namespace tavikit
