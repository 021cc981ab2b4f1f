// The joystick's state bits and trigger mask, driven through a fake poll.
#include "joystick/joystick.h"

#include <gtest/gtest.h>

#include <iterator>  // std::size

namespace tavikit {
namespace {

class FakePoll final : public JoystickPoll {
 public:
  bool ok = true;
  JoyReading reading;
  uint32_t polled = 9;
  bool Poll(uint32_t id, JoyReading* out) override {
    polled = id;
    if (ok) *out = reading;
    return ok;
  }
};

constexpr uint32_t kMid = 32767;
constexpr bool kNew = true;  // the row starts with a fresh state, as at load

TEST(Joystick, StateBitsAndTriggerMask) {
  const struct {
    bool fresh, ok;
    uint32_t x, y, buttons, mask;
    int32_t id;
    uint32_t want, polled;  // the bits reported, the joystick polled
  } polls[] = {
      {kNew, true, kMid, kMid, 0, 0xFFF, 0, 0, 0},  // centred, no button
      {kNew, true, 0, 65535, 2, 0xFFF, 0, 41, 0},   // left, down, button 2, every poll
      {false, true, 0, 65535, 2, 0xFFF, 0, 41, 0},
      // button 1 under mask 0: once per press
      {kNew, true, kMid, kMid, 1, 0, 0, 16, 0},
      {false, true, kMid, kMid, 1, 0, 0, 0, 0},
      {false, true, kMid, kMid, 0, 0, 0, 0, 0},
      {false, true, kMid, kMid, 1, 0, 0, 16, 0},
      // mask 15: the direction repeats, the button does not
      {kNew, true, 0, kMid, 1, 15, 0, 17, 0},
      {false, true, 0, kMid, 1, 15, 0, 1, 0},
      // strict thresholds
      {kNew, true, 8192, 57344, 0, 0xFFF, 0, 0, 0},
      {false, true, 8191, 57345, 0, 0xFFF, 0, 9, 0},
      {false, true, 57345, 8191, 0, 0xFFF, 0, 6, 0},
      {false, true, 57344, 8192, 0, 0xFFF, 0, 0, 0},
      // ids other than 0 and 1 poll and update joystick 0; joystick 1 has a state of its own
      {kNew, true, kMid, kMid, 1, 0, -1, 16, 0},
      {false, true, kMid, kMid, 1, 0, 2, 0, 0},
      {false, true, kMid, kMid, 1, 0, 1, 16, 1},
      {false, true, kMid, kMid, 1, 0, 7, 0, 0},
      // a failed poll reports nothing and keeps the state from before the gap
      {kNew, true, kMid, kMid, 1, 0, 0, 16, 0},
      {false, false, kMid, kMid, 0, 0xFFF, 0, 0, 0},
      {false, true, kMid, kMid, 1, 0, 0, 0, 0},
      // buttons 5 to 8 (bits 8 to 11) follow the first rule
      {kNew, true, kMid, kMid, 0x10, 0, 0, 0x100, 0},
      {false, true, kMid, kMid, 0x10, 0, 0, 0, 0},
      // above bit 11 the mask bit itself suppresses a bit held before
      {kNew, true, kMid, kMid, 0x100, 0, 0, 0x1000, 0},
      {false, true, kMid, kMid, 0x100, 0, 0, 0x1000, 0},
      {false, true, kMid, kMid, 0x100, 0x1000, 0, 0, 0},
  };
  JoystickState state;
  FakePoll poll;
  for (size_t row = 0; row < std::size(polls); ++row) {
    const auto& p = polls[row];
    if (p.fresh) state = JoystickState{};
    poll.ok = p.ok;
    poll.reading = JoyReading{p.x, p.y, p.buttons};
    EXPECT_EQ(PollJoystick(state, poll, p.mask, p.id), p.want) << "row " << row;
    EXPECT_EQ(poll.polled, p.polled) << "row " << row;
  }
}

}  // namespace
}  // namespace tavikit
