#include "joystick/joystick.h"

namespace tavikit {

uint32_t JoyStateWord(const JoyReading& reading) {
  constexpr uint32_t kLow = 0x2000;
  constexpr uint32_t kHigh = 0xE000;
  uint32_t state = reading.buttons << kJoyButtonShift;
  if (reading.x < kLow) state |= kJoyLeft;
  if (reading.y < kLow) state |= kJoyUp;
  if (reading.x > kHigh) state |= kJoyRight;
  if (reading.y > kHigh) state |= kJoyDown;
  return state;
}

uint32_t PollJoystick(JoystickState& state, JoystickPoll& poll, uint32_t mask, int32_t id) {
  const uint32_t joystick = (id == 1) ? 1 : 0;
  JoyReading reading;
  if (!poll.Poll(joystick, &reading)) return 0;
  const uint32_t now = JoyStateWord(reading);
  // The XOR inverts bits 0 to 11 only: there a clear mask bit suppresses a bit held before; from
  // bit 12 on the mask bit itself does.
  const uint32_t suppressed = state.lastJoyState[joystick] & (mask ^ 0xFFFu);
  state.lastJoyState[joystick] = now;
  return now & ~suppressed;
}

}  // namespace tavikit
