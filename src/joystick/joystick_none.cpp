// Builds without a joystick backend: no joystick is ever present, so every poll fails.
#include "joystick/joystick_poll.h"

namespace tavikit {
namespace {

class NoJoystick final : public JoystickPoll {
 public:
  bool Poll(uint32_t, JoyReading*) override { return false; }
};

}  // namespace

JoystickPoll& PlatformJoystickPoll() {
  static NoJoystick poll;
  return poll;
}

}  // namespace tavikit
