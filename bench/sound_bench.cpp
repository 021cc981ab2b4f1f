// Mixing 1, 8 and 64 looping voices into 44100 Hz stereo, 1024 frames per pull as an audio
// callback asks for them, next to a plain loop that only sums as many 16-bit stereo blocks and
// clamps (no gains, no resampling). "x_realtime" is seconds of sound mixed per second: how many
// times faster than real time the mix runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "ratio.h"
#include "sound/mixer/audio_output.h"

namespace {

using tavikit::kMixRate;
constexpr uint32_t kPull = 1024;

std::vector<uint8_t> Noise(size_t bytes) {
  std::mt19937 rng(2026);
  std::vector<uint8_t> s(bytes);
  for (uint8_t& b : s)
    b = static_cast<uint8_t>(rng());
  return s;
}

void RealTimeCounter(benchmark::State& state) {
  state.counters["x_realtime"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kPull / kMixRate, benchmark::Counter::kIsRate);
}

// Four waves of one second, 16-bit stereo, each voice a duplicate of one of them at its own
// position: 22050 Hz sources (resampled, half steps), 44100 Hz at full volume (one source frame
// per output frame), 44100 Hz at -6 dB and panned, and 22050 Hz played at 32000 Hz (resampled,
// uneven steps).
void Mix(benchmark::State& state) {
  const auto voices = static_cast<int>(state.range(0));
  auto mixer = std::make_shared<tavikit::Mixer>();
  tavikit::MixerDevice device(mixer, nullptr);
  std::vector<std::unique_ptr<tavikit::SoundBuffer>> waves, playing;
  for (const uint32_t rate : {22050u, 44100u, 44100u, 22050u}) {
    const auto samples = Noise(rate * 4);
    const uint32_t fmt[4] = {1u | 2u << 16, rate, rate * 4, 4u | 16u << 16};
    std::unique_ptr<tavikit::SoundBuffer> b;
    device.CreateSoundBuffer({tavikit::kBufferSecondaryFlags,
                              uint32_t(samples.size()),
                              {reinterpret_cast<const uint8_t*>(fmt), 16}},
                             &b);
    void* p = nullptr;
    uint32_t n = 0;
    b->Lock(0, uint32_t(samples.size()), &p, &n, nullptr, nullptr);
    std::memcpy(p, samples.data(), n);
    b->Unlock(p, n, nullptr, 0);
    waves.push_back(std::move(b));
  }
  for (int v = 0; v < voices; ++v) {
    std::unique_ptr<tavikit::SoundBuffer> b;
    device.DuplicateSoundBuffer(*waves[v % 4], &b);
    if (v % 4 == 2) b->SetVolume(-600), b->SetPan(v % 8 == 2 ? -1500 : 1500);
    if (v % 4 == 3) b->SetFrequency(32000);
    b->SetCurrentPosition(static_cast<uint32_t>(v) * 4 * 997);
    b->Play(tavikit::kPlayLooping);
    playing.push_back(std::move(b));
  }
  std::vector<int16_t> out(2 * kPull);
  for (auto _ : state) {
    mixer->Render(out.data(), kPull);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  RealTimeCounter(state);
}
BENCHMARK(Mix)->Arg(1)->Arg(8)->Arg(64);

void BM_plain_sum(benchmark::State& state) {
  const auto voices = static_cast<size_t>(state.range(0));
  const auto samples = Noise(kMixRate * 4);
  std::vector<int16_t> words(samples.size() / 2);
  std::memcpy(words.data(), samples.data(), samples.size());
  std::vector<int32_t> acc(2 * kPull);
  std::vector<int16_t> out(2 * kPull);
  size_t at = 0;
  for (auto _ : state) {
    std::fill(acc.begin(), acc.end(), 0);
    for (size_t v = 0; v < voices; ++v) {
      const int16_t* from = words.data() + (at + v * 1994) % (words.size() - 2 * kPull);
      for (size_t k = 0; k < 2 * kPull; ++k)
        acc[k] += from[k];
    }
    for (size_t k = 0; k < 2 * kPull; ++k)
      out[k] = static_cast<int16_t>(std::clamp(acc[k], -32768, 32767));
    at = (at + 2 * kPull) % words.size();
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  RealTimeCounter(state);
}
BENCHMARK(BM_plain_sum)->Arg(1)->Arg(8)->Arg(64);

TAVIBENCH_RATIO("Mix/1", "BM_plain_sum/1");
TAVIBENCH_RATIO("Mix/8", "BM_plain_sum/8");
TAVIBENCH_RATIO("Mix/64", "BM_plain_sum/64");

}  // namespace
