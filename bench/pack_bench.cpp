// Decoding a 640 x 480 picture of each kind, next to a memcpy of its pixels; and the whole load
// through tavi_PCP2Load (file reading included) from a file in memory-backed storage.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/screen.h"
#include "host/host_screen.h"
#include "host/library.h"
#include "pack/picture_decoder.h"
#include "ratio.h"
#include "scene_pixels.h"
#include "tools/writer/formats.h"

namespace {

using tavibench::Scene;
using taviwriter::PictureKind;
constexpr int32_t kW = 640, kH = 480;

std::vector<uint8_t> Picture(PictureKind kind) {
  return *taviwriter::EncodePicture({kW, kH, Scene()}, kind, taviwriter::UsesSkips(kind) ? 0 : -1);
}

void BM_memcpy_picture_640x480(benchmark::State& state) {
  tavihost::HostScreen screen(kW, kH);
  const auto& pixels = Scene();
  size_t rowBytes = kW;
  benchmark::DoNotOptimize(rowBytes);
  for (auto _ : state) {
    for (int32_t y = 0; y < kH; ++y)
      std::memcpy(&screen.at(0, y), &pixels[static_cast<size_t>(y) * kW], rowBytes);
    benchmark::DoNotOptimize(screen.pixels().data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_memcpy_picture_640x480);

// Decodes `picture` into a cleared 640 x 480 screen, over and over.
void DecodeRepeatedly(benchmark::State& state, const std::vector<uint8_t>& picture) {
  tavihost::HostScreen host(kW, kH);
  host.Fill(0);
  tavikit::Screen screen;
  screen.width = kW;
  screen.height = kH;
  screen.pixels = host.pixels().data();
  for (auto _ : state) {
    tavikit::DecodePicture(screen, picture);
    benchmark::ClobberMemory();
  }
}

void DecodeKind(benchmark::State& state, PictureKind kind) {
  const auto picture = Picture(kind);
  DecodeRepeatedly(state, picture);
  state.SetBytesProcessed(state.iterations() * kW * kH);
  state.counters["stream_bytes"] = static_cast<double>(picture.size());
}
BENCHMARK_CAPTURE(DecodeKind, TK00, PictureKind::kTK00);
BENCHMARK_CAPTURE(DecodeKind, TK10, PictureKind::kTK10);
BENCHMARK_CAPTURE(DecodeKind, TK01, PictureKind::kTK01);
BENCHMARK_CAPTURE(DecodeKind, TK11, PictureKind::kTK11);
TAVIBENCH_RATIO("DecodeKind/TK00", "BM_memcpy_picture_640x480");
TAVIBENCH_RATIO("DecodeKind/TK10", "BM_memcpy_picture_640x480");
TAVIBENCH_RATIO("DecodeKind/TK01", "BM_memcpy_picture_640x480");
TAVIBENCH_RATIO("DecodeKind/TK11", "BM_memcpy_picture_640x480");

// The wallpaper-like pictures decoded from memory: the decoder's own share of their loads.
[[maybe_unused]] const bool kWallpaperDecodes = [] {
  for (const tavibench::Wallpaper w : tavibench::kWallpapers) {
    for (const PictureKind kind : taviwriter::kAllKinds) {
      const std::string name = std::string("DecodeWallpaper/") + tavibench::WallpaperName(w) + "/" +
                               taviwriter::KindName(kind);
      benchmark::RegisterBenchmark(name.c_str(), [w, kind](benchmark::State& state) {
        DecodeRepeatedly(state,
                         *taviwriter::EncodePicture({kW, kH, tavibench::WallpaperPixels(w)}, kind,
                                                    taviwriter::UsesSkips(kind) ? 0 : -1));
      });
    }
  }
  return true;
}();

// The whole export: pack text, file reads, one allocation, decode.
void LoadKind(benchmark::State& state, PictureKind kind) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  const std::string path =
      (dir / ("tavikit-bench-" + std::string(taviwriter::KindName(kind)) + ".tk")).string();
  {
    const auto picture = Picture(kind);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(picture.data()),
               static_cast<std::streamsize>(picture.size()));
  }
  tavihost::HostScreen host(kW, kH);
  host.Fill(0);
  const auto& lib = tavihost::Tavikit();
  char noPack[] = "";
  for (auto _ : state) {
    lib.tavi_PCP2Load(host.record(), tavihost::Word(path.c_str()), 0, tavihost::Word(noPack));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kW * kH);
  std::remove(path.c_str());
}
BENCHMARK_CAPTURE(LoadKind, TK00, PictureKind::kTK00);
BENCHMARK_CAPTURE(LoadKind, TK11, PictureKind::kTK11);
TAVIBENCH_RATIO("LoadKind/TK00", "BM_memcpy_picture_640x480");
TAVIBENCH_RATIO("LoadKind/TK11", "BM_memcpy_picture_640x480");

}  // namespace
