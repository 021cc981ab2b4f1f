// The tavikit tool as an artist runs it: PNGs in, pictures, archives and packs out, drawn back
// through the library's exports.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "harness/temp_dir.h"
#include "host/host_screen.h"
#include "tavikit.h"
#include "tavikit/file_io.h"
#include "tavikit/indexed_image.h"
#include "tools/writer/formats.h"

namespace {

using tavihost::HostScreen;
using tavitest::TempDir;
using tavitool::IndexedImage;

// Runs the tool with `args` (each passed as one word); returns its exit status.
int Tool(std::initializer_list<std::string> args) {
  std::string command = TAVIKIT_TOOL;
  for (const std::string& arg : args) {
    command += " '";
    command += arg;
    command += "'";
  }
  command += " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

IndexedImage RandomImage(std::mt19937& rng, int32_t w, int32_t h, int colours) {
  IndexedImage image;
  image.width = w;
  image.height = h;
  image.pixels = taviwriter::RandomRuns(rng, static_cast<size_t>(w) * h, colours, 25);
  for (size_t i = 0; i < image.palette.size(); ++i)
    image.palette[i] = i % 4 == 3 ? 0 : static_cast<uint8_t>(rng());  // blue, green, red, unused
  return image;
}

// Draws the picture file onto a screen of the image's size filled with `fill`, through the
// exports, and returns the pixels top row first.
std::vector<uint8_t> Draw(const std::string& path, int32_t w, int32_t h, uint8_t fill) {
  HostScreen s(w, h);
  s.Fill(fill);
  char noPack[] = "";
  tavi_PCP2Load(s.record(), reinterpret_cast<tavi_word>(path.c_str()), 0,
                reinterpret_cast<tavi_word>(noPack));
  std::vector<uint8_t> top;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x)
      top.push_back(s.at(x, y));
  }
  return top;
}

size_t FileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return static_cast<size_t>(in.tellg());
}

TEST(TavikitTool, EncodeInEveryKindDrawsBackEveryPixelAndAutoIsNeverLarger) {
  TempDir dir;
  std::mt19937 rng(99);
  for (int round = 0; round < 6; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 90);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 90);
    const IndexedImage image = RandomImage(rng, w, h, 1 + static_cast<int>(rng() % 256));
    std::string error;
    const std::string png = dir.Path("in.png");
    ASSERT_TRUE(WriteIndexedPng(png, image, error)) << error;
    size_t smallest = SIZE_MAX;
    for (const char* kind : {"TK00", "TK10", "TK01", "TK11"}) {
      const std::string out = dir.Path(std::string(kind) + ".tk");
      ASSERT_EQ(Tool({"encode", png, "-o", out, "--kind", kind}), 0);
      EXPECT_EQ(Draw(out, w, h, 0), image.pixels) << kind << " round " << round;
      smallest = std::min(smallest, FileSize(out));
    }
    const std::string autoOut = dir.Path("auto.tk");
    ASSERT_EQ(Tool({"encode", png, "-o", autoOut}), 0);
    EXPECT_EQ(Draw(autoOut, w, h, 0), image.pixels);
    EXPECT_LE(FileSize(autoOut), smallest);
  }
}

TEST(TavikitTool, SkipIndexLeavesThoseScreenPixelsAndAutoStaysWithSkipKinds) {
  TempDir dir;
  std::mt19937 rng(3);
  const IndexedImage image = RandomImage(rng, 40, 30, 3);
  std::string error;
  const std::string png = dir.Path("in.png");
  ASSERT_TRUE(WriteIndexedPng(png, image, error)) << error;
  for (const char* kind : {"TK10", "TK11", "auto"}) {
    const std::string out = dir.Path("skip.tk");
    ASSERT_EQ(Tool({"encode", png, "-o", out, "--skip", "1", "--kind", kind}), 0);
    std::vector<uint8_t> want = image.pixels;
    for (auto& p : want)
      p = p == 1 ? 77 : p;
    EXPECT_EQ(Draw(out, 40, 30, 77), want) << kind;
  }
  EXPECT_NE(Tool({"encode", png, "-o", dir.Path("x.tk"), "--skip", "1", "--kind", "TK00"}), 0);
  EXPECT_NE(Tool({"encode", png, "-o", dir.Path("x.tk"), "--skip", "256"}), 0);
}

TEST(TavikitTool, DecodeWritesThePictureWithAnotherPngsPalette) {
  TempDir dir;
  std::mt19937 rng(12);
  const IndexedImage image = RandomImage(rng, 33, 21, 256);
  std::string error;
  ASSERT_TRUE(WriteIndexedPng(dir.Path("in.png"), image, error)) << error;
  ASSERT_EQ(Tool({"encode", dir.Path("in.png"), "-o", dir.Path("a.tk"), "--kind", "TK01"}), 0);
  ASSERT_EQ(Tool({"encode", dir.Path("in.png"), "-o", dir.Path("b.tk"), "--kind", "TK10"}), 0);
  ASSERT_EQ(Tool({"archive", dir.Path("a.tk"), dir.Path("b.tk"), "-o", dir.Path("set.tkx")}), 0);
  for (const std::string& in : {dir.Path("a.tk"), dir.Path("set.tkx") + "#1"}) {
    ASSERT_EQ(Tool({"decode", in, "--palette", dir.Path("in.png"), "-o", dir.Path("out.png")}), 0);
    IndexedImage back;
    ASSERT_TRUE(ReadIndexedPng(dir.Path("out.png"), back, error)) << error;
    EXPECT_EQ(back.pixels, image.pixels) << in;
    EXPECT_EQ(back.palette, image.palette) << in;
  }
  EXPECT_NE(Tool({"decode", dir.Path("set.tkx#2"), "-o", dir.Path("out.png")}), 0);
  EXPECT_NE(Tool({"decode", dir.Path("in.png"), "-o", dir.Path("out.png")}), 0);
}

TEST(TavikitTool, PackRefusesLongAndCollidingNamesAndAppendsAfterAFile) {
  TempDir dir;
  std::string error;
  ASSERT_TRUE(tavitool::WriteFile(dir.Path("Title.BIN"), {1, 2, 3}, error));
  ASSERT_TRUE(tavitool::WriteFile(dir.Path("title.bin"), {4, 5, 6}, error));
  ASSERT_TRUE(tavitool::WriteFile(dir.Path("a-name-of-twenty-four-by"), {7}, error));
  ASSERT_TRUE(tavitool::WriteFile(dir.Path("twenty-three-bytes-name"), {8, 9}, error));
  ASSERT_TRUE(tavitool::WriteFile(dir.Path("lead.exe"), std::vector<uint8_t>(300, 0xCC), error));
  EXPECT_NE(Tool({"pack", dir.Path("Title.BIN"), dir.Path("title.bin"), "-o", dir.Path("p.dpm")}),
            0);
  EXPECT_NE(Tool({"pack", dir.Path("a-name-of-twenty-four-by"), "-o", dir.Path("p.dpm")}), 0);
  ASSERT_EQ(Tool({"pack", dir.Path("Title.BIN"), dir.Path("twenty-three-bytes-name"), "-o",
                  dir.Path("p.dpm"), "--append-to", dir.Path("lead.exe")}),
            0);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(tavitool::ReadFile(dir.Path("p.dpm"), bytes, error));
  const auto want =
      taviwriter::BuildPack({{"title.bin", {1, 2, 3}}, {"twenty-three-bytes-name", {8, 9}}});
  ASSERT_EQ(bytes.size(), 300 + want.size());
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 300),
            std::vector<uint8_t>(300, 0xCC));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 300, bytes.end()), want);
  EXPECT_EQ(Tool({"list", dir.Path("p.dpm,300")}), 0);
  EXPECT_NE(Tool({"list", dir.Path("lead.exe")}), 0);
}

TEST(TavikitTool, EveryCommandHasHelpAndBadInputFailsWithAStatus) {
  for (const char* command : {"encode", "decode", "archive", "pack", "list", "demo"})
    EXPECT_EQ(Tool({command, "--help"}), 0) << command;
  EXPECT_NE(Tool({"encode", "/nonexistent.png", "-o", "/tmp/x.tk"}), 0);
  EXPECT_NE(Tool({"encode"}), 0);
  EXPECT_NE(Tool({"archive", "/nonexistent.tk", "-o", "/tmp/x.tkx"}), 0);
  EXPECT_NE(Tool({"frobnicate"}), 0);
}

}  // namespace
