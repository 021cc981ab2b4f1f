// tavikit demo: a host of the library, written against its public header, that plays a few
// seconds of a script's typical frame and writes what it drew and what it played.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "commands/commands.h"
#include "demo/demo_scene.h"
#include "demo/demo_window.h"
#include "platform/file_io.h"
#include "png/png_io.h"
#include "tavikit.h"

namespace tavitool {
namespace {

using tavidemo::kFramesPerSecond;
using tavidemo::kHeight;
using tavidemo::kWidth;
using Clock = std::chrono::steady_clock;

struct DemoOptions {
  std::string out = "demo";
  int32_t frames = 0;  // 0: seconds x frames per second
  double seconds = 4;
  bool window = false;
  bool png = true;
  bool limited = false;  // --frames or --seconds given: a window closes after them
};

constexpr const char* kUsage =
    "usage: tavikit demo [--frames N] [--seconds S] [--out DIR] [--no-png] [--window]\n\n"
    "Plays a scene through the library's exports: backgrounds from a data pack inside a larger\n"
    "file, a scroll, a mosaic transition and a dissolve between day and night, a character cell\n"
    "drawn with transparency and tested against a background map, compressed crate cells, a\n"
    "blended panel, a rotated star, a zoomed logo, a pixel-doubled magnifier, and sounds from\n"
    "scrambled waves and a sound bank (looping, panned, pitched, duplicated).\n\n"
    "Headless (the default) it writes DIR/frame_NNNN.png for every frame, DIR/contact.png (every\n"
    "tenth frame) and DIR/mix.wav (what the sounds played, in step with the frames), and makes "
    "its\n"
    "assets in DIR/assets and DIR/game.exe on the first run.\n"
    "  --frames N    frames to draw (default: S seconds at 30 frames a second)\n"
    "  --seconds S   scene time (default 4)\n"
    "  --out DIR     output folder (default ./demo)\n"
    "  --no-png      draw as fast as possible and write no pictures (prints frames per second)\n"
    "  --window      show the scene in a window with live sound; arrow keys or a joystick steer,\n"
    "                Esc quits\n";

// Parses the options; returns false (and says why) on a usage error.
bool ParseDemo(int argc, char** argv, DemoOptions& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--frames" && hasValue) {
      o.frames = std::atoi(argv[++i]);
      o.limited = true;
    } else if (a == "--seconds" && hasValue) {
      o.seconds = std::atof(argv[++i]);
      o.limited = true;
    } else if ((a == "--out" || a == "-o") && hasValue) {
      o.out = argv[++i];
    } else if (a == "--no-png") {
      o.png = false;
    } else if (a == "--window") {
      o.window = true;
    } else {
      std::fprintf(stderr, "tavikit demo: unexpected argument '%s'\n%s", a.c_str(), kUsage);
      return false;
    }
  }
  if (o.frames <= 0) o.frames = static_cast<int32_t>(std::lround(o.seconds * kFramesPerSecond));
  if (o.frames <= 0 || o.frames > 1000000) {
    std::fprintf(stderr, "tavikit demo: the number of frames must be 1 to 1000000\n");
    return false;
  }
  return true;
}

IndexedImage Snapshot(const tavihost::HostScreen& screen) {
  IndexedImage image;
  image.width = screen.width();
  image.height = screen.height();
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x)
      image.at(x, y) = screen.at(x, y);
  }
  const auto palette = tavidemo::DemoPalette();
  std::memcpy(image.palette.data(), palette.data(), palette.size());
  return image;
}

// Every tenth frame at a quarter of its size, four across, each labelled with its number.
class ContactSheet {
 public:
  static constexpr int32_t kThumbW = kWidth / 4, kThumbH = kHeight / 4, kGap = 4, kAcross = 4;

  explicit ContactSheet(int32_t frames) : count_((frames + 9) / 10) {
    const int32_t rows = (count_ + kAcross - 1) / kAcross;
    sheet_.width = kAcross * (kThumbW + kGap) + kGap;
    sheet_.height = rows * (kThumbH + kGap) + kGap;
    sheet_.pixels.assign(static_cast<size_t>(sheet_.width) * sheet_.height, tavidemo::kBlack);
    const auto palette = tavidemo::DemoPalette();
    std::memcpy(sheet_.palette.data(), palette.data(), palette.size());
  }

  void Add(int32_t frame, const IndexedImage& image) {
    const int32_t n = frame / 10;
    const int32_t x0 = kGap + (n % kAcross) * (kThumbW + kGap);
    const int32_t y0 = kGap + (n / kAcross) * (kThumbH + kGap);
    for (int32_t y = 0; y < kThumbH; ++y) {
      for (int32_t x = 0; x < kThumbW; ++x) {
        sheet_.at(x0 + x, y0 + y) =
            image.pixels[static_cast<size_t>(y * 4 + y % 2) * kWidth + x * 4];
      }
    }
    Label(x0 + 2, y0 + 2, frame);
  }

  const IndexedImage& image() const { return sheet_; }

 private:
  // Digits of 3 x 5 dots, drawn at twice their size in white on a black box.
  void Label(int32_t x0, int32_t y0, int32_t number) {
    static constexpr uint16_t kDigits[10] = {0x7B6F, 0x2492, 0x73E7, 0x73CF, 0x5BC9,
                                             0x79CF, 0x79EF, 0x7249, 0x7BEF, 0x7BCF};
    const std::string text = std::to_string(number);
    const int32_t w = static_cast<int32_t>(text.size()) * 8 + 2;
    for (int32_t y = 0; y < 14; ++y) {
      for (int32_t x = 0; x < w; ++x)
        sheet_.at(x0 + x, y0 + y) = tavidemo::kBlack;
    }
    for (size_t i = 0; i < text.size(); ++i) {
      const uint16_t bits = kDigits[text[i] - '0'];
      for (int32_t dot = 0; dot < 15; ++dot) {
        if (((bits >> (14 - dot)) & 1) == 0) continue;
        const int32_t x = x0 + 2 + static_cast<int32_t>(i) * 8 + (dot % 3) * 2;
        const int32_t y = y0 + 2 + (dot / 3) * 2;
        for (int32_t k = 0; k < 4; ++k)
          sheet_.at(x + k % 2, y + k / 2) = tavidemo::kWhite;
      }
    }
  }

  int32_t count_;
  IndexedImage sheet_;
};

// A progress bar on a terminal, a line per tenth of the work elsewhere.
void Progress(int32_t done, int32_t total) {
  static const bool terminal = isatty(STDOUT_FILENO) != 0;
  if (terminal) {
    const int32_t filled = done * 30 / total;
    std::printf("\r  [%.*s%*s] %d/%d frames", filled, "##############################", 30 - filled,
                "", done, total);
    if (done == total) std::printf("\n");
    std::fflush(stdout);
  } else if (done == total || (done * 10 / total) != ((done - 1) * 10 / total)) {
    std::printf("  %d/%d frames\n", done, total);
  }
}

// Draws the frames; writes pictures unless told not to. Returns the time spent drawing.
double PlayHeadless(tavidemo::Scene& scene, const DemoOptions& o, std::string& error) {
  ContactSheet contact(o.frames);
  double drawing = 0;
  const Clock::time_point start = Clock::now();
  for (int32_t frame = 0; frame < o.frames; ++frame) {
    const Clock::time_point t0 = Clock::now();
    scene.Draw(frame, o.frames, {});
    drawing += std::chrono::duration<double>(Clock::now() - t0).count();
    if (o.png) {
      const IndexedImage image = Snapshot(scene.display());
      char name[32];
      std::snprintf(name, sizeof name, "/frame_%04d.png", frame);
      if (!WriteIndexedPng(o.out + name, image, error)) return -1;
      if (frame % 10 == 0) contact.Add(frame, image);
      // Keep scene time with the wall clock, so that the recorded sound lines up.
      std::this_thread::sleep_until(
          start + std::chrono::microseconds(int64_t{1000000} * (frame + 1) / kFramesPerSecond));
      Progress(frame + 1, o.frames);
    }
  }
  if (o.png && !WriteIndexedPng(o.out + "/contact.png", contact.image(), error)) return -1;
  return drawing;
}

}  // namespace

int RunDemo(int argc, char** argv) {
  if (WantsHelp(argc, argv)) {
    std::printf("%s", kUsage);
    return 0;
  }
  DemoOptions o;
  if (!ParseDemo(argc, argv, o)) return 2;

  std::string error;
  const tavidemo::Assets assets = tavidemo::MakeAssets();
  const std::string host = o.out + "/" + tavidemo::kHostFile;
  if (!std::filesystem::exists(host) && !tavidemo::WriteAssets(assets, o.out, error)) {
    std::fprintf(stderr, "tavikit demo: %s\n", error.c_str());
    return 1;
  }
  // Headless, the sound goes to a WAV file (or nowhere when only speed counts), unless the
  // caller chose an output.
  const std::string wav = o.out + "/mix.wav";
  const char* chosen = std::getenv("TAVIKIT_AUDIO");
  if (!o.window && (chosen == nullptr || *chosen == '\0')) {
    static std::string setting;  // putenv keeps the text itself; putenv is on every platform
    setting = "TAVIKIT_AUDIO=" + (o.png ? "wav:" + wav : std::string("null"));
    putenv(setting.data());
  }

  char version[12] = {};
  tavi_GetTaviVER(0, 0, 0, tavihost::Word(version));
  tavidemo::Scene scene(host, assets.packOffset, assets);
  const bool sound = scene.StartSound();
  std::printf("tavikit demo: %s, %d frames of %d x %d%s\n", version, o.frames, kWidth, kHeight,
              sound ? ", with sound" : ", no sound device");
  if (o.window) {
    const int status = RunDemoWindow(scene, o.limited ? o.frames : 0, error);
    scene.StopSound();
    if (status != 0) std::fprintf(stderr, "tavikit demo: %s\n", error.c_str());
    return status;
  }
  const double drawing = PlayHeadless(scene, o, error);
  scene.StopSound();
  if (drawing < 0) {
    std::fprintf(stderr, "tavikit demo: %s\n", error.c_str());
    return 1;
  }
  std::printf("drew %d frames in %.3f s: %.0f frames per second (%d hits on the map)\n", o.frames,
              drawing, o.frames / std::max(drawing, 1e-9), scene.hits());
  if (o.png) {
    std::printf("wrote %s/frame_0000.png to frame_%04d.png, %s/contact.png", o.out.c_str(),
                o.frames - 1, o.out.c_str());
    if (sound && Exists(wav)) std::printf(", %s", wav.c_str());  // DirectSound records nothing
    std::printf("\n");
  }
  return 0;
}

}  // namespace tavitool
