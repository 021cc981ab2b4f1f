// Joysticks through the Windows multimedia joystick function (winmm).
#include <windows.h>

#include <mmsystem.h>

#include "joystick/joystick_poll.h"

namespace tavikit {
namespace {

class WinmmJoystick final : public JoystickPoll {
 public:
  bool Poll(uint32_t id, JoyReading* reading) override {
    JOYINFO info{};
    if (joyGetPos(id, &info) != JOYERR_NOERROR) return false;
    *reading = JoyReading{info.wXpos, info.wYpos, info.wButtons};
    return true;
  }
};

}  // namespace

JoystickPoll& PlatformJoystickPoll() {
  static WinmmJoystick poll;  // trivially destructible: nothing runs at exit
  return poll;
}

}  // namespace tavikit
