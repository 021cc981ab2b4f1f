#include "sound/wave_loader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/wave_format.h"

namespace tavikit {
namespace {

// Reads `size` bytes of `name` from `offset` into a buffer followed by the zeroed reserve. False
// when fewer bytes arrived or memory ran out: bytes not read never reach the walk.
bool ReadImage(PackState& pack, const char* name, int32_t offset, int32_t size,
               std::vector<uint8_t>& image) {
  if (!PackReadBlock(pack, name, offset, size, image)) return false;
  if (image.size() != static_cast<size_t>(size)) return false;
  image.resize(image.size() + kWaveReserveBytes);
  return true;
}

// Unscrambles the image, walks it and fills the slot. The image is freed by the caller.
int32_t FillFromImage(SoundState& sound, SoundSlot& slot, std::vector<uint8_t>& image,
                      size_t size) {
  const size_t start = UnscrambleWave(image, size);
  const std::span<const uint8_t> riff =
      start <= size ? std::span<const uint8_t>(image).subspan(start, size - start)
                    : std::span<const uint8_t>();
  WaveChunks wave;
  if (FindWaveChunks(riff, wave) == 0) return ToInt(Result::kFailed);
  return FillSlot(*sound.device, slot, wave);
}

}  // namespace

int32_t FillSlot(SoundDevice& device, SoundSlot& slot, const WaveChunks& wave) {
  const auto length = static_cast<uint32_t>(wave.samples.size());
  const BufferDescription description{kBufferSecondaryFlags, length, wave.format};
  if (device.CreateSoundBuffer(description, &slot.buffer) != dserr::kOk || slot.buffer == nullptr) {
    slot.buffer.reset();
    return ToInt(Result::kFailed);
  }
  SoundBuffer& buffer = *slot.buffer;
  void* first = nullptr;
  void* second = nullptr;
  uint32_t firstBytes = 0;
  uint32_t secondBytes = 0;
  SoundResult locked = buffer.Lock(0, length, &first, &firstBytes, &second, &secondBytes);
  if (locked == dserr::kBufferLost) {
    buffer.Restore();
    locked = buffer.Lock(0, length, &first, &firstBytes, &second, &secondBytes);
  }
  if (locked == dserr::kOk) {
    // Never more than the samples hold, whatever counts the buffer gives.
    const uint32_t toFirst = std::min(firstBytes, length);
    const uint32_t toSecond = std::min(secondBytes, length - toFirst);
    if (toFirst != 0) std::memcpy(first, wave.samples.data(), toFirst);
    if (toSecond != 0) std::memcpy(second, wave.samples.data() + toFirst, toSecond);
    buffer.Unlock(first, firstBytes, second, secondBytes);
  }
  buffer.GetVolume(&slot.volume);
  buffer.GetPan(&slot.pan);
  buffer.GetFrequency(&slot.frequency);
  return ToInt(Result::kOk);
}

int32_t LoadWave(SoundState& sound, PackState& pack, const char* name, int32_t size, int32_t slot,
                 char* packText) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  SoundSlot* target = FindSlot(sound, slot);
  if (target == nullptr) return ToInt(Result::kFailed);
  EmptySlot(*target);
  PackOpen(pack, packText);
  if (size <= 0) return ToInt(Result::kFailed);
  std::vector<uint8_t> image;
  if (!ReadImage(pack, name, 0, size, image)) return ToInt(Result::kFailed);
  return FillFromImage(sound, *target, image, static_cast<size_t>(size));
}

int32_t LoadBankWave(SoundState& sound, PackState& pack, const char* name, int32_t index,
                     int32_t slot, char* packText) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  SoundSlot* target = FindSlot(sound, slot);
  if (target == nullptr) return ToInt(Result::kFailed);
  EmptySlot(*target);
  PackOpen(pack, packText);
  const BankRead read = [&](int32_t offset, std::span<uint8_t> buffer) {
    return PackRead(pack, name, buffer, offset);
  };
  const std::optional<BankEntry> entry = FindBankEntry(read, index);
  if (!entry) return ToInt(Result::kFailed);
  std::vector<uint8_t> image;
  if (!ReadImage(pack, name, entry->offset, entry->size, image)) return ToInt(Result::kFailed);
  return FillFromImage(sound, *target, image, static_cast<size_t>(entry->size));
}

int32_t DuplicateSlot(SoundState& sound, int32_t source, int32_t dest) {
  if (sound.device == nullptr) return ToInt(Result::kFailed);
  SoundSlot* to = FindSlot(sound, dest);
  if (to != nullptr) EmptySlot(*to);
  SoundSlot* from = FindSlot(sound, source);
  if (to == nullptr || from == nullptr || from->buffer == nullptr) return ToInt(Result::kOk);
  if (sound.device->DuplicateSoundBuffer(*from->buffer, &to->buffer) != dserr::kOk)
    to->buffer.reset();
  return ToInt(Result::kOk);
}

}  // namespace tavikit
