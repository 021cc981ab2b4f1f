// The sound device as the slot table sees it: the operations of a DirectSound device and of its
// buffers that the sound exports call, and nothing more. Every operation returns 0 on success and
// a DirectSound error code otherwise; callers treat any non-zero result as failure.
//
// Three backends implement it: DirectSound itself (Tavikit.DLL), the library's own software
// mixer (every other build), and the fake that tests drive. Releasing an object is destroying
// it: a slot owns its buffer through a unique_ptr, and emptying the slot stops the buffer and
// resets the pointer.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace tavikit {

using SoundResult = int32_t;  // 0 (DS_OK) is success

// DirectSound's result codes that the library tells apart.
namespace dserr {
inline constexpr SoundResult kOk = 0;
inline constexpr SoundResult kBadFormat = static_cast<SoundResult>(0x88780064u);
inline constexpr SoundResult kInvalidCall = static_cast<SoundResult>(0x88780032u);
inline constexpr SoundResult kInvalidParam = static_cast<SoundResult>(0x80070057u);
inline constexpr SoundResult kOutOfMemory = static_cast<SoundResult>(0x8007000Eu);
inline constexpr SoundResult kPrioLevelNeeded = static_cast<SoundResult>(0x88780046u);
inline constexpr SoundResult kUnsupported = static_cast<SoundResult>(0x80004001u);
inline constexpr SoundResult kBufferLost = static_cast<SoundResult>(0x88780096u);
inline constexpr SoundResult kNoDriver = static_cast<SoundResult>(0x88780078u);
inline constexpr SoundResult kGeneric = static_cast<SoundResult>(0x80004005u);
}  // namespace dserr

// Flags and values with DirectSound's numbers.
inline constexpr uint32_t kCoopNormal = 1;                     // DSSCL_NORMAL
inline constexpr uint32_t kCoopPriority = 2;                   // DSSCL_PRIORITY
inline constexpr uint32_t kSpeakerStereoWide = 0x00140004;     // DSSPEAKER_COMBINED(STEREO, WIDE)
inline constexpr uint32_t kBufferPrimary = 0x00000001;         // DSBCAPS_PRIMARYBUFFER
inline constexpr uint32_t kBufferSecondaryFlags = 0x000181E0;  // freq, pan, volume, notify,
                                                               // global focus, accurate cursor
inline constexpr uint32_t kPlayLooping = 1;                    // DSBPLAY_LOOPING
inline constexpr uint32_t kStatusPlaying = 1;                  // DSBSTATUS_PLAYING
inline constexpr uint32_t kStatusBufferLost = 2;
inline constexpr uint32_t kStatusLooping = 4;

// WAVEFORMATEX as DirectSound reads it (little-endian, 2-byte packed, 18 bytes; a "fmt " chunk
// may hold only the first 14 or 16).
struct WaveFormat {
  uint16_t formatTag = 0;  // 1: PCM
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t extraSize = 0;  // cbSize
};

// DSBUFFERDESC as the library fills it. `format` is the wave's "fmt " body as it lies in the
// wave image (at least 14 bytes, with readable bytes after it up to 18), handed on unchanged;
// empty for the primary buffer.
struct BufferDescription {
  uint32_t flags = 0;
  uint32_t bufferBytes = 0;
  std::span<const uint8_t> format;
};

class SoundBuffer {
 public:
  virtual ~SoundBuffer() = default;  // Release

  // Lock gives one or two writable regions that together cover `bytes` from `offset`.
  virtual SoundResult Lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes,
                           void** second, uint32_t* secondBytes) = 0;
  virtual SoundResult Unlock(void* first, uint32_t firstBytes, void* second,
                             uint32_t secondBytes) = 0;
  virtual SoundResult Restore() = 0;

  virtual SoundResult SetFormat(const WaveFormat& format) = 0;  // the primary buffer only
  virtual SoundResult Play(uint32_t flags) = 0;
  virtual SoundResult Stop() = 0;
  virtual SoundResult SetCurrentPosition(uint32_t position) = 0;
  // `write` may be null.
  virtual SoundResult GetCurrentPosition(uint32_t* play, uint32_t* write) = 0;
  virtual SoundResult GetStatus(uint32_t* status) = 0;
  virtual SoundResult SetVolume(int32_t volume) = 0;
  virtual SoundResult GetVolume(int32_t* volume) = 0;
  virtual SoundResult SetPan(int32_t pan) = 0;
  virtual SoundResult GetPan(int32_t* pan) = 0;
  virtual SoundResult SetFrequency(uint32_t frequency) = 0;
  virtual SoundResult GetFrequency(uint32_t* frequency) = 0;
};

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;  // Release; a backend with a thread stops and joins it here

  virtual SoundResult SetCooperativeLevel(intptr_t window, uint32_t level) = 0;
  virtual SoundResult SetSpeakerConfig(uint32_t config) = 0;
  virtual SoundResult CreateSoundBuffer(const BufferDescription& description,
                                        std::unique_ptr<SoundBuffer>* buffer) = 0;
  virtual SoundResult DuplicateSoundBuffer(SoundBuffer& original,
                                           std::unique_ptr<SoundBuffer>* duplicate) = 0;
};

// DirectSoundCreate: the default device, or a failure code.
class SoundSystem {
 public:
  virtual ~SoundSystem() = default;
  virtual SoundResult CreateDevice(std::unique_ptr<SoundDevice>* device) = 0;
};

// The backend this build plays through (DirectSound in Tavikit.DLL, the mixer elsewhere). Lives
// for the whole process; never destroyed.
SoundSystem& PlatformSoundSystem();

}  // namespace tavikit
