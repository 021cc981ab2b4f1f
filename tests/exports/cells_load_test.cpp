// Loading cells from pictures and archive pictures over a background cell, through the exports.
// Files are written with the library's own writers into a scratch directory.
#include <random>
#include <string>
#include <vector>

#include "harness/fixture.h"
#include "harness/temp_dir.h"
#include "tools/writer/formats.h"

namespace tavitest {
namespace {

using taviwriter::PictureKind;

std::vector<uint8_t> RandomImage(std::mt19937& rng, int32_t w, int32_t h, int colours) {
  return taviwriter::RandomRuns(rng, static_cast<size_t>(w) * h, colours, 12);
}

std::vector<uint8_t> Encode(const std::vector<uint8_t>& image, int32_t w, int32_t h,
                            PictureKind kind, int skip = -1) {
  return *taviwriter::EncodePicture({w, h, image}, kind, skip);
}

class CellLoad : public ExportTest {
 protected:
  void TearDown() override { lib().chibi_AllFree(0, 0, 0, 0); }

  int32_t LoadTK(int n, const std::string& path, int background) {
    return lib().chibi_LoadTK(n, Word(path.c_str()), background, 0);
  }
  int32_t LoadTKX(int n, const std::string& path, int index, int background) {
    return lib().chibi_LoadTKX(n, Word(path.c_str()), index, background);
  }
  int32_t Info(int n, int item) { return lib().chibi_GetInfo(n, item, 0, 0); }

  // Cell n as top-down pixels: compressed, then drawn (every pixel) on a screen of its size.
  std::vector<uint8_t> CellPixels(int n) {
    const int w = -Info(n, 1), h = -Info(n, 2);
    lib().chibi_Compress(n, 0, 0, 0);
    HostScreen screen(w, h);
    screen.Fill(0xEE);
    screen.SetCursor(0, 0);
    lib().chibi_Put(screen.record(), n, 1, 0);
    std::vector<uint8_t> top;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        top.push_back(screen.at(x, y));
    }
    return top;
  }

  // Captures the whole of `art` into cell n.
  void Capture(int n, HostScreen& art) {
    art.SetCursor(0, 0);
    lib().chibi_Get(art.record(), n, art.width(), art.height());
  }

  // A plain background cell of w x h pixels, all `value`.
  void MakeBackground(int n, int w, int h, uint8_t value) {
    HostScreen screen(w, h);
    screen.Fill(value);
    Capture(n, screen);
  }

  TempDir dir;
};

TEST_F(CellLoad, SkippedPixelsShowTheBackgroundCell) {
  std::mt19937 rng(3);
  for (PictureKind kind : {PictureKind::kTK10, PictureKind::kTK11}) {
    const auto image = RandomImage(rng, 16, 8, 4);  // index 0 becomes skip records
    const std::string path = dir.Write("s.tk", Encode(image, 16, 8, kind, 0));
    MakeBackground(9, 16, 8, 5);
    EXPECT_EQ(LoadTK(4, path, 9), 0);
    const auto pixels = CellPixels(4);
    for (size_t i = 0; i < image.size(); ++i)
      ASSERT_EQ(pixels[i], image[i] == 0 ? 5 : image[i]) << taviwriter::KindName(kind) << " " << i;
  }
}

TEST_F(CellLoad, PixelsThatNothingSetsAreZero) {
  std::mt19937 rng(4);
  const auto image = RandomImage(rng, 12, 6, 3);
  const std::string path = dir.Write("s.tk", Encode(image, 12, 6, PictureKind::kTK10, 0));
  MakeBackground(10, 16, 6, 5);  // wider than the picture: not used
  MakeBackground(21, 12, 7, 5);  // taller: not used either
  for (int background : {10, 21, 11 /* empty */, -1, 2048}) {
    EXPECT_EQ(LoadTK(5, path, background), 0);
    const auto pixels = CellPixels(5);
    for (size_t i = 0; i < image.size(); ++i)
      ASSERT_EQ(pixels[i], image[i]) << background << " " << i;
  }
}

TEST_F(CellLoad, RunLengthBackgroundLandsAtTheTopLeft) {
  std::mt19937 rng(5);
  HostScreen art(8, 4);
  art.FillRandom(6);
  Capture(12, art);
  ASSERT_LT(lib().chibi_Compress(12, 0, 0, 0), 0);
  const std::vector<uint8_t> blank(14 * 7, 0);  // all skips
  const std::string path = dir.Write("b.tk", Encode(blank, 14, 7, PictureKind::kTK11, 0));
  EXPECT_EQ(LoadTK(6, path, 12), 0);
  const auto pixels = CellPixels(6);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 14; ++x)
      ASSERT_EQ(pixels[y * 14 + x], x < 8 && y < 4 ? art.at(x, y) : 0) << x << "," << y;
  }
}

TEST_F(CellLoad, PlainBackgroundOfAnotherWidthKeepsItsByteOrderOnly) {
  // Background 8 x 3 (24 bytes), cell 10 x 4 (40 bytes): the 24 bytes go to the cell's first 24
  // bytes, which are its bottom rows stored bottom-up.
  HostScreen art(8, 3);
  art.FillRandom(7);
  Capture(13, art);
  std::vector<uint8_t> stored;  // the background's bytes as stored: bottom row first
  for (int y = 2; y >= 0; --y) {
    for (int x = 0; x < 8; ++x)
      stored.push_back(art.at(x, y));
  }
  const std::string path =
      dir.Write("c.tk", Encode(std::vector<uint8_t>(40, 0), 10, 4, PictureKind::kTK10, 0));
  EXPECT_EQ(LoadTK(7, path, 13), 0);
  const auto pixels = CellPixels(7);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 10; ++x) {
      const size_t at = static_cast<size_t>(3 - y) * 10 + x;  // byte position in the cell
      ASSERT_EQ(pixels[y * 10 + x], at < stored.size() ? stored[at] : 0) << x << "," << y;
    }
  }
}

TEST_F(CellLoad, OddWidthsLoadUnroundedAndDrawByTheirRules) {
  std::mt19937 rng(8);
  const auto image = RandomImage(rng, 30, 5, 4);
  const std::string path = dir.Write("w.tk", Encode(image, 30, 5, PictureKind::kTK01));
  EXPECT_EQ(LoadTK(8, path, -1), 0);
  EXPECT_EQ(Info(8, 1), -30);
  // Opaque at a cursor x other than 0: whole 4-pixel groups of each row, 28 columns.
  HostScreen opaque(40, 8);
  opaque.Fill(0xEE);
  opaque.SetCursor(3, 1);
  lib().chibi_Put(opaque.record(), 8, 0, 0);
  // Transparent: all 30 columns, index 0 left out.
  HostScreen transparent(40, 8);
  transparent.Fill(0xEE);
  transparent.SetCursor(3, 1);
  lib().chibi_Put(transparent.record(), 8, 1, 0);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 30; ++x) {
      const uint8_t v = image[y * 30 + x];
      ASSERT_EQ(opaque.at(3 + x, 1 + y), x < 28 ? v : 0xEE) << x << "," << y;
      ASSERT_EQ(transparent.at(3 + x, 1 + y), v != 0 ? v : 0xEE) << x << "," << y;
    }
  }
  EXPECT_EQ(CellPixels(8), image);  // compressed: exactly its 30 x 5 pixels
}

TEST_F(CellLoad, RefusalsLeaveTheCellAsItWas) {
  MakeBackground(14, 8, 2, 9);
  const std::string notPicture = dir.Write("n.tk", {'T', 'K', 'A', 'A', 1, 2, 3, 4});
  const std::string picture =
      dir.Write("p.tk", Encode(std::vector<uint8_t>(4, 1), 2, 2, PictureKind::kTK00));
  EXPECT_EQ(LoadTK(14, notPicture, -1), 0);
  EXPECT_EQ(LoadTK(14, dir.Path("missing.tk"), -1), 0);
  EXPECT_EQ(LoadTK(2048, picture, -1), 0);
  EXPECT_EQ(LoadTK(-1, picture, -1), 0);
  EXPECT_EQ(Info(14, 1), -8);
  EXPECT_EQ(CellPixels(14), std::vector<uint8_t>(16, 9));
}

TEST_F(CellLoad, ArchiveIndexesOutsideTheCountAreRefused) {
  std::mt19937 rng(9);
  std::vector<std::vector<uint8_t>> pictures, images;
  for (int i = 0; i < 3; ++i) {
    images.push_back(RandomImage(rng, 6 + i, 3, 5));
    pictures.push_back(Encode(images.back(), 6 + i, 3, PictureKind::kTK00));
  }
  const std::string path = dir.Write("set.tkx", taviwriter::BuildArchive(pictures));
  MakeBackground(15, 4, 1, 3);
  for (int index : {-1, 3, 100}) {
    EXPECT_EQ(LoadTKX(15, path, index, -1), -1) << index;
    EXPECT_EQ(Info(15, 1), -4) << index;
  }
  EXPECT_EQ(LoadTKX(2048, path, 0, -1), 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(LoadTKX(16, path, i, -1), 0);
    EXPECT_EQ(Info(16, 1), -(6 + i));
    EXPECT_EQ(CellPixels(16), images[static_cast<size_t>(i)]);
  }
  const std::string plain = dir.Write("p.tk", pictures[0]);  // a picture is not an archive
  EXPECT_EQ(LoadTKX(15, plain, 0, -1), 0);
  EXPECT_EQ(Info(15, 1), -4);
}

}  // namespace
}  // namespace tavitest
