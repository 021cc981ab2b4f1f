// tavikit encode, decode and palette: PNGs to pictures and back, and palettes as swatches.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "commands/palette_map.h"
#include "host/host_screen.h"
#include "inspect/picture_info.h"
#include "inspect/source.h"
#include "platform/file_io.h"
#include "png/png_codec.h"
#include "png/png_io.h"
#include "tavikit.h"
#include "tools/writer/formats.h"

namespace tavitool {
namespace {

namespace fs = std::filesystem;

struct EncodeSettings {
  std::optional<taviwriter::PictureKind> kind;  // nothing: the smallest
  int skip = -1;
  std::optional<PngPicture> palette;
};

// The indexed image to encode from `in`, and the skip index its transparency asks for.
IndexedImage Indexed(const std::string& in, const EncodeSettings& s, int& skip) {
  PngPicture png = ReadPng(in);
  if (s.palette) return MapToPalette(png, *s.palette, skip);
  if (!png.indexed) {
    Refuse(in + ": not an indexed-colour PNG (give --palette GAME.png to map its colours)");
  }
  const auto clear = std::find(png.opacity.begin(), png.opacity.end(), 0);
  if (skip < 0 && clear != png.opacity.end()) skip = static_cast<int>(clear - png.opacity.begin());
  return std::move(png.image);
}

std::string EncodeOne(const std::string& in, const std::string& out, const EncodeSettings& s) {
  int skip = s.skip;
  const IndexedImage image = Indexed(in, s, skip);
  if (s.kind && skip >= 0 && !taviwriter::UsesSkips(*s.kind)) {
    Refuse(in + ": transparent pixels need a kind with skip records: TK10, TK11 or auto");
  }
  const taviwriter::Pixels pixels{image.width, image.height, image.pixels};
  const auto bytes = s.kind ? taviwriter::EncodePicture(pixels, *s.kind, skip)
                            : taviwriter::EncodeSmallest(pixels, skip);
  if (!bytes) Refuse(in + ": too large for skip records (over 16 MiB of stream)");
  WriteOutput(out, *bytes);
  return out + ": " + std::string(reinterpret_cast<const char*>(bytes->data()), 4) + " " +
         std::to_string(image.width) + " x " + std::to_string(image.height) + ", " +
         Count(static_cast<int64_t>(bytes->size()), "byte", "bytes");
}

// Prints how far a batch is when more than a second of work remains.
void Progress(size_t done, size_t total, std::chrono::steady_clock::time_point start) {
  const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
  const double left = spent.count() / static_cast<double>(done) * static_cast<double>(total - done);
  if (left > 1.0)
    std::fprintf(stderr, "encoded %zu of %zu, about %.0f s left\n", done, total, left);
}

int RunEncode(const Args& a) {
  if (a.operands.empty() || !a.Has("-o")) Misuse("needs IN.png and -o OUT.tk");
  EncodeSettings s;
  s.skip = static_cast<int>(a.Number("--skip", 0, 255, -1));
  const std::string kindName = a.Get("--kind", "auto");
  s.kind = taviwriter::KindFromName(kindName);
  if (!s.kind && kindName != "auto")
    Misuse("unknown kind '" + kindName + "': TK00, TK10, TK01, TK11 or auto");
  if (a.Has("--palette")) s.palette = ReadPng(a.Get("--palette"));
  if (s.palette && !s.palette->indexed) Refuse(a.Get("--palette") + ": not an indexed-colour PNG");
  const std::string out = a.Get("-o");
  const bool toFolder = a.operands.size() > 1 || out.back() == '/' || IsFolder(out);
  if (toFolder && !IsFolder(out)) Refuse(out + ": no such folder");
  const auto start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < a.operands.size(); ++i) {
    const std::string& in = a.operands[i];
    const std::string target =
        toFolder ? TextOf(PathOf(out) / PathOf(in).filename().replace_extension(".tk")) : out;
    std::printf("%s\n", EncodeOne(in, target, s).c_str());
    if (a.operands.size() > 1) Progress(i + 1, a.operands.size(), start);
  }
  return kExitOk;
}

// The palette of a PNG next to the picture: NAME.png or palette.png, in the same pack or folder.
std::optional<IndexedImage> NeighbourPalette(const Source& src) {
  const fs::path object = PathOf(src.entry.empty() ? src.path : src.entry);
  for (const std::string& name :
       {TextOf(object.filename().replace_extension(".png")), std::string("palette.png")}) {
    std::optional<PngPicture> png;
    std::string ignored;
    Try(
        [&] {
          if (!src.InPack()) png = ReadPng(TextOf(PathOf(src.path).parent_path() / PathOf(name)));
          if (src.InPack()) {
            const Bytes bytes = EntryBytes(src, name);
            png = DecodePng(name, {bytes.begin(), bytes.end()});
          }
        },
        ignored);
    if (png && png->indexed) return png->image;
  }
  return std::nullopt;
}

// Draws the picture through the library's loaders, from the pack or the file as a script would.
IndexedImage DrawPicture(const Source& src, const PictureInfo& info, uint8_t background) {
  tavihost::HostScreen screen(info.width, info.height);
  screen.Fill(background);
  std::string packText = src.InPack() ? src.PackText() : "";
  const std::string name = src.InPack() ? src.entry : NameForLibrary(src.path);
  const auto packTextWord = reinterpret_cast<tavi_word>(packText.data());
  const auto nameWord = reinterpret_cast<tavi_word>(name.c_str());
  const int32_t rc = src.index < 0
                         ? tavi_PCP2Load(screen.record(), nameWord, 0, packTextWord)
                         : tavi_PCP2BLoad(screen.record(), nameWord,
                                          static_cast<tavi_word>(src.index), packTextWord);
  if (rc != 0) Refuse(name + ": the library returned " + std::to_string(rc));
  IndexedImage image;
  image.width = info.width;
  image.height = info.height;
  image.pixels.resize(static_cast<size_t>(info.width) * info.height);
  for (int32_t y = 0; y < info.height; ++y) {
    for (int32_t x = 0; x < info.width; ++x)
      image.at(x, y) = screen.at(x, y);
  }
  return image;
}

PictureInfo StoredPicture(const std::string& text, const Source& src) {
  const Bytes object = ObjectBytes(src);
  size_t at = 0;
  if (src.index >= 0) {
    const auto offsets = ReadArchive(object);
    if (!offsets) Refuse(text + ": not an archive (no TAvi magic)");
    if (src.index >= static_cast<int64_t>(offsets->size())) {
      Refuse(text + ": no picture " + std::to_string(src.index) + " (the archive holds " +
             Count(static_cast<int64_t>(offsets->size()), "picture)", "pictures)"));
    }
    at = (*offsets)[static_cast<size_t>(src.index)];
  }
  PictureInfo info;
  std::string error;
  if (!DescribePicture(object, at, info, error)) Refuse(text + ": " + error);
  if (!info.drawable) Refuse(text + ": " + info.problem);
  if (!info.problem.empty())
    std::fprintf(stderr, "tavikit decode: warning: %s: %s\n", text.c_str(), info.problem.c_str());
  return info;
}

int RunDecode(const Args& a) {
  if (a.operands.size() != 1 || !a.Has("-o")) Misuse("needs one IN.tk and -o OUT.png");
  const int64_t background = a.Number("--background", 0, 255, 0);
  const std::string& text = a.operands[0];
  const Source src = OpenSource(text);
  const PictureInfo info = StoredPicture(text, src);
  std::optional<IndexedImage> palette =
      a.Has("--palette") ? ReadIndexedPng(a.Get("--palette")) : NeighbourPalette(src);
  if (!palette) palette = DefaultPalette();
  const std::string paletteName = a.Get("--palette", "the palette");
  IndexedImage image = DrawPicture(src, info, static_cast<uint8_t>(background));
  const uint8_t highest = *std::max_element(image.pixels.begin(), image.pixels.end());
  if (background >= palette->paletteSize) {
    Refuse("--background " + std::to_string(background) + " is past the " +
           Count(palette->paletteSize, "colour", "colours") + " of " + paletteName);
  }
  if (highest >= palette->paletteSize) {
    Refuse(paletteName + " holds " + Count(palette->paletteSize, "colour", "colours") +
           ", but the picture uses index " + std::to_string(highest));
  }
  image.palette = palette->palette;
  image.paletteSize = palette->paletteSize;
  WriteOutput(a.Get("-o"), EncodeIndexedPng(image));
  std::printf("%s: %s %d x %d\n", a.Get("-o").c_str(), info.magic.c_str(), info.width, info.height);
  return kExitOk;
}

// A 256 x 256 picture of 16 x 16 swatches, index (row * 16 + column), with the palette.
int RunPalette(const Args& a) {
  if (a.operands.size() != 1 || !a.Has("-o")) Misuse("needs one IN.png and -o OUT.png");
  IndexedImage image = ReadIndexedPng(a.operands[0]);
  image.width = image.height = 256;
  image.pixels.assign(256 * 256, 0);
  for (int32_t y = 0; y < 256; ++y) {
    for (int32_t x = 0; x < 256; ++x) {
      const int index = y / 16 * 16 + x / 16;
      image.at(x, y) = static_cast<uint8_t>(index < image.paletteSize ? index : 0);
    }
  }
  WriteOutput(a.Get("-o"), EncodeIndexedPng(image));
  std::printf("%s: %s\n", a.Get("-o").c_str(),
              Count(image.paletteSize, "colour", "colours").c_str());
  return kExitOk;
}

constexpr Option kEncodeOptions[] = {
    {"-o", true}, {"--kind", true}, {"--skip", true}, {"--palette", true}};
constexpr Option kDecodeOptions[] = {{"-o", true}, {"--palette", true}, {"--background", true}};

}  // namespace

const Command kEncodeCommand{
    "encode", "write PNGs as compressed pictures (TK00, TK10, TK01, TK11)",
    "usage: tavikit encode IN.png... -o OUT.tk|OUTDIR/ [--kind KIND] [--skip INDEX]\n"
    "                      [--palette GAME.png]\n"
    "\n"
    "Writes indexed PNGs (bit depth 1 to 8) as compressed pictures; with several inputs or a\n"
    "folder as OUT, each IN.png becomes OUTDIR/IN.tk.\n"
    "  --kind     TK00 run records, row order     TK01 run records, column order\n"
    "             TK10 skip records, row order    TK11 skip records, column order\n"
    "             auto (default) the smallest of the kinds that draw the same picture\n"
    "  --skip     pixels of this palette index become skip records: they keep what the screen\n"
    "             holds when the picture is drawn. Without it, a transparent palette entry\n"
    "             (tRNS) or transparent pixels (alpha 0) become the skip index.\n"
    "  --palette  maps RGB, RGBA, grey or indexed art onto this PNG's palette with the colour\n"
    "             cube the library builds (tavi_AlphaInit)\n",
    kEncodeOptions, RunEncode};

const Command kDecodeCommand{
    "decode", "draw a picture with the library and write it as a PNG",
    "usage: tavikit decode IN.tk|ARCHIVE#N|PACK[,OFFSET]#NAME[#N] [--palette PAL.png]\n"
    "                      [--background INDEX] -o OUT.png\n"
    "\n"
    "Draws a picture (picture N of an archive, or an entry of a pack) with the library onto a\n"
    "screen of its size filled with the background index (default 0) and writes it as an\n"
    "8-bit indexed PNG. The palette is PAL.png's, else that of NAME.png or palette.png next to\n"
    "the picture (in its pack or folder), else a default one of plain colours.\n",
    kDecodeOptions, RunDecode};

const Command kPaletteCommand{"palette", "write a PNG's palette as a 16 x 16 swatch PNG",
                              "usage: tavikit palette IN.png -o OUT.png\n"
                              "\n"
                              "Writes the palette of an indexed PNG as 16 x 16 swatches of 16 x 16 "
                              "pixels, index\nrow * 16 + column; the result serves as --palette.\n",
                              kOutputOnly, RunPalette};

}  // namespace tavitool
