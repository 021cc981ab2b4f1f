// Drawing a 64 x 64 sprite over a 640 x 480 screen: transparent and opaque draws of the plain
// cell, the compressed cell, and compression itself, each next to a baseline in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "host/host_screen.h"
#include "host/library.h"
#include "ratio.h"

namespace {

using tavihost::HostScreen;

constexpr int kSprite = 64;
constexpr int kPlain = 200;
constexpr int kPacked = 201;
constexpr int kScratch = 202;

// A 64 x 64 sprite with about 40% index-0 pixels (a background around a figure with runs of
// colour), captured into the plain and the compressed cell.
struct Sprites {
  HostScreen screen{640, 480};
  HostScreen art{kSprite, kSprite};

  Sprites() {
    std::mt19937 rng(1);
    for (int y = 0; y < kSprite; ++y) {
      uint8_t v = 1;
      for (int x = 0; x < kSprite; ++x) {
        if (rng() % 6 == 0) v = static_cast<uint8_t>(1 + rng() % 255);
        const int dx = x - 32, dy = y - 32;
        art.at(x, y) = dx * dx + dy * dy < 1000 ? v : 0;  // a disc: about 39% of pixels are 0
      }
    }
    const auto& lib = tavihost::Tavikit();
    art.SetCursor(0, 0);
    lib.chibi_Get(art.record(), kPlain, kSprite, kSprite);
    lib.chibi_Get(art.record(), kPacked, kSprite, kSprite);
    lib.chibi_Compress(kPacked, 0, 0, 0);
    screen.FillRandom(2);
  }
};

// Places the sprite at 48 positions over the screen, one draw each.
template <class Draw>
void DrawAcross(benchmark::State& state, Sprites& s, Draw draw) {
  for (auto _ : state) {
    for (int i = 0; i < 48; ++i) {
      s.screen.SetCursor(8 + (i % 8) * 76, 8 + (i / 8) * 76);
      draw();
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 48);
}

// The baseline: the sprite's 64 rows moved with memcpy, as a host drawing it opaque would.
void BM_memcpy_sprite_rows(benchmark::State& state) {
  Sprites s;
  size_t rowBytes = kSprite;
  benchmark::DoNotOptimize(rowBytes);
  DrawAcross(state, s, [&] {
    const int cx = static_cast<int>(s.screen.field(TAVI_REC_CURSOR_X));
    const int cy = static_cast<int>(s.screen.field(TAVI_REC_CURSOR_Y));
    for (int y = 0; y < kSprite; ++y)
      std::memcpy(&s.screen.at(cx, cy + y), &s.art.at(0, y), rowBytes);
  });
}
BENCHMARK(BM_memcpy_sprite_rows);

void BM_chibi_Put_opaque(benchmark::State& state) {
  Sprites s;
  const auto& lib = tavihost::Tavikit();
  DrawAcross(state, s, [&] { lib.chibi_Put(s.screen.record(), kPlain, 0, 0); });
}
BENCHMARK(BM_chibi_Put_opaque);

void BM_chibi_Put_transparent(benchmark::State& state) {
  Sprites s;
  const auto& lib = tavihost::Tavikit();
  DrawAcross(state, s, [&] { lib.chibi_Put(s.screen.record(), kPlain, 1, 0); });
}
BENCHMARK(BM_chibi_Put_transparent);

void BM_chibi_Put_compressed(benchmark::State& state) {
  Sprites s;
  const auto& lib = tavihost::Tavikit();
  DrawAcross(state, s, [&] { lib.chibi_Put(s.screen.record(), kPacked, 0, 0); });
}
BENCHMARK(BM_chibi_Put_compressed);

TAVIBENCH_RATIO("BM_chibi_Put_opaque", "BM_memcpy_sprite_rows");
TAVIBENCH_RATIO("BM_chibi_Put_transparent", "BM_chibi_Put_opaque");
TAVIBENCH_RATIO("BM_chibi_Put_compressed", "BM_chibi_Put_opaque");

// Compression includes the capture that refills the cell; the baseline is that capture alone.
void BM_chibi_Get_sprite(benchmark::State& state) {
  Sprites s;
  const auto& lib = tavihost::Tavikit();
  for (auto _ : state) {
    lib.chibi_Get(s.art.record(), kScratch, kSprite, kSprite);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_chibi_Get_sprite);

void BM_chibi_Get_then_Compress(benchmark::State& state) {
  Sprites s;
  const auto& lib = tavihost::Tavikit();
  for (auto _ : state) {
    lib.chibi_Get(s.art.record(), kScratch, kSprite, kSprite);
    benchmark::DoNotOptimize(lib.chibi_Compress(kScratch, 0, 0, 0));
  }
}
BENCHMARK(BM_chibi_Get_then_Compress);
TAVIBENCH_RATIO("BM_chibi_Get_then_Compress", "BM_chibi_Get_sprite");

}  // namespace
