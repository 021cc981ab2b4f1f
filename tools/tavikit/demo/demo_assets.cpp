// The demo's assets, painted and synthesised in code.
#include "demo/demo_assets.h"

#include <cmath>
#include <cstring>
#include <filesystem>

#include "demo/demo_art.h"
#include "platform/file_io.h"
#include "png/indexed_image.h"
#include "png/png_writer.h"
#include "tools/writer/formats.h"
#include "tools/writer/wave_writer.h"

namespace tavidemo {
namespace {

constexpr double kPi = 3.14159265358979323846;

// An 8-bit image, rows top-down, for painting.
struct Canvas {
  int32_t w, h;
  std::vector<uint8_t> px;
  Canvas(int32_t width, int32_t height, uint8_t fill = kBlack)
      : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}
  void Set(int32_t x, int32_t y, uint8_t v) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[static_cast<size_t>(y) * w + x] = v;
  }
  void Disc(double cx, double cy, double r, uint8_t v) {
    for (int32_t y = static_cast<int32_t>(cy - r); y <= static_cast<int32_t>(cy + r) + 1; ++y) {
      for (int32_t x = static_cast<int32_t>(cx - r); x <= static_cast<int32_t>(cx + r) + 1; ++x) {
        if (std::hypot(x - cx, y - cy) <= r) Set(x, y, v);
      }
    }
  }
  void Box(int32_t x0, int32_t y0, int32_t bw, int32_t bh, uint8_t v) {
    for (int32_t y = y0; y < y0 + bh; ++y) {
      for (int32_t x = x0; x < x0 + bw; ++x)
        Set(x, y, v);
    }
  }
  std::vector<uint8_t> Encode(taviwriter::PictureKind kind, int skip = -1) const {
    return *taviwriter::EncodePicture({w, h, px}, kind, skip);
  }
};

// Sky in bands of ten rows, hills along a sine, then the ground (the same in both scenes, so that
// the background map's solid rows are where they look solid).
Canvas Landscape(bool night) {
  Canvas c(kWidth, kHeight);
  const Ramp sky = night ? kNightSky : kDaySky;
  const Ramp hills = night ? kNightHills : kGrass;
  for (int32_t y = 0; y < kHeight; ++y) {
    const uint8_t band = RampIndex(sky, night ? 4 + y / 40 : 28 - y / 16);
    for (int32_t x = 0; x < kWidth; ++x) {
      // Rounded to a row, so that every maths library draws the same hills.
      const auto ridge =
          std::lround(300 + 40 * std::sin(x * 2 * kPi / 320) + 20 * std::sin(x * 2 * kPi / 128));
      uint8_t v = band;
      if (y >= ridge) v = RampIndex(hills, (night ? 6 : 16) + (x / 32 + y / 24) % 4);
      if (y >= kGroundTop) v = RampIndex(kEarth, (night ? 4 : 12) + ((x / 16 + y / 16) % 2) * 3);
      c.px[static_cast<size_t>(y) * kWidth + x] = v;
    }
  }
  if (night) {
    uint32_t seed = 12345;
    for (int i = 0; i < 120; ++i) {
      seed = seed * 1103515245u + 12345u;
      const auto x = static_cast<int32_t>((seed >> 8) % kWidth);
      const auto y = static_cast<int32_t>((seed >> 20) % 100);
      c.Set(x, y, kWhite);
    }
    c.Disc(500, 80, 30, RampIndex(kGrey, 28));
  } else {
    c.Disc(520, 70, 36, RampIndex(kGold, 29));
  }
  return c;
}

// Four frames of a round creature, a crate, the panel and the star.
Canvas SpriteSheet() {
  Canvas c(kSheetW, kSheetH);
  for (int f = 0; f < 4; ++f) {
    const int32_t x0 = kSheetCharacter.x + f * kCellSize;
    c.Disc(x0 + 15.5, 14.5, 12, RampIndex(kGold, 10));
    c.Disc(x0 + 15.5, 14.5, 11, kBody);
    c.Disc(x0 + kEyeOffset.x, kEyeOffset.y, 2.5, kEye);
    const int32_t step = (f % 2) * 3;
    c.Box(x0 + 8 - step, 26, 5, 5, RampIndex(kRed, 12));
    c.Box(x0 + 19 + step, 26, 5, 5, RampIndex(kRed, 12));
  }
  c.Box(kSheetCrate.x, kSheetCrate.y, 32, 32, RampIndex(kEarth, 8));
  c.Box(kSheetCrate.x + 3, kSheetCrate.y + 3, 26, 26, RampIndex(kEarth, 18));
  c.Disc(kSheetCrate.x + 16, kSheetCrate.y + 16, 6, kCrateCentre);
  c.Box(kSheetPanel.x, kSheetPanel.y, kSheetPanel.w, kSheetPanel.h, RampIndex(kGrey, 26));
  c.Box(kSheetPanel.x + 3, kSheetPanel.y + 3, kSheetPanel.w - 6, kSheetPanel.h - 6,
        RampIndex(kGrey, 6));
  const double sx = kSheetStar.x + 31.5;
  const double sy = kSheetStar.y + 31.5;
  for (int32_t y = 0; y < 64; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      const double a = std::atan2(y - 31.5, x - 31.5);
      const double r = std::hypot(x - 31.5, y - 31.5);
      const double edge = 18 + 12 * std::cos(5 * a);
      if (r <= edge)
        c.Set(kSheetStar.x + x, kSheetStar.y + y, RampIndex(kGold, 14 + static_cast<int>(r) / 3));
    }
  }
  c.Disc(sx, sy, 6, kStarCentre);
  return c;
}

// A ring emblem with a solid centre, drawn with skips around it.
Canvas Logo() {
  Canvas c(kSheetLogo.w, kSheetLogo.h);
  for (int32_t y = 0; y < c.h; ++y) {
    for (int32_t x = 0; x < c.w; ++x) {
      const double r = std::hypot((x - 47.5) / 2.0, y - 23.5);
      if (r < 22 && r > 14) c.Set(x, y, RampIndex(kRed, 8 + (x / 6) % 20));
    }
  }
  c.Disc(47.5, 23.5, 6, kLogoCentre);
  return c;
}

int16_t Clamp16(double v) { return static_cast<int16_t>(std::clamp(v, -32767.0, 32767.0)); }

void PutSample16(std::vector<uint8_t>& out, double v) {
  const auto s = static_cast<uint16_t>(Clamp16(v));
  out.push_back(static_cast<uint8_t>(s & 0xFF));
  out.push_back(static_cast<uint8_t>(s >> 8));
}

// One second of a chord whose partials are whole numbers of hertz, so that it loops seamlessly:
// 16-bit stereo at 22050 Hz.
std::vector<uint8_t> LoopWave() {
  std::vector<uint8_t> samples;
  for (int i = 0; i < 22050; ++i) {
    const double t = i / 22050.0;
    const double low = std::sin(2 * kPi * 110 * t) + 0.5 * std::sin(2 * kPi * 165 * t);
    const double high = 0.6 * std::sin(2 * kPi * 220 * t) + 0.3 * std::sin(2 * kPi * 330 * t);
    PutSample16(samples, 5000 * (low + 0.5 * high));
    PutSample16(samples, 5000 * (0.5 * low + high));
  }
  return taviwriter::WaveImage(2, 22050, 16, samples);
}

// A short decaying square wave: 8-bit mono at 11025 Hz.
std::vector<uint8_t> BlipWave() {
  std::vector<uint8_t> samples;
  for (int i = 0; i < 1650; ++i) {
    const double envelope = std::exp(-i / 400.0);
    const double square = (i / 6) % 2 == 0 ? 1.0 : -1.0;
    samples.push_back(static_cast<uint8_t>(128 + std::lround(90 * envelope * square)));
  }
  return taviwriter::WaveImage(1, 11025, 8, samples);
}

// A burst of decaying noise: 16-bit mono at 22050 Hz.
std::vector<uint8_t> HitWave() {
  std::vector<uint8_t> samples;
  uint32_t seed = 99;
  for (int i = 0; i < 4410; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 16) / 32768.0 - 1.0;
    PutSample16(samples, 14000 * noise * std::exp(-i / 900.0));
  }
  return taviwriter::WaveImage(1, 22050, 16, samples);
}

// The first bytes of the host file the pack is appended to.
std::vector<uint8_t> HostStub() {
  std::vector<uint8_t> stub(4096, 0);
  const char text[] = "MZ tavikit demo host: the data pack follows at byte 4096";
  std::memcpy(stub.data(), text, sizeof text - 1);
  return stub;
}

}  // namespace

std::array<uint8_t, 1024> DemoPalette() {
  std::array<uint8_t, 1024> p{};
  auto set = [&p](int i, int r, int g, int b) {
    p[i * 4 + 0] = static_cast<uint8_t>(b);
    p[i * 4 + 1] = static_cast<uint8_t>(g);
    p[i * 4 + 2] = static_cast<uint8_t>(r);
  };
  set(kWhite, 255, 255, 255);
  set(kBody, 250, 210, 40);
  set(kEye, 20, 20, 60);
  set(kCrateCentre, 200, 60, 30);
  set(kStarCentre, 255, 120, 0);
  set(kLogoCentre, 230, 30, 90);
  // Dark-to-light ramps: {red, green, blue} at level 0 and at the top level.
  constexpr int kEnds[8][2][3] = {
      {{60, 110, 190}, {215, 235, 255}},  // day sky
      {{20, 70, 20}, {140, 220, 90}},     // grass
      {{50, 30, 15}, {190, 140, 90}},     // earth
      {{5, 5, 25}, {70, 50, 130}},        // night sky
      {{5, 20, 25}, {40, 90, 90}},        // night hills
      {{60, 10, 10}, {255, 140, 120}},    // red
      {{90, 60, 0}, {255, 240, 120}},     // gold
      {{15, 15, 15}, {240, 240, 240}},    // grey
  };
  for (int ramp = 0; ramp < 8; ++ramp) {
    for (int level = 0; level < kRampLevels; ++level) {
      int c[3];
      for (int k = 0; k < 3; ++k) {
        c[k] = kEnds[ramp][0][k] + (kEnds[ramp][1][k] - kEnds[ramp][0][k]) * level / 29;
      }
      set(RampIndex(static_cast<Ramp>(ramp), level), c[0], c[1], c[2]);
    }
  }
  return p;
}

const AssetFile* Assets::Find(const std::string& name) const {
  for (const AssetFile& f : files) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

Assets MakeAssets() {
  using taviwriter::PictureKind;
  using taviwriter::WaveScramble;
  Assets a;
  a.files.push_back({kDayPicture, Landscape(false).Encode(PictureKind::kTK00)});
  a.files.push_back({kNightPicture, Landscape(true).Encode(PictureKind::kTK01)});
  a.files.push_back({kSpriteArchive, taviwriter::BuildArchive({
                                         SpriteSheet().Encode(PictureKind::kTK10, kBlack),
                                         Logo().Encode(PictureKind::kTK11, kBlack),
                                     })});
  a.files.push_back({kLoopWave, taviwriter::ScrambleWave(LoopWave(), WaveScramble::kTAVI)});
  a.files.push_back({kBlipWave, taviwriter::ScrambleWave(BlipWave(), WaveScramble::kTavi)});
  a.files.push_back({kSoundBank, taviwriter::SoundBank({HitWave(), BlipWave()})});

  std::vector<taviwriter::PackEntry> entries;
  for (const AssetFile& f : a.files)
    entries.push_back({taviwriter::PackName(f.name), f.bytes});
  a.host = HostStub();
  a.packOffset = static_cast<int32_t>(a.host.size());
  const std::vector<uint8_t> pack = taviwriter::BuildPack(entries);
  a.host.insert(a.host.end(), pack.begin(), pack.end());
  return a;
}

bool WriteAssets(const Assets& assets, const std::string& dir, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(dir + "/assets", ec);
  if (ec) {
    error = dir + "/assets: " + ec.message();
    return false;
  }
  for (const AssetFile& f : assets.files) {
    if (!tavitool::WriteFile(dir + "/assets/" + f.name, f.bytes, error)) return false;
  }
  tavitool::IndexedImage swatch;
  swatch.width = swatch.height = 16;
  for (int i = 0; i < 256; ++i)
    swatch.pixels.push_back(static_cast<uint8_t>(i));
  swatch.palette = DemoPalette();
  return tavitool::WriteFile(dir + "/assets/palette.png", tavitool::EncodeStablePng(swatch),
                             error) &&
         tavitool::WriteFile(dir + "/" + kHostFile, assets.host, error);
}

}  // namespace tavidemo
