// Scaled copies of the copy rectangle: a zoom to any W x H area, and a trapezoid whose rows
// narrow or widen from the top row down. Source positions are 8-bit fixed point; samples that
// fall off the source screen take a fill colour.
#pragma once

#include <cstdint>

#include "frame/selection.h"

namespace tavikit {

// Scales the copy rectangle to W x H pixels at the target's cursor, clipped to the target pixel by
// pixel. A fill of 0 or more writes its low 8 bits where the sample is off the source screen; a
// key of 0 or more leaves out source pixels equal to it. W or H below 1 draws nothing.
void ZoomCopy(const Selection& sel, int32_t W, int32_t H, int32_t fill, int32_t key);

// Draws H rows of W pixels at the target's cursor, row j showing one source row scaled so that the
// copy rectangle spans T0 + j x ((W - T0) / 2) / H pixels centred in the row. Not clipped to the
// target. H below 1 draws nothing, and so does a row whose width comes out as 0.
void PolyCopy(const Selection& sel, int32_t W, int32_t H, int32_t T0, int32_t fill);

}  // namespace tavikit
