// A sound system for tests: calls are logged as "Name id;" (0 the device, buffers from 1) and
// answer the next result queued for their name, else 0. Lock always gives two regions.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sound/sound_device.h"

namespace tavitest {

using namespace tavikit;
inline constexpr SoundResult kNoObject = 0x7E57;  // queued: answer 0 but hand out no object

struct FakeLog {
  std::string log;
  std::map<std::string, std::deque<SoundResult>> queued;
  WaveFormat primaryFormat;
  intptr_t window = 0;  // as the last SetCooperativeLevel got it
  int buffers = 0;
  SoundResult Ask(const std::string& name, int id) {
    log += name + " " + std::to_string(id) + ";";
    auto& q = queued[name];
    const SoundResult r = q.empty() ? 0 : q.front();
    return q.empty() ? 0 : (q.pop_front(), r);
  }
  bool Called(const std::string& call) const { return log.find(call + ";") != std::string::npos; }
};

struct FakeBuffer final : SoundBuffer {
  FakeLog& fake;
  std::shared_ptr<std::vector<uint8_t>> samples;
  uint32_t frequency, position = 0, status = 0;
  int32_t volume = 0, pan = 0;
  int id = ++fake.buffers;
  FakeBuffer(FakeLog& f, std::shared_ptr<std::vector<uint8_t>> s, uint32_t rate)
      : fake(f), samples(std::move(s)), frequency(rate) {}
  ~FakeBuffer() override { fake.log += "Release " + std::to_string(id) + ";"; }
  SoundResult A(const char* name) { return fake.Ask(name, id); }
  SoundResult Lock(uint32_t at, uint32_t n, void** p1, uint32_t* n1, void** p2,
                   uint32_t* n2) override {
    if (SoundResult r = A("Lock")) return r;
    *n1 = n / 2, *n2 = n - *n1, *p1 = samples->data() + at;
    return *p2 = *n2 != 0 ? samples->data() + at + *n1 : nullptr, 0;
  }
  SoundResult Unlock(void*, uint32_t, void*, uint32_t) override { return A("Unlock"); }
  SoundResult Restore() override { return A("Restore"); }
  SoundResult SetFormat(const WaveFormat& f) override { return fake.primaryFormat = f, A("Fmt"); }
  SoundResult Play(uint32_t flags) override { return status = 1 | (flags & 1) << 2, A("Play"); }
  SoundResult Stop() override { return status = 0, A("Stop"); }
  SoundResult SetCurrentPosition(uint32_t p) override { return position = p, A("SetPos"); }
  SoundResult GetCurrentPosition(uint32_t* play, uint32_t* write) override {
    return (write != nullptr ? *write = position + 4 : 0), *play = position, A("GetPos");
  }
  SoundResult GetStatus(uint32_t* s) override { return *s = status, A("Status"); }
  SoundResult SetVolume(int32_t v) override { return volume = v, A("SetVol"); }
  SoundResult GetVolume(int32_t* v) override { return *v = volume, A("GetVol"); }
  SoundResult SetPan(int32_t p) override { return pan = p, A("SetPan"); }
  SoundResult GetPan(int32_t* p) override { return *p = pan, A("GetPan"); }
  SoundResult SetFrequency(uint32_t f) override { return frequency = f, A("SetFreq"); }
  SoundResult GetFrequency(uint32_t* f) override { return *f = frequency, A("GetFreq"); }
};

struct FakeDevice final : SoundDevice {
  FakeLog& fake;
  explicit FakeDevice(FakeLog& f) : fake(f) {}
  ~FakeDevice() override { fake.log += "Release 0;"; }
  SoundResult SetCooperativeLevel(intptr_t w, uint32_t l) override {
    return fake.window = w, fake.Ask("Level", int(l));
  }
  SoundResult SetSpeakerConfig(uint32_t) override { return fake.Ask("Speakers", 0); }
  SoundResult CreateSoundBuffer(const BufferDescription& d,
                                std::unique_ptr<SoundBuffer>* out) override {
    const SoundResult r = fake.Ask("CreateBuffer", 0);
    const uint32_t rate = d.format.size() >= 8 ? d.format[4] | d.format[5] << 8 : 0;
    auto samples = std::make_shared<std::vector<uint8_t>>(d.bufferBytes, 0xEE);
    if (r == 0) *out = std::make_unique<FakeBuffer>(fake, samples, rate);
    return r == kNoObject ? 0 : r;
  }
  SoundResult DuplicateSoundBuffer(SoundBuffer& from, std::unique_ptr<SoundBuffer>* out) override {
    auto& original = static_cast<FakeBuffer&>(from);
    if (SoundResult r = fake.Ask("Duplicate", 0)) return r;
    return *out = std::make_unique<FakeBuffer>(fake, original.samples, original.frequency), 0;
  }
};

struct FakeSound final : FakeLog, SoundSystem {
  SoundResult CreateDevice(std::unique_ptr<SoundDevice>* device) override {
    const SoundResult r = Ask("Create", 0);
    if (r == 0) *device = std::make_unique<FakeDevice>(*this);
    return r == kNoObject ? 0 : r;
  }
};

}  // namespace tavitest
