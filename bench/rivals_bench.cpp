// The geometric copies, the picture loads and the keyed copies on a 640 x 480 frame, each timed
// in the same run as what a user would pick instead (SDL2's SoftStretch and colour-keyed blits,
// libspng) and as a plain loop written here. Every time is reported as a multiple of a memcpy of
// the frame's 480 rows, and the subjects also over their plain loop and their rival.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "host/host_screen.h"
#include "host/library.h"
#include "ratio.h"
#include "scene_pixels.h"
#include "tools/writer/formats.h"

#if defined(TAVIBENCH_HAVE_SDL)
#include <SDL.h>
#endif
#if defined(TAVIBENCH_HAVE_SPNG)
#include <spng.h>
#endif

namespace {

using tavibench::Scene;
using tavihost::HostScreen;
constexpr int32_t kW = 640, kH = 480;
constexpr int32_t kKey = 42;
const char* const kFrame = "BM_frame_memcpy_480_rows";

// Names a subject and sets it against the frame memcpy, and against a plain loop and a rival
// where given.
bool Compare(const std::string& subject, const std::string& plain, const std::string& rival) {
  tavibench::CompareTo(subject, kFrame);
  if (!plain.empty()) tavibench::CompareTo(subject, plain);
  if (!rival.empty()) tavibench::CompareTo(subject, rival);
  return true;
}

void BM_frame_memcpy_480_rows(benchmark::State& state) {
  HostScreen from(kW, kH), to(kW, kH);
  from.FillRandom(1);
  size_t row = kW;
  benchmark::DoNotOptimize(row);
  for (auto _ : state) {
    for (int32_t y = 0; y < kH; ++y)
      std::memcpy(&to.at(0, y), &from.at(0, y), row);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_frame_memcpy_480_rows);

// A source whose pixels are about 40% the key, scattered.
void FillKeyed(HostScreen& screen) {
  std::mt19937 rng(1);
  for (auto& p : screen.pixels())
    p = rng() % 100 < 40 ? kKey : static_cast<uint8_t>(100 + rng() % 100);
}

void Select(HostScreen& source, HostScreen& target) {
  tavihost::Tavikit().tavi_fset(source.record(), 0, 0, 0);
  tavihost::Tavikit().tavi_tset(target.record(), 0, 0, 0);
}

// ---- Zoom: the copy rectangle (sw x sh at the source's top-left) scaled to the whole target.

// A plain nearest-neighbour loop with the export's fixed-point steps, bounds tests and key.
void PlainZoom(HostScreen& source, HostScreen& target, int32_t sw, int32_t sh) {
  const int32_t stepX = sw * 256 / target.width(), stepY = sh * 256 / target.height();
  int32_t fy = 0;
  for (int32_t y = 0; y < target.height(); ++y, fy += stepY) {
    const int32_t sy = fy >> 8;
    const uint8_t* row = sy >= 0 && sy < source.height() ? &source.at(0, sy) : nullptr;
    uint8_t* dst = &target.at(0, y);
    int32_t fx = 0;
    for (int32_t x = 0; x < target.width(); ++x, fx += stepX) {
      const int32_t sx = fx >> 8;
      if (row != nullptr && sx >= 0 && sx < source.width()) {
        const uint8_t p = row[sx];
        if (p != kKey) dst[x] = p;
      } else {
        dst[x] = 0;
      }
    }
  }
}

struct ZoomCase {
  int32_t sw, sh, tw, th;
};
constexpr ZoomCase kUp{320, 240, 640, 480};
constexpr ZoomCase kDown{640, 480, 320, 240};

void ZoomTavikit(benchmark::State& state, ZoomCase c) {
  HostScreen source(kW, kH), target(c.tw, c.th);
  FillKeyed(source);
  Select(source, target);
  const auto& lib = tavihost::Tavikit();
  lib.tavi_copyset(0, 0, c.sw, c.sh);
  for (auto _ : state) {
    lib.tavi_zoomcopy(c.tw, c.th, 0, kKey);
    benchmark::ClobberMemory();
  }
}
void ZoomPlain(benchmark::State& state, ZoomCase c) {
  HostScreen source(kW, kH), target(c.tw, c.th);
  FillKeyed(source);
  for (auto _ : state) {
    PlainZoom(source, target, c.sw, c.sh);
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(ZoomTavikit, up_320x240_to_640x480, kUp);
BENCHMARK_CAPTURE(ZoomPlain, up_320x240_to_640x480, kUp);
BENCHMARK_CAPTURE(ZoomTavikit, down_640x480_to_320x240, kDown);
BENCHMARK_CAPTURE(ZoomPlain, down_640x480_to_320x240, kDown);

#if defined(TAVIBENCH_HAVE_SDL)
struct Surface {
  SDL_Surface* s;
  Surface(int w, int h) : s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 8, SDL_PIXELFORMAT_INDEX8)) {}
  ~Surface() { SDL_FreeSurface(s); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  void Fill(std::span<const uint8_t> pixels, int w, int h) {
    for (int y = 0; y < h; ++y)
      std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch, &pixels[size_t(y) * w], w);
  }
  void SharePalette(const Surface& other) { SDL_SetSurfacePalette(s, other.s->format->palette); }
};

void ZoomSdl(benchmark::State& state, ZoomCase c) {
  HostScreen keyed(kW, kH);
  FillKeyed(keyed);
  Surface source(kW, kH), target(c.tw, c.th);
  source.Fill(keyed.pixels(), kW, kH);
  target.SharePalette(source);
  SDL_Rect from{0, 0, c.sw, c.sh}, to{0, 0, c.tw, c.th};
  for (auto _ : state) {
    SDL_SoftStretch(source.s, &from, target.s, &to);
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(ZoomSdl, up_320x240_to_640x480, kUp);
BENCHMARK_CAPTURE(ZoomSdl, down_640x480_to_320x240, kDown);
[[maybe_unused]] const bool kZoomRatios =
    Compare("ZoomTavikit/up_320x240_to_640x480", "ZoomPlain/up_320x240_to_640x480",
            "ZoomSdl/up_320x240_to_640x480") &&
    Compare("ZoomTavikit/down_640x480_to_320x240", "ZoomPlain/down_640x480_to_320x240",
            "ZoomSdl/down_640x480_to_320x240") &&
    Compare("ZoomSdl/up_320x240_to_640x480", "", "") &&
    Compare("ZoomSdl/down_640x480_to_320x240", "", "");
#else
[[maybe_unused]] const bool kZoomRatios =
    Compare("ZoomTavikit/up_320x240_to_640x480", "ZoomPlain/up_320x240_to_640x480", "") &&
    Compare("ZoomTavikit/down_640x480_to_320x240", "ZoomPlain/down_640x480_to_320x240", "");
#endif
[[maybe_unused]] const bool kZoomPlainRatios = Compare("ZoomPlain/up_320x240_to_640x480", "", "") &&
                                               Compare("ZoomPlain/down_640x480_to_320x240", "", "");

// ---- Rotation of a 256 x 256 frame by angle index 21 (30 degrees) into a 256 x 256 area.
constexpr int32_t kAngle = 128 + 21;

void BM_rotation_256_tavikit(benchmark::State& state) {
  HostScreen source(320, 320), target(320, 320);
  FillKeyed(source);
  Select(source, target);
  target.SetCursor(32, 32);
  const auto& lib = tavihost::Tavikit();
  lib.tavi_rotset(-1, -1, kAngle, 0);
  lib.tavi_rotpos(32, 32, 256, 256);
  lib.tavi_rotclip(-1, 0, 0, 0);
  for (auto _ : state) {
    lib.tavi_rotcopy(256, 256, 0, kKey);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_rotation_256_tavikit);

// The same inverse mapping written plainly: the export's steps for this angle (the frame's
// corners turned about its middle), a bounds test and a key test per pixel.
void BM_rotation_256_plain(benchmark::State& state) {
  HostScreen source(320, 320), target(320, 320);
  FillKeyed(source);
  const int32_t s = -126, c = 222;  // 256 sin and -256 cos of angle index 149, truncated
  const auto turn = [&](int32_t u, int32_t v, bool x) {
    const int32_t du = u - 128, dv = v - 128;
    return x ? ((c * du - s * dv) >> 8) + 128 : ((c * dv + s * du) >> 8) + 128;
  };
  const int32_t x0 = turn(0, 0, true), y0 = turn(0, 0, false);
  const int32_t dXx = (turn(256, 0, true) - x0 + 1) * 256 / 256;
  const int32_t dXy = (turn(256, 0, false) - y0 + 1) * 256 / 256;
  const int32_t dYx = (turn(0, 256, true) - x0 + 1) * 256 / 256;
  const int32_t dYy = (turn(0, 256, false) - y0 + 1) * 256 / 256;
  const uint8_t* top = &source.at(0, 0);
  for (auto _ : state) {
    int32_t rx = (x0 + 32) * 256, ry = (y0 + 32) * 256;
    for (int32_t y = 0; y < 256; ++y) {
      uint8_t* dst = &target.at(32, 32 + y);
      int32_t px = rx, py = ry;
      for (int32_t x = 0; x < 256; ++x) {
        px += dXx;
        py += dXy;
        const int32_t sx = px >> 8, sy = py >> 8;
        if (sx >= 0 && sx < 320 && sy >= 0 && sy < 320) {
          const uint8_t p = top[sx - sy * 320];
          if (p != kKey) dst[x] = p;
        } else {
          dst[x] = 0;
        }
      }
      rx += dYx;
      ry += dYy;
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_rotation_256_plain);
[[maybe_unused]] const bool kRotationRatios =
    Compare("BM_rotation_256_tavikit", "BM_rotation_256_plain", "") &&
    Compare("BM_rotation_256_plain", "", "");

// ---- Mosaics of the whole frame in blocks of 8.
void BM_mozcopy_block8_tavikit(benchmark::State& state) {
  HostScreen source(kW, kH), target(kW, kH);
  source.FillRandom(3);
  Select(source, target);
  const auto& lib = tavihost::Tavikit();
  for (auto _ : state) {
    lib.tavi_mozcopy(kW, kH, 8, -1);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_mozcopy_block8_tavikit);

void BM_gmozic_block8_tavikit(benchmark::State& state) {
  HostScreen screen(kW, kH);
  screen.FillRandom(3);
  const auto& lib = tavihost::Tavikit();
  for (auto _ : state) {
    lib.tavi_gmozic(screen.record(), kW / 8, kH / 8, 8);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_gmozic_block8_tavikit);

// Each target pixel takes the centre pixel of its block.
void BM_mosaic_block8_plain(benchmark::State& state) {
  HostScreen source(kW, kH), target(kW, kH);
  source.FillRandom(3);
  for (auto _ : state) {
    for (int32_t y = 0; y < kH; ++y) {
      const uint8_t* centre = &source.at(0, y / 8 * 8 + 4);  // the block row's centre row
      uint8_t* dst = &target.at(0, y);
      for (int32_t x = 0; x < kW; ++x)
        dst[x] = centre[x / 8 * 8 + 4];
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_mosaic_block8_plain);

#if defined(TAVIBENCH_HAVE_SDL)
// Shrunk by 8 and stretched back, as SDL users make a mosaic.
void BM_mosaic_block8_sdl(benchmark::State& state) {
  Surface frame(kW, kH), small(kW / 8, kH / 8), out(kW, kH);
  small.SharePalette(frame);
  out.SharePalette(frame);
  for (auto _ : state) {
    SDL_SoftStretch(frame.s, nullptr, small.s, nullptr);
    SDL_SoftStretch(small.s, nullptr, out.s, nullptr);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_mosaic_block8_sdl);
[[maybe_unused]] const bool kMosaicRatios =
    Compare("BM_mozcopy_block8_tavikit", "BM_mosaic_block8_plain", "BM_mosaic_block8_sdl") &&
    Compare("BM_gmozic_block8_tavikit", "BM_mosaic_block8_plain", "BM_mosaic_block8_sdl") &&
    Compare("BM_mosaic_block8_plain", "", "") && Compare("BM_mosaic_block8_sdl", "", "");
#else
[[maybe_unused]] const bool kMosaicRatios =
    Compare("BM_mozcopy_block8_tavikit", "BM_mosaic_block8_plain", "") &&
    Compare("BM_gmozic_block8_tavikit", "BM_mosaic_block8_plain", "");
#endif

// ---- Picture loads: the benchmark scene of the decoder benchmarks, one file per kind.
std::string Written(const std::string& file, const std::vector<uint8_t>& bytes) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string path = (dir / file).string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

// `pixels` (640 x 480) written as a picture of the given kind, in a file named with `tag`.
std::string PictureFile(taviwriter::PictureKind kind, const std::vector<uint8_t>& pixels,
                        const std::string& tag) {
  using taviwriter::UsesSkips;
  const auto picture = *taviwriter::EncodePicture({kW, kH, pixels}, kind, UsesSkips(kind) ? 0 : -1);
  return Written("tavikit-rivals-" + tag + "-" + taviwriter::KindName(kind) + ".tk", picture);
}
std::string PictureFile(taviwriter::PictureKind kind) {
  return PictureFile(kind, Scene(), "scene");
}

void LoadFile(benchmark::State& state, const std::string& path) {
  HostScreen screen(kW, kH);
  const auto& lib = tavihost::Tavikit();
  char noPack[] = "";
  for (auto _ : state) {
    lib.tavi_PCP2Load(screen.record(), tavihost::Word(path.c_str()), 0, tavihost::Word(noPack));
    benchmark::ClobberMemory();
  }
  std::remove(path.c_str());
}
void LoadTavikit(benchmark::State& state, taviwriter::PictureKind kind) {
  LoadFile(state, PictureFile(kind));
}
BENCHMARK_CAPTURE(LoadTavikit, TK00, taviwriter::PictureKind::kTK00);
BENCHMARK_CAPTURE(LoadTavikit, TK10, taviwriter::PictureKind::kTK10);
BENCHMARK_CAPTURE(LoadTavikit, TK01, taviwriter::PictureKind::kTK01);
BENCHMARK_CAPTURE(LoadTavikit, TK11, taviwriter::PictureKind::kTK11);

// Open, read the whole file, close, write the frame's rows: what any load must do at least.
void OpenReadWrite(benchmark::State& state, const std::string& path,
                   const std::vector<uint8_t>& pixels) {
  HostScreen screen(kW, kH);
  const auto size = static_cast<size_t>(std::filesystem::file_size(path));
  for (auto _ : state) {
    std::vector<uint8_t> bytes(size);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(bytes.data(), 1, size, f));
    std::fclose(f);
    for (int32_t y = 0; y < kH; ++y)
      std::memcpy(&screen.at(0, y), &pixels[static_cast<size_t>(y) * kW], kW);
    benchmark::DoNotOptimize(bytes.data());
    benchmark::ClobberMemory();
  }
  std::remove(path.c_str());
}
void BM_load_open_read_write(benchmark::State& state) {
  OpenReadWrite(state, PictureFile(taviwriter::PictureKind::kTK10), Scene());
}
BENCHMARK(BM_load_open_read_write);

#if defined(TAVIBENCH_HAVE_SPNG)
// `pixels` as an indexed PNG, read from its file and decoded by libspng.
void LoadPng(benchmark::State& state, const std::vector<uint8_t>& pixels, const std::string& tag) {
  spng_ctx* enc = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(enc, SPNG_ENCODE_TO_BUFFER, 1);
  spng_ihdr ihdr{kW, kH, 8, SPNG_COLOR_TYPE_INDEXED, 0, 0, 0};
  spng_set_ihdr(enc, &ihdr);
  spng_plte plte{};
  plte.n_entries = 256;
  for (uint32_t i = 0; i < 256; ++i) {
    plte.entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                       static_cast<uint8_t>(i * 7), 255};
  }
  spng_set_plte(enc, &plte);
  spng_encode_image(enc, pixels.data(), pixels.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
  size_t length = 0;
  int error = 0;
  auto* png = static_cast<uint8_t*>(spng_get_png_buffer(enc, &length, &error));
  const std::string path =
      Written("tavikit-rivals-" + tag + ".png", std::vector<uint8_t>(png, png + length));
  std::free(png);
  spng_ctx_free(enc);
  HostScreen screen(kW, kH);
  std::vector<uint8_t> image(static_cast<size_t>(kW) * kH);
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    spng_ctx* dec = spng_ctx_new(0);
    spng_set_png_file(dec, f);
    spng_decode_image(dec, image.data(), image.size(), SPNG_FMT_PNG, 0);
    spng_ctx_free(dec);
    std::fclose(f);
    for (int32_t y = 0; y < kH; ++y)
      std::memcpy(&screen.at(0, y), &image[static_cast<size_t>(y) * kW], kW);
    benchmark::ClobberMemory();
  }
  std::remove(path.c_str());
}
void BM_load_libspng(benchmark::State& state) { LoadPng(state, Scene(), "scene"); }
BENCHMARK(BM_load_libspng);
#define TAVIBENCH_SPNG "BM_load_libspng"
#else
#define TAVIBENCH_SPNG ""
#endif
[[maybe_unused]] const bool kLoadRatios =
    Compare("LoadTavikit/TK10", "BM_load_open_read_write", TAVIBENCH_SPNG) &&
    Compare("LoadTavikit/TK00", "BM_load_open_read_write", TAVIBENCH_SPNG) &&
    Compare("LoadTavikit/TK01", "LoadTavikit/TK00", TAVIBENCH_SPNG) &&
    Compare("LoadTavikit/TK11", "LoadTavikit/TK10", TAVIBENCH_SPNG) &&
    Compare("BM_load_open_read_write", "", "") && Compare(TAVIBENCH_SPNG, "", "");

// The same loads of the wallpaper-like pictures: every kind, the floor (open, read and write of
// the "TK00" file) and libspng, each picture on its own; column order against row order.
[[maybe_unused]] const bool kWallpaperLoads = [] {
  using taviwriter::PictureKind;
  for (const tavibench::Wallpaper w : tavibench::kWallpapers) {
    const std::string tag = tavibench::WallpaperName(w);
    const std::vector<uint8_t>& pixels = tavibench::WallpaperPixels(w);
    for (const PictureKind kind : taviwriter::kAllKinds) {
      benchmark::RegisterBenchmark(
          ("LoadWallpaper/" + tag + "/" + taviwriter::KindName(kind)).c_str(),
          [kind, tag, &pixels](benchmark::State& state) {
            LoadFile(state, PictureFile(kind, pixels, tag));
          });
    }
    const std::string floor = "LoadWallpaper/" + tag + "/open_read_write";
    benchmark::RegisterBenchmark(floor.c_str(), [tag, &pixels](benchmark::State& state) {
      OpenReadWrite(state, PictureFile(PictureKind::kTK00, pixels, tag + "-floor"), pixels);
    });
    std::string png;
#if defined(TAVIBENCH_HAVE_SPNG)
    png = "LoadWallpaper/" + tag + "/libspng";
    benchmark::RegisterBenchmark(
        png.c_str(), [tag, &pixels](benchmark::State& state) { LoadPng(state, pixels, tag); });
#endif
    const std::string prefix = "LoadWallpaper/" + tag + "/";
    Compare(prefix + "TK00", floor, png);
    Compare(prefix + "TK10", floor, png);
    Compare(prefix + "TK01", prefix + "TK00", png);
    Compare(prefix + "TK11", prefix + "TK10", png);
    Compare(floor, "", "");
  }
  return true;
}();

// ---- Keyed copies: the frame with 40% key pixels, and 200 transparent 64 x 64 cells.
void BM_gcopy2_keyed_tavikit(benchmark::State& state) {
  HostScreen source(kW, kH), target(kW, kH);
  FillKeyed(source);
  Select(source, target);
  const auto& lib = tavihost::Tavikit();
  lib.tavi_copyset(0, 0, kW, kH);
  for (auto _ : state) {
    lib.tavi_gcopy2(kKey, 0, 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_gcopy2_keyed_tavikit);

constexpr int kCellSize = 64, kCells = 200, kCell = 300;

// Where cell i goes: spread over the frame, wholly inside it.
struct Place {
  int x, y;
};
Place CellAt(int i) { return {(i * 37) % (kW - kCellSize), (i * 53) % (kH - kCellSize)}; }

// A disc on index 0, about 39% of the cell transparent.
std::vector<uint8_t> CellArt() {
  std::vector<uint8_t> art(kCellSize * kCellSize);
  std::mt19937 rng(1);
  for (int y = 0; y < kCellSize; ++y) {
    uint8_t v = 1;
    for (int x = 0; x < kCellSize; ++x) {
      if (rng() % 6 == 0) v = static_cast<uint8_t>(1 + rng() % 255);
      const int dx = x - 32, dy = y - 32;
      art[size_t(y) * kCellSize + x] = dx * dx + dy * dy < 1000 ? v : 0;
    }
  }
  return art;
}

void BM_cells_200_transparent_tavikit(benchmark::State& state) {
  HostScreen art(kCellSize, kCellSize), screen(kW, kH);
  const auto pixels = CellArt();
  for (int y = 0; y < kCellSize; ++y)
    std::memcpy(&art.at(0, y), &pixels[size_t(y) * kCellSize], kCellSize);
  const auto& lib = tavihost::Tavikit();
  art.SetCursor(0, 0);
  lib.chibi_Get(art.record(), kCell, kCellSize, kCellSize);
  screen.FillRandom(2);
  for (auto _ : state) {
    for (int i = 0; i < kCells; ++i) {
      screen.SetCursor(CellAt(i).x, CellAt(i).y);
      lib.chibi_Put(screen.record(), kCell, 1, 0);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_cells_200_transparent_tavikit);

#if defined(TAVIBENCH_HAVE_SDL)
void BM_gcopy2_keyed_sdl(benchmark::State& state) {
  HostScreen keyed(kW, kH);
  FillKeyed(keyed);
  Surface source(kW, kH), target(kW, kH);
  source.Fill(keyed.pixels(), kW, kH);
  target.SharePalette(source);
  SDL_SetColorKey(source.s, SDL_TRUE, kKey);
  SDL_SetSurfaceRLE(source.s, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    SDL_BlitSurface(source.s, nullptr, target.s, nullptr);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_gcopy2_keyed_sdl)->ArgName("rle")->Arg(0)->Arg(1);

void BM_cells_200_transparent_sdl(benchmark::State& state) {
  Surface cell(kCellSize, kCellSize), screen(kW, kH);
  cell.Fill(CellArt(), kCellSize, kCellSize);
  screen.SharePalette(cell);
  SDL_SetColorKey(cell.s, SDL_TRUE, 0);
  SDL_SetSurfaceRLE(cell.s, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (int i = 0; i < kCells; ++i) {
      SDL_Rect to{CellAt(i).x, CellAt(i).y, kCellSize, kCellSize};
      SDL_BlitSurface(cell.s, nullptr, screen.s, &to);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_cells_200_transparent_sdl)->ArgName("rle")->Arg(0)->Arg(1);
[[maybe_unused]] const bool kKeyedRatios =
    Compare("BM_gcopy2_keyed_tavikit", "", "BM_gcopy2_keyed_sdl/rle:0") &&
    Compare("BM_cells_200_transparent_tavikit", "", "BM_cells_200_transparent_sdl/rle:0") &&
    Compare("BM_gcopy2_keyed_sdl/rle:0", "", "") && Compare("BM_gcopy2_keyed_sdl/rle:1", "", "") &&
    Compare("BM_cells_200_transparent_sdl/rle:0", "", "") &&
    Compare("BM_cells_200_transparent_sdl/rle:1", "", "");
#else
[[maybe_unused]] const bool kKeyedRatios = Compare("BM_gcopy2_keyed_tavikit", "", "") &&
                                           Compare("BM_cells_200_transparent_tavikit", "", "");
#endif

// ---- The doubler against a 2x stretch.
void BM_HGCP320_tavikit(benchmark::State& state) {
  HostScreen source(320, 240), target(kW, kH);
  source.FillRandom(4);
  Select(source, target);
  const auto& lib = tavihost::Tavikit();
  for (auto _ : state) {
    lib.tavi_HGCP320(0, 0, 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_HGCP320_tavikit);

void BM_HGCP320_plain(benchmark::State& state) {
  HostScreen source(320, 240), target(kW, kH);
  source.FillRandom(4);
  for (auto _ : state) {
    for (int32_t y = 0; y < kH; ++y) {
      const uint8_t* src = &source.at(0, y / 2);
      uint8_t* dst = &target.at(0, y);
      for (int32_t x = 0; x < kW; ++x)
        dst[x] = src[x / 2];
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_HGCP320_plain);

#if defined(TAVIBENCH_HAVE_SDL)
void BM_HGCP320_sdl(benchmark::State& state) {
  Surface source(320, 240), target(kW, kH);
  target.SharePalette(source);
  for (auto _ : state) {
    SDL_SoftStretch(source.s, nullptr, target.s, nullptr);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_HGCP320_sdl);
[[maybe_unused]] const bool kDoublerRatios =
    Compare("BM_HGCP320_tavikit", "BM_HGCP320_plain", "BM_HGCP320_sdl") &&
    Compare("BM_HGCP320_plain", "", "") && Compare("BM_HGCP320_sdl", "", "");
#else
[[maybe_unused]] const bool kDoublerRatios = Compare("BM_HGCP320_tavikit", "BM_HGCP320_plain", "");
#endif

}  // namespace
