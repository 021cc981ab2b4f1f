// The effect copies, each next to a baseline in the same run: the keyed copy against a plain
// per-pixel keyed loop, the scaled, rotated and doubled copies against memcpy of as many bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "host/host_screen.h"
#include "host/library.h"
#include "ratio.h"

namespace {

using tavihost::HostScreen;

constexpr int32_t kKey = 42;

// Selects the two screens, with a random source and an empty target at (cx, cy).
void SelectScreens(HostScreen& source, HostScreen& target, int32_t cx, int32_t cy) {
  source.FillRandom(2);
  target.Fill(0);
  target.SetCursor(cx, cy);
  tavihost::Tavikit().tavi_fset(source.record(), 0, 0, 0);
  tavihost::Tavikit().tavi_tset(target.record(), 0, 0, 0);
}

// A 640 x 480 source where about 40% of the pixels are the key, scattered at random.
struct KeyedScreens {
  HostScreen source{640, 480};
  HostScreen target{640, 480};
  KeyedScreens() {
    std::mt19937 rng(1);
    for (auto& p : source.pixels())
      p = rng() % 100 < 40 ? kKey : static_cast<uint8_t>(100 + rng() % 100);
    target.Fill(0);
    const auto& lib = tavihost::Tavikit();
    lib.tavi_fset(source.record(), 0, 0, 0);
    lib.tavi_tset(target.record(), 0, 0, 0);
    lib.tavi_copyset(0, 0, 640, 480);
    target.SetCursor(0, 0);
  }
};

// The keyed copy as a host would write it: one test and one store per pixel.
void BM_plain_keyed_loop_640x480(benchmark::State& state) {
  KeyedScreens s;
  int32_t key = kKey;
  benchmark::DoNotOptimize(key);
  for (auto _ : state) {
    for (int y = 0; y < 480; ++y) {
      const uint8_t* src = &s.source.at(0, y);
      uint8_t* dst = &s.target.at(0, y);
      for (int x = 0; x < 640; ++x) {
        if (src[x] != key) dst[x] = src[x];
      }
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_plain_keyed_loop_640x480);

void BM_tavi_gcopy2_keyed_640x480(benchmark::State& state) {
  KeyedScreens s;
  const auto& lib = tavihost::Tavikit();
  for (auto _ : state) {
    lib.tavi_gcopy2(kKey, 0, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_tavi_gcopy2_keyed_640x480);
TAVIBENCH_RATIO("BM_tavi_gcopy2_keyed_640x480", "BM_plain_keyed_loop_640x480");

// One memcpy of `bytes` bytes.
void MemcpyBaseline(benchmark::State& state, size_t bytes) {
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  benchmark::DoNotOptimize(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

void BM_memcpy_640x480(benchmark::State& state) { MemcpyBaseline(state, 640 * 480); }
BENCHMARK(BM_memcpy_640x480);
void BM_memcpy_320x240(benchmark::State& state) { MemcpyBaseline(state, 320 * 240); }
BENCHMARK(BM_memcpy_320x240);
void BM_memcpy_160x120(benchmark::State& state) { MemcpyBaseline(state, 160 * 120); }
BENCHMARK(BM_memcpy_160x120);
void BM_memcpy_256x256(benchmark::State& state) { MemcpyBaseline(state, 256 * 256); }
BENCHMARK(BM_memcpy_256x256);

// The 320 x 240 copy rectangle of a 640 x 480 source scaled by range(0) / 2: to 640 x 480 or to
// 160 x 120, with a key and a fill colour.
void BM_tavi_zoomcopy_320x240(benchmark::State& state) {
  HostScreen source(640, 480), target(640, 480);
  SelectScreens(source, target, 0, 0);
  const auto& lib = tavihost::Tavikit();
  lib.tavi_copyset(160, 120, 320, 240);
  const auto w = static_cast<int32_t>(320 * state.range(0) / 2);
  const auto h = static_cast<int32_t>(240 * state.range(0) / 2);
  for (auto _ : state) {
    lib.tavi_zoomcopy(w, h, 0, kKey);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_tavi_zoomcopy_320x240)->Arg(4)->Arg(1);
TAVIBENCH_RATIO("BM_tavi_zoomcopy_320x240/4", "BM_memcpy_640x480");
TAVIBENCH_RATIO("BM_tavi_zoomcopy_320x240/1", "BM_memcpy_160x120");

// A 256 x 256 frame turned by angle index 32 into a 256 x 256 area, with fill and key.
void BM_tavi_rotcopy_256x256_angle32(benchmark::State& state) {
  HostScreen source(320, 320), target(320, 320);
  SelectScreens(source, target, 32, 32);
  const auto& lib = tavihost::Tavikit();
  lib.tavi_rotset(-1, -1, 32, 0);
  lib.tavi_rotpos(32, 32, 256, 256);
  lib.tavi_rotclip(-1, 0, 0, 0);
  for (auto _ : state) {
    lib.tavi_rotcopy(256, 256, 0, kKey);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(BM_tavi_rotcopy_256x256_angle32);
TAVIBENCH_RATIO("BM_tavi_rotcopy_256x256_angle32", "BM_memcpy_256x256");

void BM_tavi_HGCP320_mode0(benchmark::State& state) {
  HostScreen source(320, 240), target(640, 480);
  SelectScreens(source, target, 0, 0);
  const auto& lib = tavihost::Tavikit();
  for (auto _ : state) {
    lib.tavi_HGCP320(0, 0, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_tavi_HGCP320_mode0);
TAVIBENCH_RATIO("BM_tavi_HGCP320_mode0", "BM_memcpy_640x480");

}  // namespace
