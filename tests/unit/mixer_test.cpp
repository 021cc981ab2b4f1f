// The mixer rendered offline against the formats' definitions, and its clock-driven outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fstream>
#include <random>
#include <set>

#include "harness/temp_dir.h"
#include "sound/mixer/audio_output.h"
#include "tools/writer/wave_writer.h"

namespace tavikit {
namespace {

std::vector<uint8_t> Noise(size_t bytes) {  // odd bytes: no sample is silent
  std::mt19937 rng(static_cast<uint32_t>(bytes));
  std::vector<uint8_t> s(bytes);
  for (uint8_t& b : s)
    b = static_cast<uint8_t>(rng() | 1);
  return s;
}

// A channel of a frame as a 16-bit value: 8-bit is unsigned, mono sounds on both sides.
template <class Case>
int32_t Source(const std::vector<uint8_t>& s, const Case& c, size_t frame, int ch) {
  const size_t i = frame * c.channels + (c.channels == 2 ? ch : 0);
  return c.bits == 8 ? (s[i] - 128) * 256 : static_cast<int16_t>(s[2 * i] | s[2 * i + 1] << 8);
}

std::unique_ptr<SoundBuffer> Load(SoundDevice& device, int channels, int bits, uint32_t rate,
                                  const std::vector<uint8_t>& s) {
  const uint32_t align = channels * bits / 8, size = uint32_t(s.size());
  const uint32_t fmt[] = {1u | channels << 16, rate, rate * align, align | bits << 16};
  std::unique_ptr<SoundBuffer> b;
  void* p = nullptr;
  uint32_t n = 0;
  EXPECT_EQ(device.CreateSoundBuffer({kBufferSecondaryFlags, size, {(const uint8_t*)fmt, 16}}, &b),
            0);
  EXPECT_EQ(b->Lock(0, size, &p, &n, nullptr, nullptr), 0);
  std::memcpy(p, s.data(), n);
  b->Unlock(p, n, nullptr, 0);
  return b;
}

std::vector<int16_t> Render(Mixer& mixer, uint32_t frames) {
  std::vector<int16_t> out(2 * frames);
  mixer.Render(out.data(), frames);
  return out;
}

TEST(Mixer, VolumeAndPanScaleByTenToTheAttenuationOver2000AndRefuseValuesOutOfRange) {
  const struct {
    int channels, bits, volume, pan, leftDb, rightDb;
  } cases[] = {{2, 16, 0, 0, 0, 0},          {1, 8, 0, 0, 0, 0},
               {2, 16, -600, 0, -600, -600}, {2, 16, 0, -10000, 0, -10000},
               {1, 8, 0, 2500, -2500, 0},    {2, 16, -300, -300, -300, -600}};
  for (const auto& c : cases) {
    auto mixer = std::make_shared<Mixer>();
    MixerDevice device(mixer, nullptr);
    const auto s = Noise(1000);
    auto b = Load(device, c.channels, c.bits, kMixRate, s);
    ASSERT_EQ(b->SetVolume(c.volume) | b->SetPan(c.pan) | b->Play(kPlayLooping), 0);
    void* p = nullptr;
    const auto lock = [&](auto a, uint32_t n) { return b->Lock(a, n, &p, &n, {}, {}); };
    const std::set<SoundResult> refused = {
        b->SetVolume(1),   b->SetVolume(-10001), b->SetPan(10001),
        b->SetPan(-10001), b->SetFrequency(99),  b->SetFrequency(200001),
        lock(996, 8),      lock(1000, 1),        b->SetCurrentPosition(1000)};
    EXPECT_EQ(refused, std::set<SoundResult>{dserr::kInvalidParam});  // nothing heard changes
    const size_t frames = s.size() / (c.channels * c.bits / 8);
    const auto out = Render(*mixer, uint32_t(3 * frames));  // three times round the loop
    for (size_t k = 0; k < 6 * frames; ++k) {
      const int db = k % 2 == 0 ? c.leftDb : c.rightDb;
      const double want =
          db == -10000 ? 0 : Source(s, c, k / 2 % frames, k % 2) * std::pow(10.0, db / 2000.0);
      ASSERT_LE(std::abs(out[k] - want), db == 0 || db == -10000 ? 0 : 1) << k;
    }
  }
}

TEST(Mixer, OneShotDuplicateResamplesLinearlyKeepsItsCursorWhenStoppedAndEndsByItself) {
  const struct {
    int channels, bits;
    uint32_t rate, frequency, outputFrames, ahead;  // ahead: 10 ms of frames, 440 at most
  } cases[] = {{2, 16, 44100, 0, 441, 440},      {2, 16, 44100, 22050, 882, 220},
               {2, 16, 44100, 11025, 1764, 110}, {2, 16, 44100, 88200, 221, 440},
               {1, 8, 44100, 0, 441, 440},       {2, 8, 22050, 0, 882, 220},
               {1, 16, 11025, 44100, 441, 440}};
  for (const auto& c : cases) {
    auto mixer = std::make_shared<Mixer>();
    MixerDevice device(mixer, nullptr);
    const auto status = [](SoundBuffer& b, uint32_t s = 9) { return b.GetStatus(&s), s; };
    const uint32_t align = c.channels * c.bits / 8;
    const auto s = Noise(441 * align);
    auto original = Load(device, c.channels, c.bits, c.rate, s);
    std::unique_ptr<SoundBuffer> b;  // a duplicate plays the shared samples on its own
    ASSERT_EQ(device.DuplicateSoundBuffer(*original, &b), 0);
    ASSERT_EQ(b->SetFrequency(c.frequency) | b->Play(0) | status(*original), 0);
    original.reset();  // and outlives its original
    const auto out = Render(*mixer, c.outputFrames - 1);
    const double step = (c.frequency != 0 ? c.frequency : c.rate) / 44100.0;
    for (uint32_t k = 0; k * step < 440; ++k) {  // on the line between neighbouring frames
      const auto i = size_t(k * step);
      const double a = Source(s, c, i, k % 2), z = Source(s, c, i + 1, k % 2);
      ASSERT_LE(std::abs(out[2 * k + k % 2] - (a + (z - a) * (k * step - i))), 2) << k;
    }
    uint32_t play = 0, write = 0;
    ASSERT_EQ(b->GetCurrentPosition(&play, &write), 0);
    EXPECT_EQ(play, uint32_t((c.outputFrames - 1) * step) * align);
    EXPECT_EQ(write, (play / align + c.ahead) % 441 * align);
    ASSERT_EQ(b->Stop(), 0);
    Render(*mixer, 50);
    ASSERT_EQ(b->GetCurrentPosition(&write, nullptr) | b->Play(0), 0);
    EXPECT_EQ(write, play);
    EXPECT_EQ(status(*b), kStatusPlaying);
    EXPECT_NE(Render(*mixer, 1)[0], 0);  // the last frame sounds
    EXPECT_EQ(status(*b), 0u);
    ASSERT_EQ(b->GetCurrentPosition(&play, &write), 0);
    EXPECT_EQ(play + write, 0u);  // back at the start
  }
}

TEST(Mixer, TheLastFrameLeansTowardsTheFirstWhenLoopingAndTowardsItselfWhenNot) {
  const struct {
    uint32_t frequency;
    bool loop;
    std::vector<int16_t> want;  // by hand, from frames 0, 1000, 2000, 3000
    uint32_t cursor;            // in bytes, after those 10 output frames
  } cases[] = {{22050, true, {0, 500, 1000, 1500, 2000, 2500, 3000, 1500, 0, 500}, 2},
               {22050, false, {0, 500, 1000, 1500, 2000, 2500, 3000, 3000, 0, 0}, 0},
               {33075, true, {0, 750, 1500, 2250, 3000, 750, 500, 1250, 2000, 2750}, 6}};
  for (const auto& c : cases) {
    auto mixer = std::make_shared<Mixer>();
    MixerDevice device(mixer, nullptr);
    auto b = Load(device, 1, 16, kMixRate, {0, 0, 0xE8, 0x03, 0xD0, 0x07, 0xB8, 0x0B});
    ASSERT_EQ(b->SetFrequency(c.frequency) | b->Play(c.loop ? kPlayLooping : 0), 0);
    const auto out = Render(*mixer, 10);
    for (size_t k = 0; k < 20; ++k)
      EXPECT_EQ(out[k], c.want[k / 2]) << c.frequency << " " << k;
    uint32_t play = 9, status = 9;
    ASSERT_EQ(b->GetCurrentPosition(&play, nullptr), 0);
    EXPECT_EQ(play, c.cursor);
    std::unique_ptr<SoundBuffer> dup;  // a duplicate starts stopped, at the start
    ASSERT_EQ(device.DuplicateSoundBuffer(*b, &dup) | dup->GetCurrentPosition(&play, nullptr) |
                  dup->GetStatus(&status),
              0);
    EXPECT_EQ(play + status, 0u);
  }
}

// A clock the test moves. Each reading by the output thread waits for the next time the test
// gives; Wait returns once the thread has pulled everything that time made due.
class SteppedClock {
 public:
  int64_t Read() {
    std::unique_lock lock(mutex_);
    idle_ = true;
    moved_.notify_all();
    moved_.wait(lock, [&] { return !times_.empty() || released_; });
    idle_ = false;
    if (!times_.empty()) now_ = times_.front(), times_.pop_front();
    return now_;
  }
  void Give(int64_t microseconds) {
    const std::lock_guard lock(mutex_);
    times_.push_back(microseconds);
    moved_.notify_all();
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    moved_.wait(lock, [&] { return times_.empty() && idle_; });
  }
  void Release() {  // readings stop waiting, so that the output can be closed
    const std::lock_guard lock(mutex_);
    released_ = true;
    moved_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable moved_;
  std::deque<int64_t> times_;
  int64_t now_ = 0;
  bool idle_ = false, released_ = false;
};

TEST(Mixer, ClockOutputsPullWhatTheirClockHasReachedWhileCallersWorkTheBuffers) {
  tavitest::TempDir dir;
  const auto s = Noise(4000);  // 1000 frames, heard as they are
  for (const std::string& path : {std::string(), dir.Path("out.wav")}) {
    SteppedClock clock;
    auto mixer = std::make_shared<Mixer>();
    auto device = std::make_unique<MixerDevice>(
        mixer, OpenClockOutput(*mixer, path, [&clock] { return clock.Read(); }));
    auto b = Load(*device, 2, 16, kMixRate, s), quiet = Load(*device, 2, 16, kMixRate, s);
    ASSERT_EQ(b->Play(kPlayLooping) | quiet->SetVolume(kVolumeMin), 0);
    clock.Give(-7000000);  // any origin
    uint32_t play = 0;
    for (int32_t k = 1; k <= 20; ++k) {  // 441 frames a step
      clock.Give(-7000000 + k * 10000);
      std::unique_ptr<SoundBuffer> dup;  // buffer operations racing the output thread
      ASSERT_EQ(device->DuplicateSoundBuffer(*quiet, &dup) | quiet->Play(0) | quiet->SetPan(-k) |
                    dup->SetVolume(kVolumeMin) | dup->Play(kPlayLooping),
                0);
      clock.Wait();
      ASSERT_EQ(b->GetCurrentPosition(&play, nullptr), 0);
      EXPECT_EQ(play, 441 * k % 1000 * 4u) << path << k;
    }
    clock.Release();
    device.reset();  // closes the output: the file gets its lengths
    if (path.empty()) continue;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    std::vector<uint8_t> heard(20 * 441 * 4);
    for (size_t at = 0; at < heard.size(); ++at)
      heard[at] = s[at % s.size()];
    EXPECT_TRUE(file == taviwriter::WaveImage(2, kMixRate, 16, heard));
  }
}

}  // namespace
}  // namespace tavikit
