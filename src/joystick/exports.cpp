// Exports of the joystick.
#include "common/process_state.h"
#include "common/words.h"
#include "joystick/joystick.h"
#include "tavikit.h"

namespace tavikit {

JoystickState& ProcessJoystick() {
  static ProcessStorage<JoystickState> storage;
  return ProcessInstance(storage);
}

}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_JoyGet(tavi_word result, tavi_word mask, tavi_word id, tavi_word) {
  *ArgPtr<int32_t>(result) = static_cast<int32_t>(PollJoystick(
      ProcessJoystick(), PlatformJoystickPoll(), static_cast<uint32_t>(ArgInt(mask)), ArgInt(id)));
  return 0;
}
