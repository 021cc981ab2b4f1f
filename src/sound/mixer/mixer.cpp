#include "sound/mixer/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>

#include "sound/mixer/audio_output.h"

namespace tavikit {
namespace {

constexpr uint64_t kOneFrame = uint64_t{1} << 32;
constexpr int32_t kUnity = 1 << 15;               // Q15 gain of 0 dB
constexpr int32_t kHalf = 1 << 14;                // rounds a Q15 product to the nearest step
constexpr uint32_t kBufferBytesMin = 4;           // DSBSIZE_MIN
constexpr uint32_t kBufferBytesMax = 0x0FFFFFFF;  // DSBSIZE_MAX
constexpr uint32_t kCoopWritePrimary = 4;         // DSSCL_WRITEPRIMARY, the highest level

uint64_t StepFor(uint32_t frequency) { return (uint64_t{frequency} << 32) / kMixRate; }

// A buffer setting read under the mixer's lock.
template <class T>
SoundResult ReadLocked(std::mutex& mutex, const T& field, T* out) {
  if (out == nullptr) return dserr::kInvalidParam;
  const std::lock_guard lock(mutex);
  *out = field;
  return dserr::kOk;
}

// A buffer setting refused outside [low, high], else stored under the mixer's lock, after which
// `then` runs (still under it).
template <class T, class Then>
SoundResult WriteLocked(std::mutex& mutex, T& field, T value, T low, T high, Then then) {
  if (value < low || value > high) return dserr::kInvalidParam;
  const std::lock_guard lock(mutex);
  field = value;
  then();
  return dserr::kOk;
}

// A buffer's status, read under the mixer's lock.
SoundResult StatusLocked(std::mutex& mutex, const bool& playing, const bool& looping,
                         uint32_t* status) {
  if (status == nullptr) return dserr::kInvalidParam;
  const std::lock_guard lock(mutex);
  *status = playing ? kStatusPlaying | (looping ? kStatusLooping : 0) : 0;
  return dserr::kOk;
}

uint32_t Le(std::span<const uint8_t> bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t k = 0; k < width; ++k)
    value |= uint32_t{bytes[at + k]} << (8 * k);
  return value;
}

bool PlayablePcm(const WaveFormat& f) {
  return f.formatTag == 1 && (f.channels == 1 || f.channels == 2) &&
         (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.samplesPerSec >= kFrequencyMin &&
         f.samplesPerSec <= kFrequencyMax && f.blockAlign == f.channels * f.bitsPerSample / 8;
}

void UpdateGains(Voice& v) {
  v.gainLeft = GainQ15(v.volume - std::max(v.pan, 0));
  v.gainRight = GainQ15(v.volume + std::min(v.pan, 0));
}

// Sample `index` (frame x channels + channel) as a signed 16-bit value; 8-bit samples are
// unsigned around 128.
template <int kBits>
inline int32_t SampleAt(const SampleStore& s, uint32_t index) {
  const int16_t* words = s.words.data();
  if constexpr (kBits == 16) {
    return words[index];
  } else {
    return (int32_t{reinterpret_cast<const uint8_t*>(words)[index]} - 128) * 256;
  }
}

inline int32_t Scale(int32_t sample, int32_t gain) { return (sample * gain + kHalf) >> 15; }

// `count` output frames from a voice whose position is a whole frame and whose rate is the
// output's: one source frame per output frame.
template <int kChannels, int kBits>
void MixWhole(const Voice& v, int32_t* acc, uint32_t count) {
  const SampleStore& s = *v.store;
  const auto first = static_cast<uint32_t>(v.position >> 32) * kChannels;
  const int32_t gl = v.gainLeft;
  const int32_t gr = v.gainRight;
  if (kChannels == 2 && kBits == 16 && gl == kUnity && gr == kUnity) {
    const int16_t* words = s.words.data() + first;
    for (uint32_t k = 0; k < 2 * count; ++k)
      acc[k] += words[k];
    return;
  }
  for (uint32_t k = 0; k < count; ++k) {
    const uint32_t i = first + k * kChannels;
    const int32_t left = SampleAt<kBits>(s, i);
    const int32_t right = kChannels == 2 ? SampleAt<kBits>(s, i + 1) : left;
    acc[2 * k] += Scale(left, gl);
    acc[2 * k + 1] += Scale(right, gr);
  }
}

// `count` output frames interpolated linearly between source frames i and i + 1 (Q15 weight
// from the position's fraction). On the last frame (kLast) the next frame is the first when the
// voice loops, else the last frame itself.
template <int kChannels, int kBits, bool kLast, bool kUnity>
uint64_t MixLinear(const Voice& v, int32_t* acc, uint64_t position, uint32_t count) {
  const SampleStore& s = *v.store;
  const uint32_t wrap = v.looping ? 0 : v.frames - 1;
  const int32_t gl = v.gainLeft;
  const int32_t gr = v.gainRight;
  const uint64_t step = v.step;
  for (uint32_t k = 0; k < count; ++k, position += step) {
    const auto i = static_cast<uint32_t>(position >> 32) * kChannels;
    const uint32_t j = kLast ? wrap * kChannels : i + kChannels;
    const auto weight = static_cast<int32_t>((position >> 17) & 0x7FFF);
    int32_t l0, l1, r0, r1;
    if constexpr (kChannels == 2 && kBits == 16) {  // a frame's two words in one load
      uint32_t a, b;
      std::memcpy(&a, s.words.data() + i, 4);
      std::memcpy(&b, s.words.data() + j, 4);
      l0 = static_cast<int16_t>(a), r0 = static_cast<int32_t>(a) >> 16;
      l1 = static_cast<int16_t>(b), r1 = static_cast<int32_t>(b) >> 16;
    } else {
      l0 = SampleAt<kBits>(s, i), l1 = SampleAt<kBits>(s, j);
      r0 = kChannels == 2 ? SampleAt<kBits>(s, i + 1) : l0;
      r1 = kChannels == 2 ? SampleAt<kBits>(s, j + 1) : l1;
    }
    int32_t left = l0 + (((l1 - l0) * weight) >> 15);
    int32_t right = kChannels == 2 ? r0 + (((r1 - r0) * weight) >> 15) : left;
    if constexpr (!kUnity) {
      left = Scale(left, gl);
      right = Scale(right, gr);
    }
    acc[2 * k] += left;
    acc[2 * k + 1] += right;
  }
  return position;
}

// `count` output frames, all before the voice's end.
template <int kChannels, int kBits>
void MixFrames(const Voice& v, int32_t* acc, uint32_t count) {
  if (v.step == kOneFrame && (v.position & 0xFFFFFFFFu) == 0) {
    MixWhole<kChannels, kBits>(v, acc, count);
    return;
  }
  const uint64_t lastFrame = uint64_t{v.frames - 1} << 32;
  uint32_t inner = 0;
  if (v.position < lastFrame) {
    inner = static_cast<uint32_t>(
        std::min<uint64_t>(count, (lastFrame - v.position + v.step - 1) / v.step));
  }
  uint64_t position = v.position;
  if (v.gainLeft == kUnity && v.gainRight == kUnity) {
    position = MixLinear<kChannels, kBits, false, true>(v, acc, position, inner);
    MixLinear<kChannels, kBits, true, true>(v, acc + 2 * inner, position, count - inner);
  } else {
    position = MixLinear<kChannels, kBits, false, false>(v, acc, position, inner);
    MixLinear<kChannels, kBits, true, false>(v, acc + 2 * inner, position, count - inner);
  }
}

void MixVoice(Voice& v, int32_t* acc, uint32_t count) {
  const uint64_t end = uint64_t{v.frames} << 32;
  uint32_t done = 0;
  while (done < count && v.playing) {
    const uint64_t toEnd = (end - v.position + v.step - 1) / v.step;
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(count - done, toEnd));
    if (v.store->locks == 0 && (v.gainLeft | v.gainRight) != 0) {
      int32_t* at = acc + 2 * done;
      if (v.channels == 2) {
        v.bits == 16 ? MixFrames<2, 16>(v, at, n) : MixFrames<2, 8>(v, at, n);
      } else {
        v.bits == 16 ? MixFrames<1, 16>(v, at, n) : MixFrames<1, 8>(v, at, n);
      }
    }
    v.position += n * v.step;
    done += n;
    if (v.position >= end) {
      if (v.looping) {
        v.position %= end;
      } else {
        v.playing = false;
        v.position = 0;
      }
    }
  }
}

// A secondary buffer: a voice of the mixer over samples it may share with duplicates.
class MixerBuffer final : public SoundBuffer {
 public:
  MixerBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<SampleStore> store,
              const Voice& settings)
      : mixer_(std::move(mixer)), store_(std::move(store)), voice_(settings) {
    voice_.store = store_.get();
    const std::lock_guard lock(mixer_->mutex());
    mixer_->Link(voice_);
  }
  ~MixerBuffer() override {
    const std::lock_guard lock(mixer_->mutex());
    mixer_->Unlink(voice_);
  }
  MixerBuffer(const MixerBuffer&) = delete;
  MixerBuffer& operator=(const MixerBuffer&) = delete;

  SoundResult Lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes,
                   void** second, uint32_t* secondBytes) override {
    if (first == nullptr || firstBytes == nullptr || bytes == 0 || offset >= store_->bytes ||
        bytes > store_->bytes - offset)
      return dserr::kInvalidParam;
    const std::lock_guard lock(mixer_->mutex());
    ++store_->locks;
    *first = store_->data() + offset;
    *firstBytes = bytes;
    if (second != nullptr) *second = nullptr;
    if (secondBytes != nullptr) *secondBytes = 0;
    return dserr::kOk;
  }
  SoundResult Unlock(void*, uint32_t, void*, uint32_t) override {
    const std::lock_guard lock(mixer_->mutex());
    if (store_->locks == 0) return dserr::kInvalidCall;
    --store_->locks;
    return dserr::kOk;
  }
  SoundResult Restore() override { return dserr::kOk; }
  SoundResult SetFormat(const WaveFormat&) override { return dserr::kInvalidCall; }

  SoundResult Play(uint32_t flags) override {
    const std::lock_guard lock(mixer_->mutex());
    voice_.playing = true;
    voice_.looping = (flags & kPlayLooping) != 0;
    return dserr::kOk;
  }
  SoundResult Stop() override {
    const std::lock_guard lock(mixer_->mutex());
    voice_.playing = false;
    return dserr::kOk;
  }
  SoundResult SetCurrentPosition(uint32_t position) override {
    const std::lock_guard lock(mixer_->mutex());
    const uint32_t frame = position / voice_.blockAlign;
    if (frame >= voice_.frames) return dserr::kInvalidParam;
    voice_.position = uint64_t{frame} << 32;
    return dserr::kOk;
  }
  SoundResult GetCurrentPosition(uint32_t* play, uint32_t* write) override {
    const std::lock_guard lock(mixer_->mutex());
    const auto frame = static_cast<uint32_t>(voice_.position >> 32);
    // While playing, the write cursor runs 10 ms of playback ahead of the play cursor (less in
    // a shorter buffer).
    const uint32_t ahead =
        voice_.playing ? std::min(std::max<uint32_t>(1, voice_.frequency / 100), voice_.frames - 1)
                       : 0;
    if (play != nullptr) *play = frame * voice_.blockAlign;
    if (write != nullptr)
      *write = static_cast<uint32_t>((uint64_t{frame} + ahead) % voice_.frames) * voice_.blockAlign;
    return dserr::kOk;
  }
  SoundResult GetStatus(uint32_t* status) override {
    return StatusLocked(mixer_->mutex(), voice_.playing, voice_.looping, status);
  }
  SoundResult SetVolume(int32_t volume) override {
    return SetGain(&Voice::volume, volume, kVolumeMin, 0);
  }
  SoundResult GetVolume(int32_t* volume) override { return Get(&Voice::volume, volume); }
  SoundResult SetPan(int32_t pan) override {
    return SetGain(&Voice::pan, pan, -kPanRight, kPanRight);
  }
  SoundResult GetPan(int32_t* pan) override { return Get(&Voice::pan, pan); }
  SoundResult SetFrequency(uint32_t frequency) override {
    if (frequency != 0 && (frequency < kFrequencyMin || frequency > kFrequencyMax))
      return dserr::kInvalidParam;
    const std::lock_guard lock(mixer_->mutex());
    voice_.frequency = frequency == 0 ? voice_.waveRate : frequency;
    voice_.step = StepFor(voice_.frequency);
    return dserr::kOk;
  }
  SoundResult GetFrequency(uint32_t* frequency) override {
    return Get(&Voice::frequency, frequency);
  }

  // A stopped copy of this voice's settings at position 0, for a duplicate.
  Voice Settings() {
    const std::lock_guard lock(mixer_->mutex());
    Voice copy = voice_;
    copy.prev = copy.next = nullptr;
    copy.playing = copy.looping = false;
    copy.position = 0;
    return copy;
  }
  const std::shared_ptr<Mixer>& mixer() const { return mixer_; }
  const std::shared_ptr<SampleStore>& store() const { return store_; }

 private:
  // Volume or pan: refused outside [low, high], else stored and the channel gains worked out.
  SoundResult SetGain(int32_t Voice::*field, int32_t value, int32_t low, int32_t high) {
    return WriteLocked(mixer_->mutex(), voice_.*field, value, low, high,
                       [this] { UpdateGains(voice_); });
  }
  template <class T>
  SoundResult Get(T Voice::*field, T* out) {
    return ReadLocked(mixer_->mutex(), voice_.*field, out);
  }

  std::shared_ptr<Mixer> mixer_;
  std::shared_ptr<SampleStore> store_;
  Voice voice_;
};

// The primary buffer: holds the format it is given (at priority level) and answers queries;
// the mixer's output format does not depend on it.
class PrimaryBuffer final : public SoundBuffer {
 public:
  explicit PrimaryBuffer(std::shared_ptr<Mixer> mixer) : mixer_(std::move(mixer)) {}

  SoundResult Lock(uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*) override {
    return dserr::kInvalidCall;
  }
  SoundResult Unlock(void*, uint32_t, void*, uint32_t) override { return dserr::kInvalidCall; }
  SoundResult Restore() override { return dserr::kOk; }
  SoundResult SetFormat(const WaveFormat& format) override {
    const std::lock_guard lock(mixer_->mutex());
    if (mixer_->cooperativeLevel < kCoopPriority) return dserr::kPrioLevelNeeded;
    if (!PlayablePcm(format)) return dserr::kBadFormat;
    format_ = format;
    return dserr::kOk;
  }
  SoundResult Play(uint32_t flags) override {
    if ((flags & kPlayLooping) == 0) return dserr::kInvalidParam;
    const std::lock_guard lock(mixer_->mutex());
    playing_ = true;
    return dserr::kOk;
  }
  SoundResult Stop() override {
    const std::lock_guard lock(mixer_->mutex());
    playing_ = false;
    return dserr::kOk;
  }
  SoundResult SetCurrentPosition(uint32_t) override { return dserr::kInvalidCall; }
  SoundResult GetCurrentPosition(uint32_t* play, uint32_t* write) override {
    if (play != nullptr) *play = 0;
    if (write != nullptr) *write = 0;
    return dserr::kOk;
  }
  SoundResult GetStatus(uint32_t* status) override {
    // The primary buffer always loops.
    static constexpr bool kLooping = true;
    return StatusLocked(mixer_->mutex(), playing_, kLooping, status);
  }
  SoundResult SetVolume(int32_t volume) override {
    return WriteLocked(mixer_->mutex(), volume_, volume, kVolumeMin, 0, [] {});
  }
  SoundResult GetVolume(int32_t* volume) override {
    return ReadLocked(mixer_->mutex(), volume_, volume);
  }
  SoundResult SetPan(int32_t pan) override {
    return WriteLocked(mixer_->mutex(), pan_, pan, -kPanRight, kPanRight, [] {});
  }
  SoundResult GetPan(int32_t* pan) override { return ReadLocked(mixer_->mutex(), pan_, pan); }
  SoundResult SetFrequency(uint32_t) override { return dserr::kInvalidCall; }
  SoundResult GetFrequency(uint32_t* frequency) override {
    return ReadLocked(mixer_->mutex(), format_.samplesPerSec, frequency);
  }

 private:
  std::shared_ptr<Mixer> mixer_;
  WaveFormat format_{1, 2, 22050, 44100, 2, 8, 0};  // the default: 22050 Hz, 8-bit stereo
  int32_t volume_ = 0;
  int32_t pan_ = 0;
  bool playing_ = false;
};

}  // namespace

bool ParseWaveFormat(std::span<const uint8_t> bytes, WaveFormat* format) {
  if (bytes.size() < 14) return false;
  WaveFormat f;
  f.formatTag = static_cast<uint16_t>(Le(bytes, 0, 2));
  f.channels = static_cast<uint16_t>(Le(bytes, 2, 2));
  f.samplesPerSec = Le(bytes, 4, 4);
  f.avgBytesPerSec = Le(bytes, 8, 4);
  f.blockAlign = static_cast<uint16_t>(Le(bytes, 12, 2));
  if (bytes.size() >= 16) {
    f.bitsPerSample = static_cast<uint16_t>(Le(bytes, 14, 2));
  } else if (f.channels != 0) {
    f.bitsPerSample = static_cast<uint16_t>(f.blockAlign / f.channels * 8);
  }
  if (bytes.size() >= 18) f.extraSize = static_cast<uint16_t>(Le(bytes, 16, 2));
  *format = f;
  return true;
}

int32_t GainQ15(int32_t attenuation) {
  if (attenuation <= kVolumeMin) return 0;
  if (attenuation >= 0) return kUnity;
  return static_cast<int32_t>(std::lround(kUnity * std::pow(10.0, attenuation / 2000.0)));
}

void Mixer::Link(Voice& voice) {
  voice.prev = nullptr;
  voice.next = first_;
  if (first_ != nullptr) first_->prev = &voice;
  first_ = &voice;
}

void Mixer::Unlink(Voice& voice) {
  if (voice.prev != nullptr) {
    voice.prev->next = voice.next;
  } else {
    first_ = voice.next;
  }
  if (voice.next != nullptr) voice.next->prev = voice.prev;
  voice.prev = voice.next = nullptr;
}

void Mixer::Render(int16_t* out, uint32_t frames) {
  const std::lock_guard lock(mutex_);
  while (frames > 0) {
    const uint32_t n = std::min(frames, kChunk);
    std::fill_n(accum_, 2 * n, 0);
    for (Voice* v = first_; v != nullptr; v = v->next) {
      if (v->playing) MixVoice(*v, accum_, n);
    }
    for (uint32_t k = 0; k < 2 * n; ++k)
      out[k] = static_cast<int16_t>(std::clamp(accum_[k], -32768, 32767));
    out += 2 * n;
    frames -= n;
  }
}

MixerDevice::MixerDevice(std::shared_ptr<Mixer> mixer, std::unique_ptr<AudioOutput> output)
    : mixer_(std::move(mixer)), output_(std::move(output)) {}

MixerDevice::~MixerDevice() { output_.reset(); }

SoundResult MixerDevice::SetCooperativeLevel(intptr_t, uint32_t level) {
  if (level < kCoopNormal || level > kCoopWritePrimary) return dserr::kInvalidParam;
  const std::lock_guard lock(mixer_->mutex());
  mixer_->cooperativeLevel = level;
  return dserr::kOk;
}

SoundResult MixerDevice::SetSpeakerConfig(uint32_t config) {
  const std::lock_guard lock(mixer_->mutex());
  mixer_->speakerConfig = config;
  return dserr::kOk;
}

SoundResult MixerDevice::CreateSoundBuffer(const BufferDescription& description,
                                           std::unique_ptr<SoundBuffer>* buffer) {
  if (buffer == nullptr) return dserr::kInvalidParam;
  try {
    if ((description.flags & kBufferPrimary) != 0) {
      if (description.bufferBytes != 0 || !description.format.empty()) return dserr::kInvalidParam;
      *buffer = std::make_unique<PrimaryBuffer>(mixer_);
      return dserr::kOk;
    }
    WaveFormat format;
    if (!ParseWaveFormat(description.format, &format)) return dserr::kInvalidParam;
    if (!PlayablePcm(format)) return dserr::kBadFormat;
    if (description.bufferBytes < kBufferBytesMin || description.bufferBytes > kBufferBytesMax)
      return dserr::kInvalidParam;
    // The samples are allocated here, before the buffer takes the mixer's lock to link in.
    auto store = std::make_shared<SampleStore>();
    store->words.assign((description.bufferBytes + 1) / 2, 0);
    store->bytes = description.bufferBytes;
    Voice settings;
    settings.frames = description.bufferBytes / format.blockAlign;
    settings.channels = format.channels;
    settings.bits = format.bitsPerSample;
    settings.blockAlign = format.blockAlign;
    settings.waveRate = settings.frequency = format.samplesPerSec;
    settings.step = StepFor(format.samplesPerSec);
    *buffer = std::make_unique<MixerBuffer>(mixer_, std::move(store), settings);
  } catch (const std::bad_alloc&) {
    return dserr::kOutOfMemory;
  }
  return dserr::kOk;
}

SoundResult MixerDevice::DuplicateSoundBuffer(SoundBuffer& original,
                                              std::unique_ptr<SoundBuffer>* duplicate) {
  auto* source = dynamic_cast<MixerBuffer*>(&original);
  if (duplicate == nullptr || source == nullptr || source->mixer() != mixer_)
    return dserr::kInvalidCall;
  try {
    *duplicate = std::make_unique<MixerBuffer>(mixer_, source->store(), source->Settings());
  } catch (const std::bad_alloc&) {
    return dserr::kOutOfMemory;
  }
  return dserr::kOk;
}

}  // namespace tavikit
