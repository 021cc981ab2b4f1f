// tavikit gallery: one picture per drawing command, drawn through the library's exports from one
// fixed scene made of the demo's art. Each picture shows a screen before (or the source screen)
// beside the screen after, scaled up, with the script that drew it written underneath.
//
// The scripts are the text in the pictures: each line is run as a script runs it, statement by
// statement, so the arguments shown are the arguments passed. An export whose first word is a
// screen gets the current screen (gsel), as the HSP declarations give it.
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
#include "host/host_screen.h"
#include "platform/file_io.h"
#include "png/png_writer.h"
#include "tavikit.h"
#include "tavikit_exports.h"

namespace tavitool {
namespace {

using tavihost::HostScreen;
namespace fs = std::filesystem;

struct NamedExport {
  std::string_view name;
  tavi_export_fn call;
};
#define TAVIKIT_GALLERY_EXPORT(name) {#name, &(name)},
#define TAVIKIT_GALLERY_ALIAS(name, entry) {#name, &(entry)},  // one entry point, many names
constexpr NamedExport kExports[] = {TAVIKIT_EXPORTS(TAVIKIT_GALLERY_EXPORT, TAVIKIT_GALLERY_ALIAS)};
#undef TAVIKIT_GALLERY_EXPORT
#undef TAVIKIT_GALLERY_ALIAS

// Exports whose first word is the current screen: the script leaves it out.
constexpr std::string_view kTakeScreen[] = {
    "tavi_fset",      "tavi_tset",     "tavi_AlphaInit", "tavi_addset",  "tavi_decset",
    "tavi_edecset",   "tavi_gcopya",   "tavi_gcopyf",    "tavi_gcopyfc", "tavi_gcopyfr",
    "tavi_gcopyfrc",  "tavi_gmozic",   "tavi_gmozice",   "tavi_gmozicn", "tavi_MeshBOX",
    "chibi_Put",      "chibi_PutM",    "chibi_Get",      "chibi_GetF",   "tavi_PCP2Load",
    "tavi_PCP2BLoad", "tavi_PCPDecode"};

// The screens the scripts choose with gsel: 0 the day at full size, 1 the day scene (with a
// crate), 2 the night scene, 3 the sprite sheet (the logo at 96, 128), 4 the day at half size,
// 5 an empty full-size screen, 6 the logo alone on an empty scene, 7 the night at full size.
struct ScreenSize {
  int32_t w, h;
};
constexpr ScreenSize kScreens[] = {{640, 480}, {128, 96},  {128, 96}, {256, 192},
                                   {320, 240}, {640, 480}, {128, 96}, {640, 480}};

// The scene, drawn once through the same exports; every picture starts from it.
constexpr const char* kScene[] = {
    R"(gsel 0 : pos 0, 0 : tavi_PCP2Load "day.tk", 0, "game.exe,4096")",
    R"(gsel 7 : pos 0, 0 : tavi_PCP2Load "night.tk", 0, "game.exe,4096")",
    R"(gsel 3 : pos 0, 0 : tavi_PCP2BLoad "sprites.tkx", 0, "game.exe,4096")",
    R"(pos 96, 128 : tavi_PCP2BLoad "sprites.tkx", 1, "game.exe,4096")",
    R"(gsel 6 : pos 16, 24 : tavi_PCP2BLoad "sprites.tkx", 1, "game.exe,4096")",
    "tavi_copyset 0, 0, 640, 480 : gsel 0 : tavi_fset",
    "gsel 1 : tavi_tset : pos 0, 0 : tavi_zoomcopy 128, 96, -1, -1",
    "gsel 4 : tavi_tset : pos 0, 0 : tavi_zoomcopy 320, 240, -1, -1",
    "gsel 7 : tavi_fset : gsel 2 : tavi_tset : pos 0, 0 : tavi_zoomcopy 128, 96, -1, -1",
    "gsel 3 : tavi_fset : gsel 1 : tavi_tset : pos 92, 52 : tavi_gcopy 128, 0, 32, 32",
};

// An area of a screen shown in a picture.
struct View {
  int screen;
  int32_t x, y, w, h;
};
constexpr View Whole(int screen) { return {screen, 0, 0, kScreens[screen].w, kScreens[screen].h}; }

// A rectangle of a screen outlined on its view; none when w is 0.
struct Area {
  int32_t x, y, w, h;
};

struct Picture {
  const char* name;                 // the export it shows: the file is NAME.png
  View before;                      // taken before the script runs
  View after;                       // taken after
  int32_t scale;                    // both views are drawn this many times larger
  std::vector<const char*> script;  // lines
  Area read{}, written{};           // outlined on the views before and after
};

constexpr View kCharacter = {3, 0, 0, 32, 32};
constexpr View kStar = {3, 0, 120, 64, 64};
constexpr View kLogo = {3, 96, 128, 96, 48};

const std::vector<Picture>& Pictures() {
  static const std::vector<Picture> pictures = {
      {"tavi_gcopy",
       Whole(1),
       Whole(2),
       3,
       {"gsel 1 : tavi_fset : gsel 2 : tavi_tset", "pos 8, 40 : tavi_gcopy 72, 40, 56, 48"},
       {72, 40, 56, 48},
       {8, 40, 56, 48}},
      {"tavi_tilecopy",
       {3, 128, 0, 32, 32},
       Whole(2),
       3,
       {"gsel 3 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 128, 0, 32, 32",
        "pos 8, 8 : tavi_tilecopy 112, 48, 8, 4"},
       {},
       {8, 8, 112, 48}},
      {"tavi_fillcopy",
       Whole(0),
       Whole(5),
       1,
       {"gsel 0 : tavi_fset : gsel 5 : tavi_tset", "pos 0, 0 : tavi_fillcopy 240, 160, 0, 0"}},
      {"tavi_gcopya",
       kStar,
       Whole(2),
       3,
       {"gsel 3 : tavi_fset : tavi_copyset 0, 120, 64, 64",
        "gsel 2 : tavi_AlphaInit 256, 0, 0 : tavi_addset 255, 255, 255",
        "pos 24, 12 : tavi_gcopya"},
       {},
       {24, 12, 64, 64}},
      {"tavi_gcopyf",
       kLogo,
       Whole(1),
       3,
       {"gsel 3 : tavi_fset : tavi_copyset 96, 128, 96, 48",
        "gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 48, 8 : tavi_gcopyf 144"},
       {},
       {48, 8, 96, 48}},
      {"tavi_gcopyfc",
       kLogo,
       Whole(1),
       3,
       {"gsel 3 : tavi_fset : tavi_copyset 96, 128, 96, 48",
        "gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 16, 8 : tavi_gcopyfc 144, 0"},
       {},
       {16, 8, 96, 48}},
      {"tavi_gcopyfr",
       Whole(2),
       Whole(1),
       3,
       {"gsel 2 : tavi_fset : tavi_copyset 0, 0, 128, 96",
        "gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 0, 0 : tavi_gcopyfr 96"}},
      {"tavi_gcopyfrc",
       kCharacter,
       Whole(2),
       3,
       {"gsel 3 : tavi_fset : tavi_copyset 0, 0, 32, 32",
        "gsel 2 : tavi_AlphaInit 256, 0, 0 : pos 48, 52 : tavi_gcopyfrc 128, 0"},
       {},
       {48, 52, 32, 32}},
      {"tavi_GFade",
       Whole(1),
       Whole(2),
       3,
       {"gsel 1 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 0, 0, 128, 96",
        "pos 0, 0 : tavi_GFade 96, -1"}},
      {"tavi_GFade2",
       Whole(1),
       Whole(2),
       3,
       {"gsel 1 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 0, 0, 127, 96",
        "sdim pat, 16 : poke pat, 0, 1 : poke pat, 1, 1 : poke pat, 2, 1 : poke pat, 3, 1",
        "pos 0, 0 : tavi_GFade2 pat"}},
      {"tavi_gmozic",
       Whole(1),
       Whole(1),
       3,
       {"gsel 1 : pos 16, 8 : tavi_gmozic 12, 10, 8"},
       {16, 8, 96, 80},
       {16, 8, 96, 80}},
      {"tavi_gmozice",
       Whole(1),
       Whole(1),
       3,
       {"gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 16, 8 : tavi_gmozice 12, 10, 8"},
       {16, 8, 96, 80},
       {16, 8, 96, 80}},
      {"tavi_gmozicn",
       Whole(1),
       Whole(1),
       3,
       {"gsel 1 : tavi_AlphaInit 256, 0, 0 : pos 16, 8 : tavi_gmozicn 12, 10, 8"},
       {16, 8, 96, 80},
       {16, 8, 96, 80}},
      {"tavi_mozcopy",
       Whole(1),
       Whole(2),
       3,
       {"gsel 1 : tavi_fset : pos 16, 8 : gsel 2 : tavi_tset : pos 16, 8",
        "tavi_mozcopy 100, 80, 12, -1"},
       {16, 8, 100, 80},
       {16, 8, 100, 80}},
      {"tavi_zoomcopy",
       kCharacter,
       Whole(1),
       3,
       {"gsel 3 : tavi_fset : gsel 1 : tavi_tset : tavi_copyset 0, 0, 32, 32",
        "pos 4, 4 : tavi_zoomcopy 88, 88, -1, 0"},
       {},
       {4, 4, 88, 88}},
      {"tavi_polycopy",
       Whole(1),
       Whole(2),
       3,
       {"gsel 1 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 0, 0, 128, 96",
        "pos 0, 40 : tavi_polycopy 128, 56, 48, 0"},
       {},
       {0, 40, 128, 56}},
      {"tavi_rotcopy",
       kCharacter,
       Whole(1),
       3,
       {"gsel 3 : tavi_fset : gsel 1 : tavi_tset",
        "tavi_rotpos 0, 0, 32, 32 : tavi_rotclip 0, 0, 32, 32 : tavi_rotset -1, -1, 160",
        "pos 8, 8 : tavi_rotcopy 80, 80, -1, 0"},
       {},
       {8, 8, 80, 80}},
      {"tavi_meshcpy",
       Whole(1),
       Whole(2),
       3,
       {"gsel 1 : tavi_fset : gsel 2 : tavi_tset", "pos 16, 16 : tavi_meshcpy 16, 16, 96, 64"},
       {16, 16, 96, 64},
       {16, 16, 96, 64}},
      {"tavi_meshcopy",
       kCharacter,
       Whole(2),
       3,
       {"gsel 3 : tavi_fset : pos 0, 0 : gsel 2 : tavi_tset : pos 48, 52",
        "tavi_meshcopy 32, 32, 0"},
       {},
       {48, 52, 32, 32}},
      {"tavi_meshboxs",
       Whole(1),
       Whole(1),
       3,
       {"gsel 1 : tavi_tset : pos 8, 8 : tavi_meshboxs 112, 32, 0"},
       {8, 8, 112, 32},
       {8, 8, 112, 32}},
      {"tavi_MeshBOX",
       Whole(1),
       Whole(1),
       3,
       {"gsel 1 : pos -7, 40 : tavi_MeshBOX 72, 64, 1"},
       {-7, 40, 72, 64},
       {-7, 40, 72, 64}},
      {"tavi_gcopy2",
       {3, 0, 0, 64, 32},
       Whole(2),
       3,
       {"gsel 3 : tavi_fset : gsel 2 : tavi_tset : tavi_copyset 0, 0, 64, 32",
        "pos 24, 52 : tavi_gcopy2 0"},
       {},
       {24, 52, 64, 32}},
      {"tavi_gcopy2e",
       kStar,
       Whole(1),
       3,
       {"gsel 3 : tavi_fset : gsel 1 : tavi_tset : tavi_copyset 0, 120, 64, 64",
        "pos -24, -20 : tavi_gcopy2e 0"},
       {},
       {-24, -20, 64, 64}},
      {"tavi_HGCP320",
       {4, 216, 8, 64, 48},
       {5, 432, 16, 128, 96},
       3,
       {"gsel 4 : tavi_fset : gsel 5 : tavi_tset : tavi_HGCP320 1"}},
      {"chibi_Put",
       kCharacter,
       Whole(2),
       3,
       {"gsel 3 : pos 0, 0 : chibi_Get 10, 32, 32",
        "gsel 2 : pos 16, 52 : chibi_Put 10, 0 : pos 72, 52 : chibi_Put 10, 1"}},
      {"chibi_PutM",
       {3, 32, 0, 32, 32},
       Whole(2),
       3,
       {"gsel 3 : pos 32, 0 : chibi_Get 11, 32, 32 : chibi_SetCLIP 0, 0, 72, 72",
        "gsel 2 : pos 48, 52 : chibi_PutM 11, 0"},
       {},
       {0, 0, 72, 72}},
      {"tavi_PCP2Load",
       Whole(1),
       Whole(1),
       3,
       {R"(gsel 1 : pos -400, -24 : tavi_PCP2Load "night.tk", 0, "game.exe,4096")"}},
      {"tavi_PCP2BLoad",
       Whole(1),
       Whole(1),
       3,
       {R"(gsel 1 : pos 16, 24 : tavi_PCP2BLoad "sprites.tkx", 1, "game.exe,4096")"},
       {},
       {16, 24, 96, 48}},
      {"tavi_DMSupportXOR",
       Whole(6),
       Whole(1),
       3,
       {"gsel 6 : mref key, 66 : gsel 1 : mref vram, 66 : tavi_DMSupportSet vram",
        "tavi_DMSupportXOR key, 12288"}},
  };
  return pictures;
}

// Splits `text` at `separator` where it is not inside double quotes; trims each piece.
std::vector<std::string> SplitOutsideQuotes(std::string_view text, char separator) {
  std::vector<std::string> pieces(1);
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == separator && !quoted) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  for (std::string& p : pieces) {
    p.erase(0, p.find_first_not_of(' '));
    p.erase(p.find_last_not_of(' ') + 1);
  }
  return pieces;
}

// Runs script lines against the screens, as a script runtime would: gsel, pos, sdim, poke,
// mref (66: the current screen's pixels) and the exports.
class Runner {
 public:
  explicit Runner(std::vector<std::unique_ptr<HostScreen>>& screens) : screens_(screens) {}

  // Runs one line; returns what a script would find in stat after it, when not 0.
  std::string Run(std::string_view line) {
    std::string note;
    for (const std::string& statement : SplitOutsideQuotes(line, ':')) {
      const size_t space = statement.find(' ');
      const std::string command = statement.substr(0, space);
      std::vector<std::string> args;
      if (space != std::string::npos) args = SplitOutsideQuotes(statement.substr(space), ',');
      const int32_t stat = Statement(command, args);
      note = stat != 0 ? "  ; stat = " + std::to_string(stat) : "";
    }
    return note;
  }

 private:
  struct Variable {
    std::string name;
    std::vector<uint8_t> own;  // sdim
    uint8_t* bytes = nullptr;
    size_t size = 0;
  };

  int32_t Statement(const std::string& command, const std::vector<std::string>& args) {
    if (command == "gsel") {
      current_ = static_cast<size_t>(Number(args, 0));
      if (current_ >= screens_.size()) Refuse("gsel " + args[0] + ": no such screen");
    } else if (command == "pos") {
      screens_[current_]->SetCursor(Number(args, 0), Number(args, 1));
    } else if (command == "sdim") {
      Variable& v = Define(args, 2);
      v.own.assign(static_cast<size_t>(Number(args, 1)), 0);
      v.bytes = v.own.data();
      v.size = v.own.size();
    } else if (command == "mref") {
      if (Number(args, 1) != 66) Refuse("mref: only 66, the current screen's pixels");
      Variable& v = Define(args, 2);
      v.bytes = screens_[current_]->pixels().data();
      v.size = screens_[current_]->pixels().size();
    } else if (command == "poke") {
      Variable& v = Find(args.empty() ? "" : args[0]);
      const auto at = static_cast<size_t>(Number(args, 1));
      if (at >= v.size) Refuse("poke " + v.name + ": outside the variable");
      v.bytes[at] = static_cast<uint8_t>(Number(args, 2));
    } else {
      return -Export(command, args);  // stat: minus the export's result
    }
    return 0;
  }

  int32_t Export(const std::string& name, const std::vector<std::string>& args) {
    const auto* e = std::find_if(std::begin(kExports), std::end(kExports),
                                 [&](const NamedExport& x) { return x.name == name; });
    if (e == std::end(kExports)) Refuse(name + ": not an export");
    std::vector<tavi_word> words;
    if (std::find(std::begin(kTakeScreen), std::end(kTakeScreen), name) != std::end(kTakeScreen))
      words.push_back(screens_[current_]->record());
    std::vector<std::string> texts;  // fresh and writable for every call, as a script's are
    texts.reserve(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a.size() >= 2 && a.front() == '"' && a.back() == '"') {
        texts.push_back(a.substr(1, a.size() - 2));
        words.push_back(tavihost::Word(texts.back().data()));
      } else if (!a.empty() && (a[0] == '-' || (a[0] >= '0' && a[0] <= '9'))) {
        words.push_back(Number(args, i));
      } else {
        words.push_back(tavihost::Word(Find(a).bytes));
      }
    }
    if (words.size() > 4) Refuse(name + ": more than four words");
    words.resize(4, 0);
    return e->call(words[0], words[1], words[2], words[3]);
  }

  static int32_t Number(const std::vector<std::string>& args, size_t i) {
    int64_t value = 0;
    if (i >= args.size() || !ParseNumber(args[i], value) || value < INT32_MIN || value > INT32_MAX)
      Refuse("a script line wants a number as argument " + std::to_string(i + 1));
    return static_cast<int32_t>(value);
  }
  Variable& Define(const std::vector<std::string>& args, size_t count) {
    if (args.size() != count) Refuse("sdim or mref: wrong number of arguments");
    variables_.push_back({args[0], {}, nullptr, 0});
    return variables_.back();
  }
  Variable& Find(const std::string& name) {
    for (Variable& v : variables_) {
      if (v.name == name) return v;
    }
    Refuse(name + ": no such variable");
  }

  std::vector<std::unique_ptr<HostScreen>>& screens_;
  std::vector<Variable> variables_;
  size_t current_ = 0;
};

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
  for (const ScreenSize& s : kScreens) {
    screens.push_back(std::make_unique<HostScreen>(s.w, s.h));
    std::copy(palette.begin(), palette.end(), screens.back()->palette().begin());
  }
  std::vector<std::vector<uint8_t>> start;  // the scene's pixels, restored before every picture
  int written = 0;
  {
    const PackFolder pack(out / ".gallery-pack");
    Runner scene(screens);
    for (const char* line : kScene)
      scene.Run(line);
    for (const auto& s : screens)
      start.push_back(s->pixels());
    for (const Picture& p : Pictures()) {
      for (size_t i = 0; i < screens.size(); ++i) {
        screens[i]->pixels() = start[i];
        screens[i]->SetCursor(0, 0);
      }
      const std::vector<uint8_t> before = Take(*screens[p.before.screen], p.before);
      Runner runner(screens);
      std::vector<std::string> lines;
      for (const char* line : p.script)
        lines.push_back(line + runner.Run(line));
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
