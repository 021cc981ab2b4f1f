// Plain copies of a 640 x 480 screen against memcpy of the same rows.
#include <benchmark/benchmark.h>

#include <cstring>

#include "host/host_screen.h"
#include "host/library.h"
#include "ratio.h"

namespace {

using tavihost::HostScreen;

struct Screens {
  HostScreen source{640, 480};
  HostScreen target{640, 480};
  Screens() {
    source.FillRandom(1);
    target.Fill(0);
    tavihost::Tavikit().tavi_fset(source.record(), 0, 0, 0);
    tavihost::Tavikit().tavi_tset(target.record(), 0, 0, 0);
    target.SetCursor(0, 0);
  }
};

void BM_memcpy_rows_640x480(benchmark::State& state) {
  Screens s;
  // A row length the compiler cannot see, so that this is the C library's memcpy, as a host
  // copying rows would call it, and not an inlined fixed-size move.
  size_t rowBytes = 640;
  benchmark::DoNotOptimize(rowBytes);
  for (auto _ : state) {
    for (int y = 0; y < 480; ++y)
      std::memcpy(&s.target.at(0, y), &s.source.at(0, y), rowBytes);
    benchmark::DoNotOptimize(s.target.pixels().data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_memcpy_rows_640x480);

void BM_tavi_gcopy_640x480(benchmark::State& state) {
  Screens s;
  const auto& lib = tavihost::Tavikit();
  for (auto _ : state) {
    lib.tavi_gcopy(0, 0, 640, 480);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_tavi_gcopy_640x480);
TAVIBENCH_RATIO("BM_tavi_gcopy_640x480", "BM_memcpy_rows_640x480");

void BM_tavi_tilecopy_640x480(benchmark::State& state) {
  Screens s;
  const auto& lib = tavihost::Tavikit();
  lib.tavi_copyset(0, 0, static_cast<int32_t>(state.range(0)), 64);
  for (auto _ : state) {
    lib.tavi_tilecopy(640, 480, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_tavi_tilecopy_640x480)->Arg(64)->Arg(30);
TAVIBENCH_RATIO("BM_tavi_tilecopy_640x480/64", "BM_memcpy_rows_640x480");
TAVIBENCH_RATIO("BM_tavi_tilecopy_640x480/30", "BM_memcpy_rows_640x480");

}  // namespace
