// A sound system for tests: every operation is logged as "Name id" (id 0 is the device, buffers
// count from 1) and answers the next result queued for its name, 0 when none is queued.
#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sound/sound_device.h"

namespace tavitest {

using namespace tavikit;

// Queued for CreateDevice or CreateSoundBuffer: answer 0 but hand out no object.
inline constexpr SoundResult kNoObject = 0x7E57;

struct FakeSound final : SoundSystem {
  std::vector<std::string> calls;
  std::map<std::string, std::deque<SoundResult>> queued;
  WaveFormat primaryFormat;
  uint32_t firstRegion = UINT32_MAX;  // Lock splits the bytes after this many
  int buffers = 0;

  SoundResult Answer(const std::string& name, int id) {
    calls.push_back(name + " " + std::to_string(id));
    auto& q = queued[name];
    if (q.empty()) return 0;
    const SoundResult r = q.front();
    q.pop_front();
    return r;
  }
  bool Called(const std::string& call) const {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
  SoundResult CreateDevice(std::unique_ptr<SoundDevice>* device) override;
};

struct FakeBuffer final : SoundBuffer {
  FakeSound& fake;
  int id = ++fake.buffers;
  std::shared_ptr<std::vector<uint8_t>> samples;
  uint32_t position = 0, status = 0, frequency;
  int32_t volume = 0, pan = 0;

  FakeBuffer(FakeSound& f, std::shared_ptr<std::vector<uint8_t>> s, uint32_t rate)
      : fake(f), samples(std::move(s)), frequency(rate) {}
  ~FakeBuffer() override { fake.calls.push_back("Release " + std::to_string(id)); }
  SoundResult Lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes,
                   void** second, uint32_t* secondBytes) override {
    if (SoundResult r = fake.Answer("Lock", id)) return r;
    *firstBytes = std::min(bytes, fake.firstRegion);
    *secondBytes = bytes - *firstBytes;
    *first = samples->data() + offset;
    *second = *secondBytes != 0 ? samples->data() + offset + *firstBytes : nullptr;
    return 0;
  }
  SoundResult Unlock(void*, uint32_t, void*, uint32_t) override {
    return fake.Answer("Unlock", id);
  }
  SoundResult Restore() override { return fake.Answer("Restore", id); }
  SoundResult SetFormat(const WaveFormat& format) override {
    fake.primaryFormat = format;
    return fake.Answer("SetFormat", id);
  }
  SoundResult Play(uint32_t flags) override {
    status = 1 | (flags & 1) << 2;
    return fake.Answer("Play", id);
  }
  SoundResult Stop() override {
    status = 0;
    return fake.Answer("Stop", id);
  }
  SoundResult SetCurrentPosition(uint32_t p) override {
    return position = p, fake.Answer("Pos", id);
  }
  SoundResult GetCurrentPosition(uint32_t* play, uint32_t* write) override {
    *play = position;
    if (write != nullptr) *write = position + 4;
    return fake.Answer("GetPos", id);
  }
  SoundResult GetStatus(uint32_t* s) override { return *s = status, fake.Answer("GetStatus", id); }
  SoundResult SetVolume(int32_t v) override { return volume = v, fake.Answer("SetVolume", id); }
  SoundResult GetVolume(int32_t* v) override { return *v = volume, fake.Answer("GetVolume", id); }
  SoundResult SetPan(int32_t p) override { return pan = p, fake.Answer("SetPan", id); }
  SoundResult GetPan(int32_t* p) override { return *p = pan, fake.Answer("GetPan", id); }
  SoundResult SetFrequency(uint32_t f) override {
    return frequency = f, fake.Answer("SetFreq", id);
  }
  SoundResult GetFrequency(uint32_t* f) override {
    return *f = frequency, fake.Answer("GetFreq", id);
  }
};

struct FakeDevice final : SoundDevice {
  FakeSound& fake;
  explicit FakeDevice(FakeSound& f) : fake(f) {}
  ~FakeDevice() override { fake.calls.push_back("Release 0"); }
  SoundResult SetCooperativeLevel(intptr_t, uint32_t level) override {
    return fake.Answer("Level" + std::to_string(level), 0);
  }
  SoundResult SetSpeakerConfig(uint32_t) override { return fake.Answer("Speakers", 0); }
  SoundResult CreateSoundBuffer(const BufferDescription& d,
                                std::unique_ptr<SoundBuffer>* buffer) override {
    const SoundResult r = fake.Answer("CreateBuffer", 0);
    if (r != 0 && r != kNoObject) return r;
    const uint32_t rate = d.format.size() >= 8 ? d.format[4] | d.format[5] << 8 : 22050;
    if (r == 0)
      *buffer = std::make_unique<FakeBuffer>(
          fake, std::make_shared<std::vector<uint8_t>>(d.bufferBytes, 0xEE), rate);
    return 0;
  }
  SoundResult DuplicateSoundBuffer(SoundBuffer& original,
                                   std::unique_ptr<SoundBuffer>* duplicate) override {
    if (SoundResult r = fake.Answer("Duplicate", 0)) return r;
    auto& from = static_cast<FakeBuffer&>(original);
    *duplicate = std::make_unique<FakeBuffer>(fake, from.samples, from.frequency);
    return 0;
  }
};

inline SoundResult FakeSound::CreateDevice(std::unique_ptr<SoundDevice>* device) {
  const SoundResult r = Answer("Create", 0);
  if (r == 0) *device = std::make_unique<FakeDevice>(*this);
  return r == kNoObject ? 0 : r;
}

}  // namespace tavitest
