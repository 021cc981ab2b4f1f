// tavikit encode and tavikit decode: indexed PNGs to pictures and back.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "file_io.h"
#include "host/host_screen.h"
#include "indexed_image.h"
#include "picture_info.h"
#include "tavikit.h"
#include "tools/writer/formats.h"

namespace tavitool {
namespace {

using taviwriter::PictureKind;

constexpr const char* kEncodeHelp =
    "usage: tavikit encode IN.png -o OUT.tk [--kind TK00|TK10|TK01|TK11|auto] [--skip INDEX]\n"
    "\n"
    "Writes an indexed PNG (bit depth 1 to 8) as a compressed picture.\n"
    "  --kind   TK00 run records, row order     TK01 run records, column order\n"
    "           TK10 skip records, row order    TK11 skip records, column order\n"
    "           auto (default) the smallest of the kinds that draw the same picture\n"
    "  --skip   pixels of this palette index become skip records: they keep what the screen\n"
    "           holds when the picture is drawn (kinds TK10, TK11 and auto)\n";

constexpr const char* kDecodeHelp =
    "usage: tavikit decode IN.tk|ARCHIVE.tkx#N [--palette PAL.png] [--background INDEX] -o "
    "OUT.png\n"
    "\n"
    "Draws a picture (or picture N of an archive) with the library onto a screen of its size\n"
    "filled with the background index (default 0) and writes it as an 8-bit indexed PNG with\n"
    "the palette of PAL.png (default: a grey ramp).\n";

}  // namespace

int RunEncode(int argc, char** argv) {
  if (WantsHelp(argc, argv)) {
    std::printf("%s", kEncodeHelp);
    return 0;
  }
  std::string in, out, kindName = "auto";
  long long skip = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "-o" || arg == "--kind" || arg == "--skip") && i + 1 >= argc) {
      return Fail("encode", arg + " needs a value");
    }
    if (arg == "-o") {
      out = argv[++i];
    } else if (arg == "--kind") {
      kindName = argv[++i];
    } else if (arg == "--skip") {
      if (!ParseInt(argv[++i], skip) || skip < 0 || skip > 255) {
        return Fail("encode",
                    std::string("--skip wants a palette index 0 to 255, not '") + argv[i] + "'");
      }
    } else if (in.empty() && arg[0] != '-') {
      in = arg;
    } else {
      return Fail("encode", "unexpected argument '" + arg + "' (see --help)");
    }
  }
  if (in.empty() || out.empty()) return Fail("encode", "needs IN.png and -o OUT.tk (see --help)");
  const auto kind = taviwriter::KindFromName(kindName);
  if (!kind && kindName != "auto") {
    return Fail("encode", "unknown kind '" + kindName + "': TK00, TK10, TK01, TK11 or auto");
  }
  if (kind && skip >= 0 && !taviwriter::UsesSkips(*kind)) {
    return Fail("encode", "--skip needs a kind with skip records: TK10, TK11 or auto");
  }

  IndexedImage image;
  std::string error;
  if (!ReadIndexedPng(in, image, error)) return Fail("encode", error);
  const taviwriter::Pixels pixels{image.width, image.height, image.pixels};
  const int skipIndex = static_cast<int>(skip);
  auto bytes = kind ? taviwriter::EncodePicture(pixels, *kind, skipIndex)
                    : taviwriter::EncodeSmallest(pixels, skipIndex);
  if (!bytes) return Fail("encode", in + ": too large for skip records (over 16 MiB of stream)");
  if (!WriteFile(out, *bytes, error)) return Fail("encode", error);
  std::printf("%s: %.4s %d x %d, %zu bytes\n", out.c_str(),
              reinterpret_cast<const char*>(bytes->data()), image.width, image.height,
              bytes->size());
  return 0;
}

int RunDecode(int argc, char** argv) {
  if (WantsHelp(argc, argv)) {
    std::printf("%s", kDecodeHelp);
    return 0;
  }
  std::string in, out, palettePath;
  long long background = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "-o" || arg == "--palette" || arg == "--background") && i + 1 >= argc) {
      return Fail("decode", arg + " needs a value");
    }
    if (arg == "-o") {
      out = argv[++i];
    } else if (arg == "--palette") {
      palettePath = argv[++i];
    } else if (arg == "--background") {
      if (!ParseInt(argv[++i], background) || background < 0 || background > 255) {
        return Fail("decode",
                    std::string("--background wants an index 0 to 255, not '") + argv[i] + "'");
      }
    } else if (in.empty() && arg[0] != '-') {
      in = arg;
    } else {
      return Fail("decode", "unexpected argument '" + arg + "' (see --help)");
    }
  }
  if (in.empty() || out.empty()) return Fail("decode", "needs IN.tk and -o OUT.png (see --help)");

  // "archive.tkx#3" names picture 3 of an archive.
  std::string path = in;
  long long index = -1;
  if (const size_t hash = in.rfind('#'); hash != std::string::npos) {
    if (!ParseInt(in.substr(hash + 1), index) || index < 0 || index > INT32_MAX) {
      return Fail("decode", "'" + in + "': the picture number after '#' must be 0 or more");
    }
    path = in.substr(0, hash);
  }
  std::vector<uint8_t> file;
  std::string error;
  if (!ReadFile(path, file, error)) return Fail("decode", error);
  PictureInfo info;
  if (!DescribeStoredPicture(file, index, info, error)) return Fail("decode", path + ": " + error);
  if (!info.drawable) return Fail("decode", in + ": kind " + info.magic + " is not drawn");

  IndexedImage image;
  if (!palettePath.empty()) {
    IndexedImage palette;
    if (!ReadIndexedPng(palettePath, palette, error)) return Fail("decode", error);
    image.palette = palette.palette;
    image.paletteSize = palette.paletteSize;
  } else {
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < 3; ++c)
        image.palette[i * 4 + c] = static_cast<uint8_t>(i);
    }
  }
  tavihost::HostScreen screen(info.width, info.height);
  screen.Fill(static_cast<uint8_t>(background));
  char noPack[] = "";
  const auto name = reinterpret_cast<tavi_word>(path.c_str());
  const int32_t rc =
      index < 0 ? tavi_PCP2Load(screen.record(), name, 0, reinterpret_cast<tavi_word>(noPack))
                : tavi_PCP2BLoad(screen.record(), name, static_cast<tavi_word>(index),
                                 reinterpret_cast<tavi_word>(noPack));
  if (rc != 0) return Fail("decode", in + ": the library returned " + std::to_string(rc));
  image.width = info.width;
  image.height = info.height;
  image.pixels.resize(static_cast<size_t>(info.width) * info.height);
  for (int32_t y = 0; y < info.height; ++y) {
    for (int32_t x = 0; x < info.width; ++x)
      image.at(x, y) = screen.at(x, y);
  }
  if (!WriteIndexedPng(out, image, error)) return Fail("decode", error);
  std::printf("%s: %s %d x %d\n", out.c_str(), info.magic.c_str(), info.width, info.height);
  return 0;
}

}  // namespace tavitool
