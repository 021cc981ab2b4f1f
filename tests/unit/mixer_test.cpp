// The software mixer rendered offline, frame by frame, against samples derived from the formats'
// definitions; and its clock-driven outputs running on their own threads.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <thread>

#include "sound/mixer/audio_output.h"

namespace tavikit {
namespace {

std::vector<uint8_t> Noise(size_t bytes) {  // never 0 or 128: every sample is audible
  std::mt19937 rng(static_cast<uint32_t>(bytes));
  std::vector<uint8_t> s(bytes);
  for (uint8_t& b : s)
    b = static_cast<uint8_t>(rng() | 1);
  return s;
}

// Channel `ch` of source frame `frame` as a 16-bit value: 8-bit is unsigned around 128, mono
// sounds on both sides.
int32_t Source(const std::vector<uint8_t>& s, int channels, int bits, size_t frame, int ch) {
  const size_t i = frame * channels + (channels == 2 ? ch : 0);
  return bits == 8 ? (s[i] - 128) * 256 : static_cast<int16_t>(s[2 * i] | s[2 * i + 1] << 8);
}

std::unique_ptr<SoundBuffer> Load(SoundDevice& device, int channels, int bits, uint32_t rate,
                                  const std::vector<uint8_t>& samples) {
  const uint32_t align = channels * bits / 8;
  const uint32_t words[] = {1u | channels << 16, rate, rate * align, align | bits << 16};
  uint8_t fmt[16];
  std::memcpy(fmt, words, sizeof fmt);
  std::unique_ptr<SoundBuffer> b;
  EXPECT_EQ(device.CreateSoundBuffer({kBufferSecondaryFlags, uint32_t(samples.size()), fmt}, &b),
            0);
  void* p = nullptr;
  uint32_t n = 0;
  EXPECT_EQ(b->Lock(0, uint32_t(samples.size()), &p, &n, nullptr, nullptr), 0);
  std::memcpy(p, samples.data(), n);
  EXPECT_EQ(b->Unlock(p, n, nullptr, 0), 0);
  return b;
}

struct Offline {
  std::shared_ptr<Mixer> mixer = std::make_shared<Mixer>();
  MixerDevice device{mixer, nullptr};
  std::vector<int16_t> Render(uint32_t frames) {
    std::vector<int16_t> out(2 * frames);
    mixer->Render(out.data(), frames);
    return out;
  }
};

uint32_t Status(SoundBuffer& b) {
  uint32_t s = 99;
  b.GetStatus(&s);
  return s;
}

TEST(Mixer, VolumeAndPanScaleEachChannelByTenToTheAttenuationOver2000) {
  const struct {
    int channels, bits, volume, pan, leftDb, rightDb;
  } cases[] = {{2, 16, 0, 0, 0, 0},          {1, 16, 0, 0, 0, 0},
               {2, 8, 0, 0, 0, 0},           {1, 8, 0, 0, 0, 0},
               {2, 16, -600, 0, -600, -600}, {2, 16, 0, -10000, 0, -10000},
               {1, 8, 0, 2500, -2500, 0},    {2, 16, -300, -300, -300, -600}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.channels << "ch " << c.bits << "bit vol " << c.volume);
    Offline rig;
    const auto s = Noise(1000);
    auto b = Load(rig.device, c.channels, c.bits, kMixRate, s);
    ASSERT_EQ(b->SetVolume(c.volume), 0);
    ASSERT_EQ(b->SetPan(c.pan), 0);
    ASSERT_EQ(b->Play(kPlayLooping), 0);
    const size_t frames = s.size() / (c.channels * c.bits / 8);
    const auto out = rig.Render(uint32_t(3 * frames));  // three times round the loop
    for (size_t k = 0; k < 3 * frames; ++k) {
      for (int ch = 0; ch < 2; ++ch) {
        const int db = ch == 0 ? c.leftDb : c.rightDb;
        const double want = db == -10000 ? 0
                                         : Source(s, c.channels, c.bits, k % frames, ch) *
                                               std::pow(10.0, db / 2000.0);
        ASSERT_LE(std::abs(out[2 * k + ch] - want), db == 0 || db == -10000 ? 0 : 1) << k;
      }
    }
  }
}

TEST(Mixer, OneShotStopsAfterItsLastFrameAtTheRateItPlaysAt) {
  const struct {
    uint32_t frequency, outputFrames;
  } cases[] = {{0, 441}, {44100, 441}, {22050, 882}, {11025, 1764}, {88200, 221}};
  for (const auto& c : cases) {
    Offline rig;
    const auto s = Noise(441 * 4);
    auto b = Load(rig.device, 2, 16, kMixRate, s);
    ASSERT_EQ(b->SetFrequency(c.frequency), 0);
    ASSERT_EQ(b->Play(0), 0);
    const auto out = rig.Render(c.outputFrames - 1);
    const double step = c.frequency == 0 ? 1 : c.frequency / 44100.0;
    for (uint32_t k = 0; k * step < 440; ++k) {  // linear between neighbouring frames
      const auto i = size_t(k * step);
      const double a = Source(s, 2, 16, i, k % 2), z = Source(s, 2, 16, i + 1, k % 2);
      ASSERT_LE(std::abs(out[2 * k + k % 2] - (a + (z - a) * (k * step - i))), 2) << k;
    }
    EXPECT_EQ(Status(*b), kStatusPlaying) << c.frequency;
    const auto last = rig.Render(1);
    EXPECT_NE(last[0] | last[1], 0) << c.frequency;
    EXPECT_EQ(Status(*b), 0u) << c.frequency;
    const auto after = rig.Render(64);
    EXPECT_EQ(std::count(after.begin(), after.end(), 0), 128) << c.frequency;
  }
}

TEST(Mixer, PlayCursorIsTheByteOffsetTheRenderedFramesReached) {
  const struct {
    int channels, bits;
    uint32_t rate, frequency, frames, play;
  } cases[] = {{2, 16, 44100, 0, 300, 1200}, {1, 8, 44100, 0, 300, 300},
               {2, 16, 22050, 0, 300, 600},  {2, 16, 44100, 22050, 300, 600},
               {1, 16, 11025, 0, 400, 200},  {2, 8, 44100, 0, 1000 + 7, 14}};
  for (const auto& c : cases) {
    Offline rig;
    auto b = Load(rig.device, c.channels, c.bits, c.rate, Noise(2000));
    ASSERT_EQ(b->SetFrequency(c.frequency), 0);
    ASSERT_EQ(b->Play(kPlayLooping), 0);
    rig.Render(c.frames);
    uint32_t play = 0, write = 0;
    ASSERT_EQ(b->GetCurrentPosition(&play, &write), 0);
    EXPECT_EQ(play, c.play) << c.channels << " " << c.bits << " " << c.frequency;
    EXPECT_NE(write, play);
    ASSERT_EQ(b->Stop(), 0);  // stopping keeps the position
    rig.Render(50);
    ASSERT_EQ(b->GetCurrentPosition(&play, &write), 0);
    EXPECT_EQ(play, c.play);
    EXPECT_EQ(write, play);
  }
}

TEST(Mixer, DuplicateSharesSamplesButPlaysOnItsOwn) {
  Offline rig;
  const auto s = Noise(4000);
  auto original = Load(rig.device, 2, 16, kMixRate, s);
  std::unique_ptr<SoundBuffer> dup;
  ASSERT_EQ(rig.device.DuplicateSoundBuffer(*original, &dup), 0);
  ASSERT_EQ(dup->SetCurrentPosition(400), 0);
  ASSERT_EQ(dup->Play(kPlayLooping), 0);
  EXPECT_EQ(Status(*original), 0u);
  original.reset();  // the duplicate outlives its original
  auto out = rig.Render(10);
  for (size_t k = 0; k < 20; ++k)
    EXPECT_EQ(out[k], Source(s, 2, 16, 100 + k / 2, k % 2));
  ASSERT_EQ(dup->SetVolume(-10000), 0);
  out = rig.Render(10);
  EXPECT_EQ(std::count(out.begin(), out.end(), 0), 20);
}

TEST(Mixer, OutOfRangeSettingsAndLocksAreRefusedAndChangeNothing) {
  Offline rig;
  auto b = Load(rig.device, 2, 16, 22050, Noise(1000));
  ASSERT_EQ(b->SetVolume(-600) | b->SetPan(300) | b->SetFrequency(8000), 0);
  void* p;
  uint32_t n;
  const std::function<SoundResult()> refused[] = {
      [&] { return b->SetVolume(1); },
      [&] { return b->SetVolume(-10001); },
      [&] { return b->SetPan(10001); },
      [&] { return b->SetPan(-10001); },
      [&] { return b->SetFrequency(99); },
      [&] { return b->SetFrequency(200001); },
      [&] { return b->Lock(996, 8, &p, &n, nullptr, nullptr); },
      [&] { return b->Lock(1000, 1, &p, &n, nullptr, nullptr); },
      [&] { return b->SetCurrentPosition(1000); }};
  for (const auto& op : refused)
    EXPECT_EQ(op(), dserr::kInvalidParam);
  int32_t volume = 0, pan = 0;
  uint32_t frequency = 0;
  b->GetVolume(&volume), b->GetPan(&pan), b->GetFrequency(&frequency);
  EXPECT_EQ(volume, -600);
  EXPECT_EQ(pan, 300);
  EXPECT_EQ(frequency, 8000u);
}

TEST(Mixer, ClockOutputsPullInRealTimeWhileCallersWorkTheBuffers) {
  const auto path = std::filesystem::temp_directory_path() / "tavikit_mixer_test.wav";
  const auto s = Noise(4000);
  for (const std::string& choice : std::vector<std::string>{"null", "wav:" + path.string()}) {
    setenv("TAVIKIT_AUDIO", choice.c_str(), 1);
    std::unique_ptr<SoundDevice> device;
    ASSERT_EQ(PlatformSoundSystem().CreateDevice(&device), 0) << choice;
    auto b = Load(*device, 2, 16, kMixRate, s);
    ASSERT_EQ(b->Play(kPlayLooping), 0);
    uint32_t play = 0;
    for (int k = 0; k < 100; ++k) {  // buffer operations racing the output thread
      std::unique_ptr<SoundBuffer> dup;
      ASSERT_EQ(device->DuplicateSoundBuffer(*b, &dup), 0);
      ASSERT_EQ(dup->Play(0) | dup->SetVolume(-k) | b->GetCurrentPosition(&play, nullptr), 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_NE(play, 0u) << choice;
    ASSERT_EQ(b->Stop(), 0);
    device.reset();
  }
  unsetenv("TAVIKIT_AUDIO");
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> file{std::istreambuf_iterator<char>(in), {}};
  std::filesystem::remove(path);
  ASSERT_GT(file.size(), 44u + 4 * 4410);  // at least 0.1 s
  uint32_t data = 0;
  std::memcpy(&data, &file[40], 4);
  EXPECT_EQ(data, file.size() - 44);
  EXPECT_EQ(std::string(&file[0], 4) + std::string(&file[36], 4), "RIFFdata");
}

}  // namespace
}  // namespace tavikit
