// Joystick polling into direction and button bits, with a trigger mask that reports each bit
// either on every poll while it is held or only on the poll at which it turns on.
#pragma once

#include <array>
#include <cstdint>

#include "joystick/joystick_poll.h"

namespace tavikit {

// State word bits.
inline constexpr uint32_t kJoyLeft = 1;
inline constexpr uint32_t kJoyUp = 2;
inline constexpr uint32_t kJoyRight = 4;
inline constexpr uint32_t kJoyDown = 8;
inline constexpr uint32_t kJoyButtonShift = 4;  // button word shifted up into bits 4 and above

struct JoystickState {
  // The state word of the last successful poll of joysticks 0 and 1.
  std::array<uint32_t, 2> lastJoyState{};
};

// The state word of one reading: strict thresholds 8192 and 57344 on each axis.
uint32_t JoyStateWord(const JoyReading& reading);

// Polls joystick `id` (0 or 1, anything else 0) and returns the bits to report under `mask`;
// 0, with the last state kept, when the poll fails.
uint32_t PollJoystick(JoystickState& state, JoystickPoll& poll, uint32_t mask, int32_t id);

}  // namespace tavikit
