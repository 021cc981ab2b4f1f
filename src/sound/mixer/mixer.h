// The software mixer behind the sound device outside Windows: every secondary buffer is a voice
// with its own play cursor, volume, pan and frequency, and one output (a real audio device, a
// silent clock, a file writer) pulls 44100 Hz 16-bit stereo frames from it on its own thread.
//
// One mutex guards everything the output thread shares with the callers: the voice list, every
// voice's state and the lock counts of the sample stores. Every buffer and device operation
// takes it; sample storage is allocated and freed outside it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "sound/sound_device.h"

namespace tavikit {

inline constexpr uint32_t kMixRate = 44100;    // output frames per second, two 16-bit channels
inline constexpr int32_t kVolumeMin = -10000;  // DSBVOLUME_MIN, silence
inline constexpr int32_t kPanRight = 10000;    // DSBPAN_RIGHT; DSBPAN_LEFT is its negation
inline constexpr uint32_t kFrequencyMin = 100;
inline constexpr uint32_t kFrequencyMax = 200000;

// The samples of one buffer, shared by the buffer and its duplicates. Held as 16-bit words so
// that 16-bit samples are read in place; 8-bit samples are read as the same bytes.
struct SampleStore {
  std::vector<int16_t> words;
  uint32_t bytes = 0;
  uint32_t locks = 0;  // outstanding Lock calls; the mixer does not read the samples meanwhile
  uint8_t* data() { return reinterpret_cast<uint8_t*>(words.data()); }
};

// One playing (or stopped) buffer as the mixer sees it. Every field is guarded by the mixer's
// mutex; the owning buffer links the voice in on creation and out on destruction.
struct Voice {
  Voice* prev = nullptr;
  Voice* next = nullptr;
  SampleStore* store = nullptr;  // kept alive by the owning buffer
  uint32_t frames = 0;
  uint16_t channels = 0;  // 1 or 2
  uint16_t bits = 0;      // 8 or 16
  uint32_t blockAlign = 0;
  uint32_t waveRate = 0;   // the rate of the wave's format, what frequency 0 restores
  uint32_t frequency = 0;  // current playback rate in Hz
  uint64_t position = 0;   // in frames, 32.32 fixed point
  uint64_t step = 0;       // position advance per output frame, 32.32
  int32_t volume = 0;      // hundredths of a decibel
  int32_t pan = 0;
  int32_t gainLeft = 1 << 15;  // Q15, from volume and pan
  int32_t gainRight = 1 << 15;
  bool playing = false;
  bool looping = false;
};

class Mixer {
 public:
  // Mixes `frames` stereo frames into `out` (2 x frames words) and advances every playing voice.
  void Render(int16_t* out, uint32_t frames);

  std::mutex& mutex() { return mutex_; }
  // The two below need the mutex held.
  void Link(Voice& voice);
  void Unlink(Voice& voice);

  uint32_t cooperativeLevel = 0;  // guarded by the mutex
  uint32_t speakerConfig = 0;

 private:
  static constexpr uint32_t kChunk = 1024;
  std::mutex mutex_;
  Voice* first_ = nullptr;
  int32_t accum_[2 * kChunk] = {};
};

class AudioOutput;

// The device: creates voices in its mixer and keeps the output that pulls them. A null output
// leaves the pulling to the caller (Render), which is how tests render offline.
class MixerDevice final : public SoundDevice {
 public:
  MixerDevice(std::shared_ptr<Mixer> mixer, std::unique_ptr<AudioOutput> output);
  ~MixerDevice() override;  // stops and joins the output before the mixer can go

  SoundResult SetCooperativeLevel(intptr_t window, uint32_t level) override;
  SoundResult SetSpeakerConfig(uint32_t config) override;
  SoundResult CreateSoundBuffer(const BufferDescription& description,
                                std::unique_ptr<SoundBuffer>* buffer) override;
  SoundResult DuplicateSoundBuffer(SoundBuffer& original,
                                   std::unique_ptr<SoundBuffer>* duplicate) override;

  Mixer& mixer() { return *mixer_; }

 private:
  std::shared_ptr<Mixer> mixer_;  // buffers hold it too: they may outlive the device
  std::unique_ptr<AudioOutput> output_;
};

// Reads a PCM format from the bytes of a "fmt " body, never past `bytes`. False when fewer
// than 14 bytes are given.
bool ParseWaveFormat(std::span<const uint8_t> bytes, WaveFormat* format);

// Q15 gain of an attenuation in hundredths of a decibel: 32768 x 10^(v/2000), 0 at -10000 or
// below.
int32_t GainQ15(int32_t attenuation);

}  // namespace tavikit
