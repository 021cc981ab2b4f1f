// The tavikit tool as an artist runs it: PNGs in, pictures, archives, packs and banks out, drawn
// back through the library's exports; and every way a command can fail, as one table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "harness/temp_dir.h"
#include "host/host_screen.h"
#include "platform/file_io.h"
#include "png/png_io.h"
#include "png/png_writer.h"
#include "tavikit.h"
#include "tools/writer/wave_writer.h"

namespace {

using tavihost::HostScreen;
using tavitest::TempDir;
using tavitool::IndexedImage;
using Bytes = std::vector<uint8_t>;

struct Outcome {
  int status;
  std::string output;  // stdout and stderr
};

#ifdef _WIN32
constexpr bool kWindows = true;
const std::string kQuote = "\"";  // cmd.exe: each word in double quotes, and the line in a pair
std::string Line(const std::string& command) { return kQuote + command + kQuote; }
int ExitStatus(int status) { return status; }
#else
constexpr bool kWindows = false;
const std::string kQuote = "'";
std::string Line(const std::string& command) { return command; }
int ExitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
#endif

// Runs the tool with `args` (each passed as one word).
Outcome Tool(const TempDir& dir, const std::vector<std::string>& args) {
  std::string command = TAVIKIT_TOOL;
  for (const std::string& arg : args)
    command.append(" ").append(kQuote).append(arg).append(kQuote);
  command += " >" + kQuote + dir.Path("output.txt") + kQuote + " 2>&1";
  const int status = std::system(Line(command).c_str());
  Bytes text;
  std::string ignored;
  tavitool::ReadFile(dir.Path("output.txt"), text, ignored);
  return {ExitStatus(status), std::string(text.begin(), text.end())};
}

Bytes Read(const std::string& path) {
  Bytes bytes;
  std::string error;
  EXPECT_TRUE(tavitool::ReadFile(path, bytes, error)) << error;
  return bytes;
}

IndexedImage RandomImage(std::mt19937& rng, int32_t w, int32_t h, int colours) {
  IndexedImage image;
  image.width = w;
  image.height = h;
  for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)  // runs of 1 to 24 equal pixels
    image.pixels.insert(image.pixels.end(), 1 + rng() % 24, static_cast<uint8_t>(rng() % colours));
  image.pixels.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < image.palette.size(); ++i)
    image.palette[i] = i % 4 == 3 ? 0 : static_cast<uint8_t>(rng());  // blue, green, red, unused
  return image;
}

std::string WritePng(const TempDir& dir, const std::string& name, const IndexedImage& image) {
  std::string error;
  EXPECT_TRUE(tavitool::WriteIndexedPng(dir.Path(name), image, error)) << error;
  return dir.Path(name);
}

void Append32(Bytes& out, uint32_t v) {  // big-endian, as PNG stores numbers
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(v >> shift));
}

void AppendChunk(Bytes& png, const char* type, const Bytes& body) {
  Append32(png, static_cast<uint32_t>(body.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  uint32_t crc = 0xFFFFFFFF;  // CRC-32, reflected, polynomial 0xEDB88320
  for (const uint8_t v : typed) {
    crc ^= v;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  png.insert(png.end(), typed.begin(), typed.end());
  Append32(png, ~crc);
}

// A PNG of `stride`-byte rows from `pixels` (filter 0 added to each) in stored (uncompressed)
// deflate blocks: colour type 6 (RGBA) or 3 (indexed, with `plte`), at `depth` bits.
std::string WritePngFile(const TempDir& dir, const std::string& name, int32_t w, int32_t h,
                         uint8_t colourType, uint8_t depth, size_t stride, const Bytes& pixels,
                         const Bytes& plte = {}) {
  Bytes rows;
  for (size_t at = 0; at < pixels.size(); at += stride) {
    rows.push_back(0);  // filter type 0
    rows.insert(rows.end(), pixels.begin() + at, pixels.begin() + at + stride);
  }
  Bytes zlib = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (size_t at = 0; at < rows.size(); at += 65535) {
    const auto n = static_cast<uint16_t>(std::min<size_t>(rows.size() - at, 65535));
    zlib.insert(zlib.end(), {static_cast<uint8_t>(at + n == rows.size()), uint8_t(n),
                             uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)});
    zlib.insert(zlib.end(), rows.begin() + at, rows.begin() + at + n);
  }
  for (const uint8_t v : rows)
    a = (a + v) % 65521, b = (b + a) % 65521;
  Append32(zlib, b << 16 | a);
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  Append32(header, static_cast<uint32_t>(w));
  Append32(header, static_cast<uint32_t>(h));
  header.insert(header.end(), {depth, colourType, 0, 0, 0});
  AppendChunk(png, "IHDR", header);
  if (!plte.empty()) AppendChunk(png, "PLTE", plte);
  AppendChunk(png, "IDAT", zlib);
  AppendChunk(png, "IEND", {});
  return dir.Write(name, png);
}

// Draws the picture `name` (in `pack`, when given) onto a screen filled with `fill` through the
// exports, and returns the pixels top row first.
Bytes Draw(const std::string& name, int32_t w, int32_t h, uint8_t fill, std::string pack = "") {
  HostScreen s(w, h);
  s.Fill(fill);
  tavi_PCP2Load(s.record(), reinterpret_cast<tavi_word>(name.c_str()), 0,
                reinterpret_cast<tavi_word>(pack.data()));
  Bytes top;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x)
      top.push_back(s.at(x, y));
  }
  return top;
}

TEST(TavikitTool, EncodeInEveryKindDrawsBackEveryPixelAndAutoIsNeverLarger) {
  TempDir dir;
  std::mt19937 rng(99);
  for (int round = 0; round < 6; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 90),
                  h = 1 + static_cast<int32_t>(rng() % 90);
    const IndexedImage image = RandomImage(rng, w, h, 1 + static_cast<int>(rng() % 256));
    const std::string png = WritePng(dir, "in.png", image);
    size_t smallest = SIZE_MAX;
    for (const char* kind : {"TK00", "TK10", "TK01", "TK11", "auto"}) {
      const std::string out = dir.Path(std::string(kind) + ".tk");
      ASSERT_EQ(Tool(dir, {"encode", png, "-o", out, "--kind=" + std::string(kind)}).status, 0);
      EXPECT_EQ(Draw(out, w, h, 0), image.pixels) << kind << " round " << round;
      if (kind != std::string("auto")) smallest = std::min(smallest, Read(out).size());
    }
    EXPECT_LE(Read(dir.Path("auto.tk")).size(), smallest);
  }
}

// The tool's own PNG writer, read back by libspng: literals of both code lengths, runs up to the
// longest match, a repeated row, rows longer than the window, a short palette.
TEST(TavikitTool, StablePngsHoldTheirIndicesAndPalette) {
  std::mt19937 rng(7);
  const struct {
    int32_t w, h;
    int colours, paletteSize;
  } cases[] = {
      {1, 1, 1, 256}, {300, 3, 256, 256}, {64, 40, 3, 16}, {600, 4, 1, 2}, {33000, 2, 2, 256}};
  for (const auto& c : cases) {
    IndexedImage image = RandomImage(rng, c.w, c.h, c.colours);
    image.paletteSize = c.paletteSize;
    std::copy_n(image.pixels.begin(), c.w,
                image.pixels.end() - c.w);  // the last row repeats the first
    const auto png = tavitool::DecodePng("stable.png", tavitool::EncodeStablePng(image));
    EXPECT_EQ(png.image.pixels, image.pixels) << c.w << " x " << c.h;
    EXPECT_EQ(png.image.paletteSize, c.paletteSize);
    EXPECT_TRUE(std::equal(png.image.palette.begin(), png.image.palette.begin() + c.paletteSize * 4,
                           image.palette.begin()));
  }
}

TEST(TavikitTool, SkipIndexOrTransparentEntryLeavesThoseScreenPixels) {
  TempDir dir;
  std::mt19937 rng(3);
  const IndexedImage image = RandomImage(rng, 40, 30, 3);
  const std::string png = WritePng(dir, "in.png", image);
  Bytes want = image.pixels;
  for (auto& p : want)
    p = p == 1 ? 77 : p;
  for (const char* kind : {"TK10", "TK11", "auto"}) {
    ASSERT_EQ(
        Tool(dir, {"encode", png, "-o", dir.Path("s.tk"), "--skip", "1", "--kind", kind}).status,
        0);
    EXPECT_EQ(Draw(dir.Path("s.tk"), 40, 30, 77), want) << kind;
  }
  EXPECT_EQ(
      Tool(dir, {"encode", png, "-o", dir.Path("x.tk"), "--skip", "1", "--kind", "TK00"}).status,
      1);
  // A tRNS entry of alpha 0 at index 1 in the PNG does the same without --skip.
  Bytes file = Read(png);
  const Bytes trns = {0, 0, 0, 2, 't', 'R', 'N', 'S', 255, 0, 0xE5, 0xB7, 0x30, 0x4A};
  file.insert(file.begin() + 8 + 25 + 12 + 3 * 256, trns.begin(), trns.end());  // after PLTE
  ASSERT_EQ(Tool(dir, {"encode", dir.Write("t.png", file), "-o", dir.Path("t.tk")}).status, 0);
  EXPECT_EQ(Draw(dir.Path("t.tk"), 40, 30, 77), want);
}

// 1, 2 and 4-bit indexed PNGs: rows of packed indices, the leftmost pixel in the highest bits.
TEST(TavikitTool, LowBitDepthPngsEncodeEveryIndexAndDecodeWithTheirPalettes) {
  TempDir dir;
  std::mt19937 rng(4);
  for (const uint8_t depth : {1, 2, 4}) {
    const int32_t w = 13, h = 5, perByte = 8 / depth;
    const size_t stride = (w + perByte - 1) / perByte;
    IndexedImage image = RandomImage(rng, w, h, 1 << depth);
    image.paletteSize = 1 << depth;
    std::fill(image.palette.begin() + image.paletteSize * 4, image.palette.end(), 0);
    Bytes packed(stride * h), plte;
    for (int32_t i = 0; i < w * h; ++i) {
      packed[i / w * stride + i % w / perByte] |= image.pixels[i]
                                                  << (8 - depth - i % w % perByte * depth);
    }
    for (int i = 0; i < image.paletteSize; ++i) {  // red, green, blue
      plte.insert(plte.end(),
                  {image.palette[i * 4 + 2], image.palette[i * 4 + 1], image.palette[i * 4]});
    }
    const std::string png = WritePngFile(dir, "low.png", w, h, 3, depth, stride, packed, plte);
    ASSERT_EQ(Tool(dir, {"encode", png, "-o", dir.Path("low.tk")}).status, 0) << int{depth};
    EXPECT_EQ(Draw(dir.Path("low.tk"), w, h, 0), image.pixels) << int{depth};
    ASSERT_EQ(
        Tool(dir, {"decode", dir.Path("low.tk"), "--palette", png, "-o", dir.Path("b.png")}).status,
        0);
    const IndexedImage back = tavitool::ReadIndexedPng(dir.Path("b.png"));
    EXPECT_EQ(back.pixels, image.pixels) << int{depth};
    EXPECT_EQ(back.palette, image.palette) << int{depth};
    EXPECT_EQ(back.paletteSize, image.paletteSize) << int{depth};
  }
}

// The cube by its definition: the first palette entry nearest, by the sum of absolute
// differences, to the colour that represents the 5-bit cell of (r, g, b).
uint8_t NearestByDefinition(const IndexedImage& pal, uint8_t r, uint8_t g, uint8_t b) {
  int best = 0, bestDistance = INT32_MAX;
  for (int j = 0; j < pal.paletteSize; ++j) {
    const int d = std::abs((r >> 3) * 8 + 3 - pal.palette[j * 4 + 2]) +
                  std::abs((g >> 3) * 8 + 3 - pal.palette[j * 4 + 1]) +
                  std::abs((b >> 3) * 8 + 3 - pal.palette[j * 4]);
    if (d < bestDistance) best = j, bestDistance = d;
  }
  return static_cast<uint8_t>(best);
}

TEST(TavikitTool, RgbArtThroughAPaletteTakesTheCubesEntryForEveryPixel) {
  TempDir dir;
  std::mt19937 rng(5);
  for (const int32_t colours : {256, 7, 0}) {  // 0: indexed art, opaque, into 256 colours
    IndexedImage pal = RandomImage(rng, 1, 1, 1);
    pal.paletteSize = colours != 0 ? colours : 256;
    Bytes rgba(64 * 48 * 4);
    for (auto& v : rgba)
      v = static_cast<uint8_t>(rng());
    for (size_t i = 3; i < rgba.size(); i += 4)
      rgba[i] = 255;
    rgba[3] = colours != 0 ? 0 : 255;  // a transparent first pixel keeps the screen's 200
    std::string art = WritePngFile(dir, "art.png", 64, 48, 6, 8, 64 * 4, rgba);
    if (colours == 0) {
      const IndexedImage indexed = RandomImage(rng, 64, 48, 256);
      for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = i % 4 == 3 ? 255 : indexed.palette[indexed.pixels[i / 4] * 4 + 2 - i % 4];
      art = WritePng(dir, "indexed.png", indexed);
    }
    ASSERT_EQ(Tool(dir, {"encode", art, "--palette", WritePng(dir, "game.png", pal), "-o",
                         dir.Path("a.tk")})
                  .status,
              0);
    const Bytes drawn = Draw(dir.Path("a.tk"), 64, 48, 200);
    EXPECT_EQ(drawn[0], colours != 0 ? 200 : NearestByDefinition(pal, rgba[0], rgba[1], rgba[2]));
    for (size_t i = 1; i < drawn.size(); ++i) {
      ASSERT_EQ(drawn[i], NearestByDefinition(pal, rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]))
          << i;
    }
  }
}

TEST(TavikitTool, DecodeReadsFilesArchivesAndPackEntriesWithTheirPalettes) {
  TempDir dir;
  std::mt19937 rng(12);
  const IndexedImage image = RandomImage(rng, 33, 21, 256);
  const std::string png = WritePng(dir, "palette.png", image);
  ASSERT_EQ(Tool(dir, {"encode", png, "-o", dir.Path("pic#1.tk"), "--kind", "TK01"}).status, 0);
  ASSERT_EQ(
      Tool(dir, {"archive", dir.Path("pic#1.tk"), dir.Path("pic#1.tk"), "-o", dir.Path("set.tkx")})
          .status,
      0);
  ASSERT_EQ(Tool(dir, {"pack", dir.Path("pic#1.tk"), png, dir.Path("set.tkx"), "-o",
                       dir.Path("g.dat"), "--append-to", dir.Write("lead.exe", Bytes(300, 0xCC))})
                .status,
            0);
  for (const std::string& in : {dir.Path("pic#1.tk"), dir.Path("set.tkx#1"),
                                dir.Path("g.dat,300#pic#1.tk"), dir.Path("g.dat#set.tkx#0")}) {
    ASSERT_EQ(Tool(dir, {"decode", "-o", dir.Path("out.png"), "--", in}).status, 0) << in;
    const IndexedImage back = tavitool::ReadIndexedPng(dir.Path("out.png"));
    EXPECT_EQ(back.pixels, image.pixels) << in;
    EXPECT_EQ(back.palette, image.palette) << in;  // palette.png beside it (or in the pack)
  }
  std::filesystem::create_directory(dir.Path("batch"));
  ASSERT_EQ(
      Tool(dir, {"encode", png, WritePng(dir, "b.png", image), "-o", dir.Path("batch")}).status, 0);
  for (const char* out : {"batch/palette.tk", "batch/b.tk"})
    EXPECT_EQ(Draw(dir.Path(out), 33, 21, 0), image.pixels) << out;
}

// Inputs that commands must refuse, written into `dir` beside a good PNG (in.png) and the picture
// encoded from it (a.tk): a palette of 200 colours (few.png), a PNG cut short, a JPEG, a PNG whose
// header promises 65535 x 65535, an empty file and a folder called folder.png.
void WriteBrokenInputs(const TempDir& dir, std::mt19937& rng) {
  IndexedImage image = RandomImage(rng, 16, 16, 256);
  const std::string png = WritePng(dir, "in.png", image);
  image.paletteSize = 200;  // only its palette counts: indices past it are no PNG to write
  image.pixels.assign(image.pixels.size(), 0);
  WritePng(dir, "few.png", image);
  ASSERT_EQ(Tool(dir, {"encode", png, "-o", dir.Path("a.tk")}).status, 0);
  const Bytes pngBytes = Read(png);
  dir.Write("cut.png", Bytes(pngBytes.begin(), pngBytes.end() - 40));
  dir.Write("photo.png", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0});
  Bytes bomb(pngBytes.begin(), pngBytes.begin() + 33);
  for (size_t at : {16u, 20u})  // width and height, big-endian: 65535 x 65535
    bomb[at] = bomb[at + 1] = 0, bomb[at + 2] = bomb[at + 3] = 0xFF;
  dir.Write("big.png", bomb);
  dir.Write("empty.png", {});
  std::filesystem::create_directory(dir.Path("folder.png"));
}

struct FailureCase {
  std::vector<std::string> args;
  const char* message;
  int status;
};

// Every way a command fails on the inputs of WriteBrokenInputs, each with a part of its message
// and its exit status, writing to `old` where it writes at all.
std::vector<FailureCase> FailureCases(const TempDir& dir, const std::string& old) {
  const std::string png = dir.Path("in.png"), few = dir.Path("few.png");
  const Bytes tk = Read(dir.Path("a.tk"));
  std::vector<FailureCase> cases = {
      {{"encode", png, "-o", dir.Path("no/x.tk")}, "cannot create a file in", 1},
      {{"encode", png, "-o", dir.Path("in.png/x.tk")}, "(Not a directory)", 1},
      {{"encode", dir.Path("folder.png"), "-o", old}, "folder.png: is a directory, not a file", 1},
      {{"encode", dir.Path("empty.png"), "-o", old}, "empty.png: is empty", 1},
      {{"encode", dir.Path("cut.png"), "-o", old}, "cut.png: truncated PNG", 1},
      {{"encode", dir.Path("photo.png"), "-o", old},
       "photo.png: not a PNG file (starts with JPEG bytes)",
       1},
      {{"encode", dir.Path("big.png"), "-o", old},
       "big.png: 65535 x 65535 is larger than the 2^28 pixels a picture may hold",
       1},
      {{"decode", dir.Path("a.tk"), "--palette", few, "-o", old},
       "holds 200 colours, but the picture uses index",
       1},
      {{"decode", dir.Path("a.tk"), "--palette", few, "--background=250", "-o", old},
       "--background 250 is past the 200 colours",
       1},
      {{"decode", dir.Path("a.tk#2"), "-o", old}, "not an archive", 1},
      {{"decode", dir.Path("a.tk"), "-o", old, "--background", "256"},
       "--background wants a number from 0 to 255",
       2},
      {{"encode", png, "-o", old, "--bogus"}, "unknown option '--bogus'", 2},
      {{"encode", png}, "needs IN.png and -o OUT.tk", 2},
      {{"frobnicate"}, "unknown command 'frobnicate'", 2},
      {{"scramble", png, "-o", old}, "not a wave", 1},
      {{"list", dir.Path("in.png")}, "neither a pack", 1},
      {{"info", dir.Write("cut.tk", Bytes(tk.begin(), tk.begin() + 30))}, ", the file holds 30", 1},
      {{"pack", png, png, "-o", old}, "name 'in.png' is already taken by", 1},
  };
  if (!kWindows) {
    cases.push_back({{"encode", png, "-o", "/dev/full"},
                     "/dev/full: cannot write (No space left on device)",
                     1});
  }
  return cases;
}

// Every failure: the message, the exit status, and the old output left as it was.
TEST(TavikitTool, EveryFailureSaysWhyAndLeavesTheOldOutput) {
  TempDir dir;
  std::mt19937 rng(8);
  WriteBrokenInputs(dir, rng);
  const std::string small = dir.Path("small");  // a 16 KiB disk, where the test may mount one
  std::filesystem::create_directory(small);
  const bool mounted =
      !kWindows && std::system(("mount -t tmpfs -o size=16k tmpfs " + small).c_str()) == 0;
  const std::string old = dir.Write("small/old.tk", {1, 2, 3});
  std::vector<FailureCase> cases = FailureCases(dir, old);
  if (mounted) {
    cases.push_back(
        {{"encode", WritePng(dir, "large.png", RandomImage(rng, 200, 200, 256)), "-o", old},
         "old.tk: cannot write (No space left on device)",
         1});
  }
  for (const FailureCase& c : cases) {
    std::string command;
    for (const std::string& a : c.args)
      command += a + " ";
    const Outcome run = Tool(dir, c.args);
    EXPECT_EQ(run.status, c.status) << command << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << command << run.output;
    EXPECT_EQ(Read(old), Bytes({1, 2, 3})) << command;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path("no")));
  for (const auto& left : std::filesystem::recursive_directory_iterator(dir.Path("")))
    EXPECT_EQ(left.path().string().find(".tavikit-"), std::string::npos) << left.path();
  if (mounted) {
    EXPECT_EQ(std::system(("umount " + small).c_str()), 0);
  }
  EXPECT_EQ(std::filesystem::directory_iterator(dir.Path("folder.png")),
            std::filesystem::directory_iterator());
}

TEST(TavikitTool, PacksTakeAnyFileKeepTheHostsModeAndListAndExtractWithoutAnOffset) {
  TempDir dir;
  const Bytes plain = taviwriter::WaveImage(1, 22050, 8, Bytes(11025, 0x80));  // half a second
  const std::string wave = dir.Write("Beep.WAV", plain);
  const auto modeOf = [](const std::string& path, struct stat st = {}) {
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 1u;
  };
  const mode_t mask = umask(0);
  umask(mask);
  chmod(dir.Write("back.wav", {}).c_str(), 0604);  // a file replaced keeps its mode
  for (const char* mode : {"TAVI", "tavi", "plain"}) {
    ASSERT_EQ(Tool(dir, {"scramble", wave, "-o", dir.Path(mode), "--mode", mode}).status, 0);
    EXPECT_EQ(Read(dir.Path(mode)).size(), plain.size() + (mode[0] == 'p' ? 0 : 4)) << mode;
    ASSERT_EQ(
        Tool(dir, {"scramble", dir.Path(mode), "-o", dir.Path("back.wav"), "--mode=plain"}).status,
        0);
    EXPECT_EQ(Read(dir.Path("back.wav")), plain) << mode;
  }
  if (!kWindows) {
    EXPECT_EQ(modeOf(dir.Path("back.wav")) * 010000 + modeOf(dir.Path("tavi")),
              0604u * 010000 + (0666 & ~mask));  // a new one has what the mask leaves
  }
  ASSERT_EQ(Tool(dir, {"bank", wave, dir.Path("tavi"), "-o", dir.Path("set.bank")}).status, 0);
  const Outcome bank = Tool(dir, {"list", "--json", dir.Path("set.bank")});
  EXPECT_NE(bank.output.find("\"index\": 1, \"offset\": 11090, \"size\": 11074"), std::string::npos)
      << bank.output;
  EXPECT_NE(bank.output.find("\"rate\": 22050, \"seconds\": 0.500"), std::string::npos)
      << bank.output;
  const std::string host = dir.Write("game.exe", Bytes(300, 0xCC));
  chmod(host.c_str(), kWindows ? 0600 : 0751);  // Windows keeps no permission bits
  ASSERT_EQ(Tool(dir, {"pack", wave, dir.Path("set.bank"), "-o", host, "--append-to", host}).status,
            0);
  if (!kWindows) {  // Windows keeps no permission bits
    EXPECT_EQ(modeOf(host), 0751u);
  }
  const Outcome list = Tool(dir, {"list", host});
  EXPECT_NE(list.output.find("DPMX pack at 300, 2 entries"), std::string::npos) << list.output;
  EXPECT_NE(list.output.find("sound bank of 2 waves"), std::string::npos) << list.output;
  std::filesystem::create_directory(dir.Path("out"));
  ASSERT_EQ(Tool(dir, {"extract", host, "-o", dir.Path("out")}).status, 0);
  EXPECT_EQ(Read(dir.Path("out/beep.wav")), plain);
  EXPECT_EQ(Read(dir.Path("out/set.bank")), Read(dir.Path("set.bank")));
  EXPECT_EQ(Tool(dir, {"info", host, dir.Path("set.bank")}).status, 0);
  Bytes cut = Read(dir.Path("set.bank"));
  cut.resize(cut.size() - 1);
  const Outcome info = Tool(dir, {"info", "--json", dir.Write("cut.bank", cut)});
  EXPECT_EQ(info.status, 1);
  EXPECT_NE(info.output.find("\"problem\": \"wave 1: entry reaches past the end of the bank\""),
            std::string::npos)
      << info.output;
  EXPECT_EQ(Tool(dir, {"--version"}).output, "tavikit " TAVIKIT_VERSION "\n");
}

}  // namespace
