#include "sound/sound_state.h"

namespace tavikit {
namespace {

// The result of tavi_dsinit for a refused primary format.
int32_t FormatFailure(SoundResult result) {
  switch (result) {
    case dserr::kBadFormat:
      return ToInt(Result::kFormatBad);
    case dserr::kInvalidCall:
      return ToInt(Result::kFormatInvalidCall);
    case dserr::kInvalidParam:
      return ToInt(Result::kFormatInvalidParam);
    case dserr::kOutOfMemory:
      return ToInt(Result::kFormatOutOfMemory);
    case dserr::kPrioLevelNeeded:
      return ToInt(Result::kFormatPrioLevel);
    case dserr::kUnsupported:
      return ToInt(Result::kFormatUnsupported);
    default:
      return ToInt(Result::kFormatOther);
  }
}

// The buffer of a loaded slot, or null (empty slot or a number outside the table).
SoundBuffer* LoadedBuffer(SoundState& sound, int32_t slot) {
  SoundSlot* s = FindSlot(sound, slot);
  return s != nullptr ? s->buffer.get() : nullptr;
}

// A value a loaded slot's buffer reports through `query`; 0 without a device, a loaded slot or
// an answer.
uint32_t SlotQuery(SoundState& sound, int32_t slot, SoundResult (SoundBuffer::*query)(uint32_t*)) {
  uint32_t value = 0;
  if (sound.device == nullptr) return 0;
  if (SoundBuffer* buffer = LoadedBuffer(sound, slot)) {
    if ((buffer->*query)(&value) != dserr::kOk) value = 0;
  }
  return value;
}

}  // namespace

SoundSlot* FindSlot(SoundState& sound, int32_t slot) {
  if (slot < 0 || slot >= kSoundSlots) return nullptr;
  return &sound.slots[static_cast<size_t>(slot)];
}

void EmptySlot(SoundSlot& slot) {
  if (slot.buffer == nullptr) return;
  slot.buffer->Stop();
  slot.buffer.reset();
}

int32_t OpenSound(SoundState& sound, SoundSystem& system, intptr_t window, int32_t rate,
                  int32_t channels, int32_t bits) {
  CloseSound(sound);
  for (SoundSlot& slot : sound.slots)
    slot.buffer.reset();
  sound.primary.buffer.reset();

  if (system.CreateDevice(&sound.device) != dserr::kOk || sound.device == nullptr) {
    sound.device.reset();
    return ToInt(Result::kFailed);
  }
  const uint32_t level = rate < 0 ? kCoopNormal : kCoopPriority;
  if (sound.device->SetCooperativeLevel(window, level) != dserr::kOk) {
    sound.device.reset();
    return ToInt(Result::kNoCooperation);
  }
  if (rate < 0) return ToInt(Result::kOk);

  sound.device->SetSpeakerConfig(kSpeakerStereoWide);
  const BufferDescription primary{kBufferPrimary, 0, {}};
  if (sound.device->CreateSoundBuffer(primary, &sound.primary.buffer) != dserr::kOk) {
    sound.primary.buffer.reset();
    return ToInt(Result::kNoPrimaryBuffer);
  }
  if (sound.primary.buffer == nullptr) return ToInt(Result::kPrimaryMissing);

  WaveFormat format;
  format.formatTag = 1;  // PCM
  format.channels = static_cast<uint16_t>(channels);
  format.samplesPerSec = static_cast<uint32_t>(rate);
  format.bitsPerSample = static_cast<uint16_t>(bits);
  format.blockAlign = static_cast<uint16_t>(format.bitsPerSample / 8 * format.channels);
  format.avgBytesPerSec = format.blockAlign * format.samplesPerSec;
  format.extraSize = 0;
  const SoundResult result = sound.primary.buffer->SetFormat(format);
  if (result != dserr::kOk) return FormatFailure(result);
  sound.primary.buffer->GetVolume(&sound.primary.volume);
  sound.primary.buffer->GetPan(&sound.primary.pan);
  sound.primary.buffer->GetFrequency(&sound.primary.frequency);
  return ToInt(Result::kOk);
}

int32_t CloseSound(SoundState& sound) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  for (SoundSlot& slot : sound.slots)
    EmptySlot(slot);
  // The primary buffer is neither stopped nor released on its own: it ends with the device.
  sound.primary.buffer.reset();
  sound.device.reset();
  return ToInt(Result::kOk);
}

int32_t FreeSlot(SoundState& sound, int32_t slot) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  if (SoundSlot* s = FindSlot(sound, slot)) EmptySlot(*s);
  return ToInt(Result::kOk);
}

int32_t PlaySlot(SoundState& sound, int32_t slot, uint32_t position, int32_t loop) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  SoundBuffer* buffer = LoadedBuffer(sound, slot);
  if (buffer == nullptr) return ToInt(Result::kEmptySlot);
  buffer->SetCurrentPosition(position);
  buffer->Play(loop != 0 ? kPlayLooping : 0);
  return ToInt(Result::kOk);
}

int32_t StopSlot(SoundState& sound, int32_t slot) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  if (SoundBuffer* buffer = LoadedBuffer(sound, slot)) buffer->Stop();
  return ToInt(Result::kOk);
}

int32_t StopAllSlots(SoundState& sound) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  for (SoundSlot& slot : sound.slots) {
    if (slot.buffer != nullptr) slot.buffer->Stop();
  }
  return ToInt(Result::kOk);
}

int32_t SetSlotVolume(SoundState& sound, int32_t slot, int32_t volume) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  if (SoundBuffer* buffer = LoadedBuffer(sound, slot)) buffer->SetVolume(volume);
  return ToInt(Result::kOk);
}

int32_t SetSlotPan(SoundState& sound, int32_t slot, int32_t pan) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  if (SoundBuffer* buffer = LoadedBuffer(sound, slot)) buffer->SetPan(pan);
  return ToInt(Result::kOk);
}

int32_t SetSlotFrequency(SoundState& sound, int32_t slot, uint32_t frequency) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  if (SoundBuffer* buffer = LoadedBuffer(sound, slot)) buffer->SetFrequency(frequency);
  return ToInt(Result::kOk);
}

uint32_t SlotStatus(SoundState& sound, int32_t slot) {
  return SlotQuery(sound, slot, &SoundBuffer::GetStatus);
}

uint32_t SlotFrequency(SoundState& sound, int32_t slot) {
  return SlotQuery(sound, slot, &SoundBuffer::GetFrequency);
}

uint32_t SlotPosition(SoundState& sound, int32_t slot, uint32_t* writeCursor) {
  uint32_t play = 0;
  if (sound.device == nullptr) return 0;
  if (SoundBuffer* buffer = LoadedBuffer(sound, slot)) {
    if (buffer->GetCurrentPosition(&play, writeCursor) != dserr::kOk) play = 0;
  }
  return play;
}

}  // namespace tavikit
