// Exports of the sound subsystem: the device, the slots, wave loading and playback control.
#include "common/export_guard.h"
#include "common/int32.h"
#include "common/process_state.h"
#include "common/result.h"
#include "common/screen.h"
#include "common/words.h"
#include "pack/pack_reader.h"
#include "sound/sound_state.h"
#include "sound/wave_loader.h"
#include "tavikit.h"

namespace tavikit {

SoundState& ProcessSound() {
  static ProcessStorage<SoundState> storage;
  return ProcessInstance(storage);
}

namespace {

int32_t Reported(uint32_t value) { return Report(static_cast<int32_t>(value)); }

// Loaders and the device calls fail with -1, memory included; the others act on nothing.
constexpr ExportFailure kFails{ToInt(Result::kFailed), ToInt(Result::kFailed)};

}  // namespace
}  // namespace tavikit

using namespace tavikit;

int32_t TAVIKIT_CALL tavi_dsinit(tavi_word screen, tavi_word rate, tavi_word channels,
                                 tavi_word bits) {
  const tavi_word window = WindowArg(screen);  // none in a console runtime
  return GuardExport(kFails, [&] {
    return OpenSound(ProcessSound(), PlatformSoundSystem(), window, ArgInt(rate), ArgInt(channels),
                     ArgInt(bits));
  });
}

int32_t TAVIKIT_CALL tavi_dsexit(tavi_word, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kFails, [&] { return CloseSound(ProcessSound()); });
}

int32_t TAVIKIT_CALL tavi_dsfree(tavi_word slot, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kFails, [&] { return FreeSlot(ProcessSound(), ArgInt(slot)); });
}

int32_t TAVIKIT_CALL tavi_dsload(tavi_word name, tavi_word size, tavi_word slot,
                                 tavi_word packText) {
  return GuardExport(kFails, [&] {
    return LoadWave(ProcessSound(), ProcessPack(), ArgPtr<const char>(name), ArgInt(size),
                    ArgInt(slot), ArgPtr<char>(packText));
  });
}

int32_t TAVIKIT_CALL tavi_dsloadB(tavi_word name, tavi_word index, tavi_word slot,
                                  tavi_word packText) {
  return GuardExport(kFails, [&] {
    return LoadBankWave(ProcessSound(), ProcessPack(), ArgPtr<const char>(name), ArgInt(index),
                        ArgInt(slot), ArgPtr<char>(packText));
  });
}

int32_t TAVIKIT_CALL tavi_dsdup(tavi_word source, tavi_word dest, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero,
                     [&] { return DuplicateSlot(ProcessSound(), ArgInt(source), ArgInt(dest)); });
}

int32_t TAVIKIT_CALL tavi_dsplay(tavi_word slot, tavi_word position, tavi_word loop, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    return PlaySlot(ProcessSound(), ArgInt(slot), static_cast<uint32_t>(ArgInt(position)),
                    ArgInt(loop));
  });
}

int32_t TAVIKIT_CALL tavi_dsstop(tavi_word slot, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] { return StopSlot(ProcessSound(), ArgInt(slot)); });
}

int32_t TAVIKIT_CALL tavi_dsstopall(tavi_word, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] { return StopAllSlots(ProcessSound()); });
}

int32_t TAVIKIT_CALL tavi_dssetvol(tavi_word slot, tavi_word volume, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero,
                     [&] { return SetSlotVolume(ProcessSound(), ArgInt(slot), ArgInt(volume)); });
}

int32_t TAVIKIT_CALL tavi_dssetpan(tavi_word slot, tavi_word pan, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero,
                     [&] { return SetSlotPan(ProcessSound(), ArgInt(slot), ArgInt(pan)); });
}

int32_t TAVIKIT_CALL tavi_dssetfreq(tavi_word slot, tavi_word freq, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    return SetSlotFrequency(ProcessSound(), ArgInt(slot), static_cast<uint32_t>(ArgInt(freq)));
  });
}

int32_t TAVIKIT_CALL tavi_dsstat(tavi_word slot, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero,
                     [&] { return Reported(SlotStatus(ProcessSound(), ArgInt(slot))); });
}

int32_t TAVIKIT_CALL tavi_dsgetfreq(tavi_word slot, tavi_word, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero,
                     [&] { return Reported(SlotFrequency(ProcessSound(), ArgInt(slot))); });
}

int32_t TAVIKIT_CALL tavi_dsgetpos(tavi_word writeCursor, tavi_word slot, tavi_word, tavi_word) {
  return GuardExport(kReturnsZero, [&] {
    return Reported(SlotPosition(ProcessSound(), ArgInt(slot), ArgPtr<uint32_t>(writeCursor)));
  });
}
