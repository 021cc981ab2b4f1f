// The colour cube against the direct search, blended copies of 640 x 480 against a plain loop of
// one table lookup per pixel, and the fade against a plain keyed copy loop.
#include <benchmark/benchmark.h>

#include <vector>

#include "host/host_screen.h"
#include "host/library.h"
#include "ratio.h"
#include "tests/harness/cube_oracle.h"

namespace {

using tavihost::HostScreen;

struct BlendScreens {
  HostScreen source{640, 480};
  HostScreen target{640, 480};
  BlendScreens() {
    const auto& lib = tavihost::Tavikit();
    source.FillRandom(1);
    target.FillRandom(2);
    target.RandomPalette(3);
    source.palette() = target.palette();
    lib.tavi_AlphaInit(target.record(), 0, 0, 0);
    lib.tavi_fset(source.record(), 0, 0, 0);
    lib.tavi_tset(target.record(), 0, 0, 0);
    lib.tavi_copyset(0, 0, 640, 480);
    target.SetCursor(0, 0);
  }
};

void BM_direct_cube_search_256(benchmark::State& state) {
  HostScreen screen(1, 1);
  screen.RandomPalette(4);
  for (auto _ : state) {
    auto cube = tavitest::StraightCube(screen.palette(), 256);
    benchmark::DoNotOptimize(cube.data());
  }
}
BENCHMARK(BM_direct_cube_search_256)->Unit(benchmark::kMillisecond);

void BM_tavi_AlphaInit_256(benchmark::State& state) {
  HostScreen screen(1, 1);
  screen.RandomPalette(4);
  const auto& lib = tavihost::Tavikit();
  for (auto _ : state) {
    lib.tavi_AlphaInit(screen.record(), 256, 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_tavi_AlphaInit_256)->Unit(benchmark::kMillisecond);
TAVIBENCH_RATIO("BM_tavi_AlphaInit_256", "BM_direct_cube_search_256");

// What a host would write by hand: each destination pixel replaced by one table entry.
void BM_table_lookup_loop_640x480(benchmark::State& state) {
  BlendScreens s;
  std::vector<uint8_t> table(65536);
  for (size_t i = 0; i < table.size(); ++i)
    table[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
  for (auto _ : state) {
    for (int y = 0; y < 480; ++y) {
      uint8_t* d = &s.target.at(0, y);
      const uint8_t* src = &s.source.at(0, y);
      for (int x = 0; x < 640; ++x)
        d[x] = table[(size_t{d[x]} << 8) | src[x]];
    }
    benchmark::DoNotOptimize(s.target.pixels().data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_table_lookup_loop_640x480);

// The blended copies at a fixed alpha: after the first call the tag spares the table build.
void BM_tavi_blend_640x480(benchmark::State& state, tavi_export_fn copy, tavi_word key) {
  BlendScreens s;
  for (auto _ : state) {
    copy(s.target.record(), 128, key, 0);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK_CAPTURE(BM_tavi_blend_640x480, gcopyf, tavihost::Tavikit().tavi_gcopyf, 0);
BENCHMARK_CAPTURE(BM_tavi_blend_640x480, gcopyfc, tavihost::Tavikit().tavi_gcopyfc, 0);
BENCHMARK_CAPTURE(BM_tavi_blend_640x480, gcopyfr, tavihost::Tavikit().tavi_gcopyfr, 0);
BENCHMARK_CAPTURE(BM_tavi_blend_640x480, gcopyfrc, tavihost::Tavikit().tavi_gcopyfrc, 0);
TAVIBENCH_RATIO("BM_tavi_blend_640x480/gcopyf", "BM_table_lookup_loop_640x480");
TAVIBENCH_RATIO("BM_tavi_blend_640x480/gcopyfc", "BM_table_lookup_loop_640x480");
TAVIBENCH_RATIO("BM_tavi_blend_640x480/gcopyfr", "BM_table_lookup_loop_640x480");
TAVIBENCH_RATIO("BM_tavi_blend_640x480/gcopyfrc", "BM_table_lookup_loop_640x480");

// A table build on every call (the alpha alternates), for scale.
void BM_tavi_gcopyf_rebuilding_640x480(benchmark::State& state) {
  BlendScreens s;
  const auto& lib = tavihost::Tavikit();
  int alpha = 0;
  for (auto _ : state) {
    lib.tavi_gcopyf(s.target.record(), alpha, 0, 0);
    alpha ^= 1;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_tavi_gcopyf_rebuilding_640x480);
TAVIBENCH_RATIO("BM_tavi_gcopyf_rebuilding_640x480", "BM_table_lookup_loop_640x480");

// Every pixel that is not the key copied, by hand.
void BM_keyed_copy_loop_640x480(benchmark::State& state) {
  BlendScreens s;
  for (auto _ : state) {
    for (int y = 0; y < 480; ++y) {
      uint8_t* d = &s.target.at(0, y);
      const uint8_t* src = &s.source.at(0, y);
      for (int x = 0; x < 640; ++x) {
        if (src[x] != 0) d[x] = src[x];
      }
    }
    benchmark::DoNotOptimize(s.target.pixels().data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_keyed_copy_loop_640x480);

void BM_tavi_GFade_640x480(benchmark::State& state) {
  BlendScreens s;
  const auto& lib = tavihost::Tavikit();
  const auto level = static_cast<tavi_word>(state.range(0));
  for (auto _ : state) {
    lib.tavi_GFade(level, 0, 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_tavi_GFade_640x480)->Arg(64)->Arg(128)->Arg(255);
TAVIBENCH_RATIO("BM_tavi_GFade_640x480/64", "BM_keyed_copy_loop_640x480");
TAVIBENCH_RATIO("BM_tavi_GFade_640x480/128", "BM_keyed_copy_loop_640x480");
TAVIBENCH_RATIO("BM_tavi_GFade_640x480/255", "BM_keyed_copy_loop_640x480");

void BM_tavi_GFade2_640x480(benchmark::State& state) {
  BlendScreens s;
  const auto& lib = tavihost::Tavikit();
  uint8_t pattern[16] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1};
  for (auto _ : state) {
    lib.tavi_GFade2(tavihost::Word(pattern), 0, 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_tavi_GFade2_640x480);
TAVIBENCH_RATIO("BM_tavi_GFade2_640x480", "BM_keyed_copy_loop_640x480");

}  // namespace
