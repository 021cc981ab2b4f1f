// The sound device, the table of 256 sound slots and the primary record, and the operations on
// them: opening and closing the device, emptying slots, and playback control.
//
// Every operation first tests whether a device is open. Slot numbers outside 0 to 255 reach no
// memory outside the table: a loader refuses them, playing one reports an empty slot, every other
// operation treats them as empty slots.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "common/result.h"
#include "sound/sound_device.h"

namespace tavikit {

inline constexpr int32_t kSoundSlots = 256;

// One loaded sound, or none. volume, pan and frequency are what the buffer reported right after
// it was filled; they mean nothing for an empty slot.
struct SoundSlot {
  std::unique_ptr<SoundBuffer> buffer;
  int32_t volume = 0;
  int32_t pan = 0;
  uint32_t frequency = 0;
};

// The device is declared first so that a state going out of scope (in tests) releases every
// buffer before the device.
struct SoundState {
  std::unique_ptr<SoundDevice> device;
  std::array<SoundSlot, kSoundSlots> slots;
  SoundSlot primary;  // the primary buffer created at priority level, and its settings
};

// The state behind the exports: never destroyed, so nothing is released at process exit.
SoundState& ProcessSound();

// The slot numbered `slot`, or null outside 0 to 255.
SoundSlot* FindSlot(SoundState& sound, int32_t slot);

// Stops and releases the slot's buffer, if any.
void EmptySlot(SoundSlot& slot);

// Closes any open device, then opens one from `system`: normal level for a negative rate, else
// priority level with a primary buffer of the given PCM format. 0, or one of the codes above.
int32_t OpenSound(SoundState& sound, SoundSystem& system, intptr_t window, int32_t rate,
                  int32_t channels, int32_t bits);
// Empties every slot and releases the device. -1 when none was open.
int32_t CloseSound(SoundState& sound);
// -1 without a device, else empties the slot and returns 0.
int32_t FreeSlot(SoundState& sound, int32_t slot);

int32_t PlaySlot(SoundState& sound, int32_t slot, uint32_t position, int32_t loop);
int32_t StopSlot(SoundState& sound, int32_t slot);
int32_t StopAllSlots(SoundState& sound);
int32_t SetSlotVolume(SoundState& sound, int32_t slot, int32_t volume);
int32_t SetSlotPan(SoundState& sound, int32_t slot, int32_t pan);
int32_t SetSlotFrequency(SoundState& sound, int32_t slot, uint32_t frequency);
// The queries give the value itself (0 without a device, for an empty slot, or when the buffer
// refuses); the exports negate it.
uint32_t SlotStatus(SoundState& sound, int32_t slot);
uint32_t SlotFrequency(SoundState& sound, int32_t slot);
// The play cursor; the write cursor goes to `writeCursor` (may be null) only when the slot is
// loaded.
uint32_t SlotPosition(SoundState& sound, int32_t slot, uint32_t* writeCursor);

}  // namespace tavikit
