// The demo in a window: the display screen shown through SDL2, scaled to the window.
#pragma once

#include <cstdint>
#include <string>

#include "demo/demo_scene.h"

namespace tavitool {

// Shows the scene at 30 frames a second until Esc (or, with `frames` above 0, for that many
// frames). Arrow keys steer the character. Returns 0, or 1 with the reason in `error`.
int RunDemoWindow(tavidemo::Scene& scene, int32_t frames, std::string& error);

}  // namespace tavitool
