// tavikit gallery: one picture per drawing command, drawn through the library's exports from one
// fixed scene made of the demo's art. Each picture shows a screen before (or the source screen)
// beside the screen after, scaled up, with the script that drew it written underneath.
//
// The pictures are data (pictures.h). Their scripts are the text in the pictures: each line is
// run as a script runs it (script_runner.h), so the arguments shown are the arguments passed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "commands/commands.h"
#include "demo/demo_art.h"
#include "demo/demo_assets.h"
#include "gallery/bitmap_font.h"
#include "gallery/pictures.h"
#include "gallery/script_runner.h"
#include "host/host_screen.h"
#include "platform/file_io.h"
#include "png/png_writer.h"

namespace tavitool {
namespace {

using gallery::Area;
using gallery::Picture;
using gallery::View;
using tavihost::HostScreen;
namespace fs = std::filesystem;

// The picture's layout, in picture pixels, and its colours (entries of the demo's palette).
constexpr int32_t kMargin = 16;
constexpr int32_t kTextScale = 2;
constexpr int32_t kLine = kGlyphHeight * kTextScale + 8;
constexpr int32_t kGap = 48;  // between the two views, with an arrow in it
const uint8_t kBackground = tavidemo::RampIndex(tavidemo::kGrey, 3);
const uint8_t kFrame = tavidemo::RampIndex(tavidemo::kGrey, 12);
const uint8_t kCaption = tavidemo::RampIndex(tavidemo::kGrey, 20);
const uint8_t kTitle = tavidemo::RampIndex(tavidemo::kGold, 29);

int32_t TextWidth(std::string_view text) {
  return static_cast<int32_t>(text.size()) * kGlyphAdvance * kTextScale - kTextScale;
}

void Fill(IndexedImage& image, int32_t x0, int32_t y0, int32_t w, int32_t h, uint8_t colour) {
  for (int32_t y = y0; y < y0 + h; ++y) {
    for (int32_t x = x0; x < x0 + w; ++x)
      image.at(x, y) = colour;
  }
}

// Draws `pixels` (w x h, top row first) at (x0, y0), each pixel a `scale` square, in a frame.
void DrawView(IndexedImage& image, int32_t x0, int32_t y0, int32_t scale, const View& view,
              const std::vector<uint8_t>& pixels) {
  Fill(image, x0 - 2, y0 - 2, view.w * scale + 4, view.h * scale + 4, kFrame);
  for (int32_t y = 0; y < view.h * scale; ++y) {
    for (int32_t x = 0; x < view.w * scale; ++x)
      image.at(x0 + x, y0 + y) = pixels[static_cast<size_t>(y / scale) * view.w + x / scale];
  }
}

// Outlines area `a` of a view drawn at (x0, y0): a dashed line just outside its pixels, white and
// black so that it shows on any scene, kept inside the view's frame.
void Outline(IndexedImage& image, int32_t x0, int32_t y0, int32_t k, const View& v, const Area& a) {
  if (a.w <= 0) return;
  const int32_t left = x0 + (a.x - v.x) * k - 1, top = y0 + (a.y - v.y) * k - 1;
  const int32_t right = left + a.w * k + 1, bottom = top + a.h * k + 1;
  const auto dot = [&](int32_t x, int32_t y) {
    if (x >= x0 - 1 && y >= y0 - 1 && x <= x0 + v.w * k && y <= y0 + v.h * k)
      image.at(x, y) = (x + y) / 4 % 2 == 0 ? tavidemo::kWhite : tavidemo::kBlack;
  };
  for (int32_t x = left; x <= right; ++x) {
    dot(x, top);
    dot(x, bottom);
  }
  for (int32_t y = top; y <= bottom; ++y) {
    dot(left, y);
    dot(right, y);
  }
}

std::vector<uint8_t> Take(const HostScreen& screen, const View& v) {
  if (v.x < 0 || v.y < 0 || v.x + v.w > screen.width() || v.y + v.h > screen.height())
    Refuse("a view reaches outside its screen");
  std::vector<uint8_t> pixels;
  for (int32_t y = v.y; y < v.y + v.h; ++y) {
    for (int32_t x = v.x; x < v.x + v.w; ++x)
      pixels.push_back(screen.at(x, y));
  }
  return pixels;
}

IndexedImage Compose(const Picture& p, const std::vector<uint8_t>& before,
                     const std::vector<uint8_t>& after, const std::vector<std::string>& lines) {
  const std::string left = "screen " + std::to_string(p.before.screen) +
                           (p.before.screen == p.after.screen ? " before" : "");
  const std::string right = "screen " + std::to_string(p.after.screen) + " after";
  const int32_t k = p.scale;
  const int32_t viewsW = p.before.w * k + kGap + p.after.w * k;
  int32_t textW = TextWidth(p.name);
  for (const std::string& line : lines)
    textW = std::max(textW, TextWidth(line));
  IndexedImage image;
  image.width = 2 * kMargin + std::max(viewsW, textW);
  const int32_t viewsTop = kMargin + 2 * kLine;
  const int32_t viewsH = std::max(p.before.h, p.after.h) * k;
  image.height = viewsTop + viewsH + kMargin + static_cast<int32_t>(lines.size()) * kLine +
                 kMargin - (kLine - kGlyphHeight * kTextScale);
  image.pixels.assign(static_cast<size_t>(image.width) * image.height, kBackground);
  const auto palette = tavidemo::DemoPalette();
  std::copy(palette.begin(), palette.end(), image.palette.begin());

  DrawText(image, kMargin, kMargin, p.name, kTitle, kTextScale);
  const int32_t rightX = kMargin + p.before.w * k + kGap;
  DrawText(image, kMargin, kMargin + kLine, left, kCaption, kTextScale);
  DrawText(image, rightX, kMargin + kLine, right, kCaption, kTextScale);
  DrawView(image, kMargin, viewsTop, k, p.before, before);
  DrawView(image, rightX, viewsTop, k, p.after, after);
  Outline(image, kMargin, viewsTop, k, p.before, p.read);
  Outline(image, rightX, viewsTop, k, p.after, p.written);
  DrawText(image, rightX - kGap / 2 - TextWidth("->") / 2,
           viewsTop + std::min(p.before.h, p.after.h) * k / 2 - kGlyphHeight, "->", kCaption,
           kTextScale);
  int32_t y = viewsTop + viewsH + kMargin;
  for (const std::string& line : lines) {
    DrawText(image, kMargin, y, line, tavidemo::kWhite, kTextScale);
    y += kLine;
  }
  return image;
}

// The demo's pack in a folder of its own, the working folder for as long as this lives (the
// scripts name the pack as a script in the pack's folder does); then removed.
class PackFolder {
 public:
  explicit PackFolder(const fs::path& folder) : folder_(folder), previous_(fs::current_path()) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) Refuse(folder.string(), ec.message());
    WriteOutput((folder / tavidemo::kHostFile).string(), tavidemo::MakeAssets().host);
    fs::current_path(folder);
  }
  PackFolder(const PackFolder&) = delete;
  PackFolder& operator=(const PackFolder&) = delete;
  ~PackFolder() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(folder_, ignored);
  }

 private:
  fs::path folder_, previous_;
};

int Gallery(const Args& args) {
  if (!args.operands.empty()) Misuse("unexpected argument '" + args.operands[0] + "'");
  if (!args.Has("-o")) Misuse("give the output folder with -o DIR");
  const fs::path out = fs::absolute(args.Get("-o"));
  std::vector<std::unique_ptr<HostScreen>> screens;
  const auto palette = tavidemo::DemoPalette();
  for (const gallery::ScreenSize& s : gallery::kScreens) {
    screens.push_back(std::make_unique<HostScreen>(s.w, s.h));
    std::copy(palette.begin(), palette.end(), screens.back()->palette().begin());
  }
  std::vector<tavihost::PixelBuffer> start;  // the scene's pixels, restored before every picture
  int written = 0;
  {
    const PackFolder pack(out / ".gallery-pack");
    ScriptRunner scene(screens);
    for (const char* line : gallery::kScene)
      scene.Run(line);
    for (const auto& s : screens)
      start.push_back(s->pixels());
    for (const Picture& p : gallery::kPictures) {
      for (size_t i = 0; i < screens.size(); ++i) {
        screens[i]->pixels() = start[i];
        screens[i]->SetCursor(0, 0);
      }
      const std::vector<uint8_t> before = Take(*screens[p.before.screen], p.before);
      ScriptRunner runner(screens);
      std::vector<std::string> lines;
      for (const char* line : p.script) {
        if (line != nullptr) lines.push_back(line + runner.Run(line));
      }
      const IndexedImage image = Compose(p, before, Take(*screens[p.after.screen], p.after), lines);
      WriteOutput((out / (std::string(p.name) + ".png")).string(), EncodeStablePng(image));
      ++written;
    }
  }
  std::printf("%s: %s\n", out.string().c_str(), Count(written, "picture", "pictures").c_str());
  return kExitOk;
}

}  // namespace

const Command kGalleryCommand{
    "gallery", "draw one picture of every drawing command, with the script that drew it",
    "usage: tavikit gallery -o DIR\n\n"
    "Writes DIR/NAME.png for every drawing command NAME of the library: a screen before the\n"
    "command (or the screen it copies from) beside the screen after it, scaled up by a whole\n"
    "factor, with the script lines that drew it underneath. Every picture starts from the same\n"
    "scene, made of the demo's art, and the pictures are the same bytes on every run and build.\n",
    kOutputOnly, Gallery};

}  // namespace tavitool
