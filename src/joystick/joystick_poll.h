// Where joystick states come from: one poll of one joystick. Backends: the Windows multimedia
// joystick (Tavikit.DLL), SDL2's joystick subsystem (other builds with SDL2), none (builds
// without it: every poll fails), and the fakes that tests drive.
#pragma once

#include <cstdint>

namespace tavikit {

// One poll as the Windows multimedia joystick reports it: positions 0 to 65535 (small values left
// and up), buttons 1 to 4 as bits 0 to 3.
struct JoyReading {
  uint32_t x = 0;
  uint32_t y = 0;
  uint32_t buttons = 0;
};

class JoystickPoll {
 public:
  // Reads joystick `id` (0 or 1). False when it cannot be read: no driver, nothing plugged in.
  virtual bool Poll(uint32_t id, JoyReading* reading) = 0;

 protected:
  ~JoystickPoll() = default;  // backends live for the whole process and are never deleted
};

// The backend of this build, opened on first use; never destroyed.
JoystickPoll& PlatformJoystickPoll();

}  // namespace tavikit
