// Joysticks through SDL2's joystick subsystem, started on the first poll. Axes 0 and 1 are mapped
// from -32768..32767 to 0..65535 and the first four buttons to bits 0 to 3 of the button word.
// When the subsystem cannot start (no SDL joystick support on the machine) every poll fails and
// the start is not tried again.
#include <SDL.h>

#include <array>

#include "joystick/joystick_poll.h"

namespace tavikit {
namespace {

class SdlJoystick final : public JoystickPoll {
 public:
  bool Poll(uint32_t id, JoyReading* reading) override {
    if (!Started()) return false;
    SDL_JoystickUpdate();
    SDL_Joystick*& device = devices_[id];
    if (device != nullptr && SDL_JoystickGetAttached(device) != SDL_TRUE) {
      SDL_JoystickClose(device);
      device = nullptr;
    }
    if (device == nullptr) {
      if (static_cast<int>(id) >= SDL_NumJoysticks()) return false;
      device = SDL_JoystickOpen(static_cast<int>(id));
      if (device == nullptr) return false;
    }
    *reading = JoyReading{Position(device, 0), Position(device, 1), Buttons(device)};
    return true;
  }

 private:
  bool Started() {
    if (state_ == Start::kNotTried) {
      // A library leaves the host's signal handling alone.
      SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
      state_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0 ? Start::kRunning : Start::kFailed;
    }
    return state_ == Start::kRunning;
  }

  static uint32_t Position(SDL_Joystick* device, int axis) {
    if (axis >= SDL_JoystickNumAxes(device)) return 0x8000;  // centred
    return static_cast<uint32_t>(SDL_JoystickGetAxis(device, axis) + 0x8000);
  }

  static uint32_t Buttons(SDL_Joystick* device) {
    uint32_t buttons = 0;
    const int count = SDL_JoystickNumButtons(device);
    for (int i = 0; i < 4 && i < count; ++i) {
      if (SDL_JoystickGetButton(device, i) != 0) buttons |= 1u << i;
    }
    return buttons;
  }

  enum class Start { kNotTried, kRunning, kFailed };
  Start state_ = Start::kNotTried;
  std::array<SDL_Joystick*, 2> devices_{};
};

}  // namespace

JoystickPoll& PlatformJoystickPoll() {
  static SdlJoystick poll;  // trivially destructible: nothing runs at exit
  return poll;
}

}  // namespace tavikit
