// The state behind the effect exports.
#pragma once

#include "effects/mosaic.h"
#include "effects/rotation.h"

namespace tavikit {

struct EffectsState {
  RotationParams rotation;
};

// The process-wide effects state.
EffectsState& ProcessEffects();

// The mosaic generator of the calling thread.
MosaicRandom& ThreadMosaicRandom();

}  // namespace tavikit
