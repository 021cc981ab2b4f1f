// The joystick's state bits and trigger mask, driven through a fake poll.
#include "joystick/joystick.h"

#include <gtest/gtest.h>

#include <vector>

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

struct Step {
  bool ok;
  JoyReading reading;  // x, y, buttons
  uint32_t mask;
  int32_t id;
  uint32_t want;    // the bits reported
  uint32_t polled;  // the joystick polled
};

constexpr uint32_t kMid = 32767;
constexpr Step kLost{false, {}, 0, 0, 0, 0};

TEST(Joystick, StateBitsAndTriggerMask) {
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"centred, no button", {{true, {kMid, kMid, 0}, 0xFFF, 0, 0, 0}}},
      {"left, down and button 2 on every poll under mask 0xFFF",
       {{true, {0, 65535, 2}, 0xFFF, 0, 41, 0}, {true, {0, 65535, 2}, 0xFFF, 0, 41, 0}}},
      {"button 1 under mask 0 reported once per press",
       {{true, {kMid, kMid, 1}, 0, 0, 16, 0},
        {true, {kMid, kMid, 1}, 0, 0, 0, 0},
        {true, {kMid, kMid, 0}, 0, 0, 0, 0},
        {true, {kMid, kMid, 1}, 0, 0, 16, 0}}},
      {"mask 15: the direction repeats, the button does not",
       {{true, {0, kMid, 1}, 15, 0, 17, 0}, {true, {0, kMid, 1}, 15, 0, 1, 0}}},
      {"strict thresholds",
       {{true, {8192, 8192, 0}, 0xFFF, 0, 0, 0},
        {true, {8191, 8191, 0}, 0xFFF, 0, 3, 0},
        {true, {57344, 57344, 0}, 0xFFF, 0, 0, 0},
        {true, {57345, 57345, 0}, 0xFFF, 0, 12, 0}}},
      {"ids other than 0 and 1 poll and update joystick 0",
       {{true, {kMid, kMid, 1}, 0, -1, 16, 0},
        {true, {kMid, kMid, 1}, 0, 2, 0, 0},
        {true, {kMid, kMid, 1}, 0, 1, 16, 1},
        {true, {kMid, kMid, 1}, 0, 7, 0, 0}}},
      {"a failed poll reports nothing and keeps the state from before the gap",
       {{true, {kMid, kMid, 1}, 0, 0, 16, 0}, kLost, {true, {kMid, kMid, 1}, 0, 0, 0, 0}}},
      {"above bit 11 a set mask bit suppresses a bit held before",
       {{true, {kMid, kMid, 0x100}, 0, 0, 0x1000, 0},
        {true, {kMid, kMid, 0x100}, 0, 0, 0x1000, 0},
        {true, {kMid, kMid, 0x100}, 0x1000, 0, 0, 0}}},
  };
  for (const auto& c : cases) {
    JoystickState state;
    FakePoll poll;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      poll.ok = step.ok;
      poll.reading = step.reading;
      EXPECT_EQ(PollJoystick(state, poll, step.mask, step.id), step.want) << c.name << ", " << i;
      EXPECT_EQ(poll.polled, step.polled) << c.name << ", " << i;
    }
  }
}

}  // namespace
}  // namespace tavikit
