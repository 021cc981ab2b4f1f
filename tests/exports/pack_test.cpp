// Packs, pictures, archives, the row XOR and the buffer scramble, through the exports. Files are
// written with the library's own writers into a scratch directory.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "harness/fixture.h"
#include "harness/pictures.h"
#include "harness/temp_dir.h"
#include "tools/writer/formats.h"

namespace tavitest {
namespace {

// A screen that held `before` with the picture drawn at (cx, cy), `skip` pixels left out.
std::vector<uint8_t> Expected(const HostScreen& before, const std::vector<uint8_t>& image,
                              int32_t w, int32_t h, int32_t cx, int32_t cy, int skip = -1) {
  std::vector<uint8_t> top(static_cast<size_t>(before.width()) * before.height());
  for (int32_t y = 0; y < before.height(); ++y) {
    for (int32_t x = 0; x < before.width(); ++x) {
      const int32_t px = x - cx, py = y - cy;
      uint8_t v = before.at(x, y);
      if (px >= 0 && py >= 0 && px < w && py < h && image[py * w + px] != skip)
        v = image[py * w + px];
      top[static_cast<size_t>(y) * before.width() + x] = v;
    }
  }
  return top;
}

class PackPictures : public ExportTest {
 protected:
  // Loads the picture file with an empty pack text, as a script that keeps its files on disk.
  int32_t Load(const HostScreen& s, const std::string& path) {
    char noPack[] = "";
    return lib().tavi_PCP2Load(s.record(), Word(path.c_str()), 0, Word(noPack));
  }
  int32_t LoadFromArchive(const HostScreen& s, const std::string& path, int32_t index) {
    char noPack[] = "";
    return lib().tavi_PCP2BLoad(s.record(), Word(path.c_str()), index, Word(noPack));
  }

  TempDir dir_;
};

// Random images in every kind (index 0 skipped where the kind has skips), drawn inside, across
// any edge of or off screens of exactly their size or another: every visible pixel comes back.
// Every fourth picture is large enough for whole bands of column tiles.
TEST_F(PackPictures, EveryKindDrawsEveryVisiblePixel) {
  std::mt19937 rng(11);
  for (int round = 0; round < 60; ++round) {
    const uint32_t most = round % 4 == 3 ? 200 : 40;
    const int32_t w = 1 + static_cast<int32_t>(rng() % most);
    const int32_t h = 1 + static_cast<int32_t>(rng() % most);
    const auto image = RandomImage(rng, w, h, 1 + static_cast<int>(rng() % 256));
    const int32_t sw = round % 3 == 0 ? w : 1 + static_cast<int32_t>(rng() % (most + 8));
    const int32_t sh = round % 3 == 0 ? h : 1 + static_cast<int32_t>(rng() % (most + 8));
    for (PictureKind kind : taviwriter::kAllKinds) {
      const int skip = taviwriter::UsesSkips(kind) ? 0 : -1;
      const auto path = dir_.Write("pic.tk", Encode(image, w, h, kind, skip));
      HostScreen s(sw, sh);
      s.FillRandom(round);
      const int32_t cx = static_cast<int32_t>(rng() % (sw + w + 4)) - w - 2;
      const int32_t cy = static_cast<int32_t>(rng() % (sh + h + 4)) - h - 2;
      const auto want = Expected(s, image, w, h, cx, cy, skip);
      s.SetCursor(cx, cy);
      ASSERT_EQ(Load(s, path), 0);
      ASSERT_EQ(TopDown(s), want) << taviwriter::KindName(kind) << " round " << round << " at "
                                  << cx << "," << cy;
    }
  }
}

// Column-order skips that run from the end of one column into the next, at every column, so
// that one crosses from each band of columns into the next whatever the bands' widths: the
// screen stays under the skipped pixels at the top of every column.
TEST_F(PackPictures, SkipsAcrossColumnsKeepTheScreenUnderTheNextColumnsStart) {
  std::mt19937 rng(23);
  const struct {
    int32_t w, h, sw, sh, cx, cy;
  } cases[] = {{200, 40, 220, 50, 0, 0}, {150, 9, 150, 9, 0, 0},   {300, 70, 260, 60, -7, -4},
               {131, 33, 200, 40, 5, 3}, {260, 12, 300, 20, 1, 2}, {190, 100, 210, 90, 3, -20}};
  for (const auto& c : cases) {
    auto image = RandomImage(rng, c.w, c.h, 255);
    for (int32_t x = 0; x < c.w; ++x) {
      for (int32_t y = 0; y < c.h; ++y) {
        uint8_t& p = image[static_cast<size_t>(y) * c.w + x];
        p = y < 3 || y >= c.h - 2 ? 0 : static_cast<uint8_t>(p | 1);
      }
    }
    for (PictureKind kind : {PictureKind::kTK11, PictureKind::kTK10}) {
      const auto path = dir_.Write("pic.tk", Encode(image, c.w, c.h, kind, 0));
      HostScreen s(c.sw, c.sh);
      s.FillRandom(static_cast<uint32_t>(c.w));
      const auto want = Expected(s, image, c.w, c.h, c.cx, c.cy, 0);
      s.SetCursor(c.cx, c.cy);
      ASSERT_EQ(Load(s, path), 0);
      EXPECT_EQ(TopDown(s), want) << taviwriter::KindName(kind) << " " << c.w << "x" << c.h;
    }
  }
}

// Worked pictures from the format: run records (value, 24-bit count, 24-bit next escape), skip
// records (count, next escape), a count of 0, an escape record cut short, rows and columns.
TEST_F(PackPictures, WorkedPictures) {
  const struct {
    const char* magic;
    int32_t w, h;
    uint32_t firstEscape;
    std::vector<uint8_t> stream, topDown;
  } cases[] = {
      {"TK00", 4, 2, 19, {7, 8, 0, 0, 0, 0, 0}, std::vector<uint8_t>(8, 7)},
      {"TK10",
       4,
       3,
       19,
       {3, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
       {9, 9, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"TK11",
       4,
       3,
       19,
       {3, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
       {9, 1, 4, 7, 9, 2, 5, 8, 9, 3, 6, 9}},
      {"TK00", 3, 1, 19, {9, 0, 0, 0, 26, 0, 0, 5, 2, 0, 0, 0, 0, 0, 4}, {5, 5, 4}},
      {"TK01", 2, 3, 0, {1, 2, 3, 4, 5, 6}, {1, 4, 2, 5, 3, 6}},
      {"TK00", 2, 2, 21, {1, 2, 9, 9, 0}, {1, 2, 9, 9}},
      {"TK00", 2, 2, 19, {6, 0xFF, 0xFF, 0xFF, 0, 0, 0}, {6, 6, 6, 6}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> file(c.magic, c.magic + 4);
    for (const uint32_t word : {static_cast<uint32_t>(19 + c.stream.size()),
                                static_cast<uint32_t>(c.w), static_cast<uint32_t>(c.h)})
      taviwriter::AppendLe32(file, word);
    taviwriter::AppendBytes(file, std::vector<uint8_t>{static_cast<uint8_t>(c.firstEscape), 0, 0});
    taviwriter::AppendBytes(file, c.stream);
    HostScreen s(c.w, c.h);
    s.Fill(9);
    s.SetCursor(0, 0);
    EXPECT_EQ(Load(s, dir_.Write("worked.tk", file)), 0);
    EXPECT_EQ(TopDown(s), c.topDown) << c.magic << " " << c.w << "x" << c.h;
  }
}

// A picture cut after any byte (a record cut short at the very end of a block of exactly the
// file's bytes) draws part of the whole: every pixel as the whole picture left it or as it was.
TEST_F(PackPictures, CutPicturesDrawPartOfTheWhole) {
  std::mt19937 rng(4);
  const auto image = RandomImage(rng, 9, 7, 3);
  for (PictureKind kind : taviwriter::kAllKinds) {
    const auto whole = Encode(image, 9, 7, kind, taviwriter::UsesSkips(kind) ? 0 : -1);
    HostScreen before(12, 9), full(12, 9);
    before.FillRandom(1);
    Twin(full, before);
    full.SetCursor(2, 1);
    Load(full, dir_.Write("whole.tk", whole));
    for (size_t cut = 0; cut < whole.size(); ++cut) {
      HostScreen s(12, 9);
      Twin(s, before);
      s.SetCursor(2, 1);
      Load(s, dir_.Write("cut.tk", {whole.begin(), whole.begin() + static_cast<long>(cut)}));
      for (size_t i = 0; i < s.pixels().size(); ++i) {
        ASSERT_TRUE(s.pixels()[i] == before.pixels()[i] || s.pixels()[i] == full.pixels()[i])
            << taviwriter::KindName(kind) << " cut " << cut;
      }
    }
  }
}

// A stream of literals only (no two neighbours equal in either order, and no skip index) holds
// pixel k at byte 19 + k, so a file cut after N stream bytes draws exactly the first N pixels in
// scan order, whichever kind and however the cut falls on the picture's lines and tiles.
TEST_F(PackPictures, LiteralPicturesCutAfterNBytesDrawTheirFirstNPixels) {
  constexpr int32_t kW = 37, kH = 70;
  std::vector<uint8_t> image(static_cast<size_t>(kW) * kH);
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x)
      image[static_cast<size_t>(y) * kW + x] = static_cast<uint8_t>((x * 7 + y * 13) % 251);
  }
  for (PictureKind kind : taviwriter::kAllKinds) {
    const bool columns = taviwriter::KindName(kind)[3] == '1';
    const auto whole = Encode(image, kW, kH, kind);
    ASSERT_EQ(whole.size(), 19 + image.size()) << taviwriter::KindName(kind);
    for (const int32_t n : {0, 1, kH - 1, kH + 1, 16 * kH + 5, 33 * kH, kW * kH - 1}) {
      HostScreen s(kW + 3, kH + 2);
      s.Fill(255);
      s.SetCursor(2, 1);
      Load(s, dir_.Write("cut.tk", {whole.begin(), whole.begin() + 19 + n}));
      for (int32_t k = 0; k < kW * kH; ++k) {
        const int32_t x = columns ? k / kH : k % kW;
        const int32_t y = columns ? k % kH : k / kW;
        const uint8_t want = k < n ? image[static_cast<size_t>(y) * kW + x] : 255;
        ASSERT_EQ(s.at(2 + x, 1 + y), want) << taviwriter::KindName(kind) << " cut " << n;
      }
    }
  }
}

TEST_F(PackPictures, FilesThatAreNotDrawablePicturesDrawNothingAndReturnZero) {
  const std::vector<uint8_t> image(16, 5);
  auto picture = Encode(image, 4, 4, PictureKind::kTK00);
  std::vector<std::vector<uint8_t>> files;
  for (const char* magic : {"TK22", "TK02", "TK99", "AB05", "TK0", "tk00", "TAvi"}) {
    auto f = picture;
    std::memcpy(f.data(), magic, std::min<size_t>(4, std::strlen(magic) + 1));
    files.push_back(f);
  }
  auto zeroWidth = picture;
  taviwriter::PutLe32(zeroWidth, 8, 0);
  files.push_back(zeroWidth);
  files.push_back({'T', 'K', '0'});  // shorter than its magic
  files.push_back({});
  HostScreen s(8, 8);
  s.FillRandom(2);
  const auto before = TopDown(s);
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(Load(s, dir_.Write("bad.tk", files[i])), 0) << i;
    EXPECT_EQ(TopDown(s), before) << i;
  }
  EXPECT_EQ(Load(s, dir_.Path("missing.tk")), 0);
  EXPECT_EQ(TopDown(s), before);
}

// fileSize decides how much of the file is read: a smaller one cuts the stream there, a larger
// one (even INT32_MAX) or a negative one reads no more than the file holds.
TEST_F(PackPictures, FileSizeCutsTheStreamButNeverReachesPastTheFile) {
  std::mt19937 rng(4);
  const auto image = RandomImage(rng, 20, 10, 256);
  const auto whole = Encode(image, 20, 10, PictureKind::kTK00);
  const auto cut = static_cast<long>(whole.size() / 2);
  const auto withSize = [&whole](int64_t size, long length) {
    std::vector<uint8_t> file(whole.begin(), whole.begin() + length);
    taviwriter::PutLe32(file, 4, static_cast<uint32_t>(size));
    return file;
  };
  std::vector<std::vector<uint8_t>> drawn;
  for (const auto& file : {withSize(cut, static_cast<long>(whole.size())), withSize(cut, cut),
                           withSize(INT32_MAX, static_cast<long>(whole.size())),
                           withSize(-100, static_cast<long>(whole.size()))}) {
    HostScreen s(20, 10);
    EXPECT_EQ(Load(s, dir_.Write("size.tk", file)), 0);
    drawn.push_back(TopDown(s));
  }
  EXPECT_EQ(drawn[0], drawn[1]);  // declared short draws as cut short
  EXPECT_NE(drawn[0], image);
  EXPECT_EQ(drawn[2], image);
  EXPECT_EQ(drawn[3], std::vector<uint8_t>(image.size(), 0));
  // Past byte 0 of an archive, INT32_MAX bytes would run beyond 32-bit positions: the picture
  // is read chunk by chunk and still arrives whole.
  HostScreen s(20, 10);
  const auto path =
      dir_.Write("sizes.tkx",
                 taviwriter::BuildArchive({withSize(INT32_MAX, static_cast<long>(whole.size()))}));
  EXPECT_EQ(LoadFromArchive(s, path, 0), 0);
  EXPECT_EQ(TopDown(s), image);
}

// A picture of 3 * 10^9 pixels: runs of the most pixels a record holds carry the scan past 2^31
// (and past 2^29, where pixel numbers no longer fit a 32-bit word with room to spare), and
// every pixel around that point shows the run or literal its pixel number falls in.
TEST_F(PackPictures, PixelNumbersPastTwoToThe31StayExact) {
  constexpr int64_t kW = 100000, kH = 30000, kMost = 0xFFFFFF, kRuns = 150, kLiterals = 40;
  constexpr int64_t kStart = kRuns * kMost;  // the first literal's pixel number
  for (const char* magic : {"TK00", "TK01"}) {
    const bool columns = magic[3] == '1';
    std::vector<uint8_t> file(magic, magic + 4);
    for (const int64_t word : {int64_t{0}, kW, kH})
      taviwriter::AppendLe32(file, static_cast<uint32_t>(word));
    taviwriter::AppendBytes(file, std::vector<uint8_t>{19, 0, 0});
    for (int64_t r = 0; r < kRuns; ++r) {
      // The last record names position 0: the rest of the stream is literal.
      const auto next = static_cast<uint32_t>(r + 1 < kRuns ? 19 + 7 * (r + 1) : 0);
      file.push_back(static_cast<uint8_t>(1 + r % 200));
      for (const uint32_t field : {static_cast<uint32_t>(kMost), next}) {
        for (int b = 0; b < 3; ++b)
          file.push_back(static_cast<uint8_t>(field >> (8 * b)));
      }
    }
    for (int64_t k = 0; k < kLiterals; ++k)
      file.push_back(static_cast<uint8_t>(201 + k));
    taviwriter::PutLe32(file, 4, static_cast<uint32_t>(file.size()));
    // A 16 x 16 screen whose pixel (8, 8) shows the first literal.
    const int64_t along = columns ? kStart % kH : kStart % kW,
                  line = columns ? kStart / kH : kStart / kW;
    const int64_t x0 = columns ? line : along, y0 = columns ? along : line;
    HostScreen s(16, 16);
    s.Fill(255);
    s.SetCursor(static_cast<int32_t>(8 - x0), static_cast<int32_t>(8 - y0));
    ASSERT_EQ(Load(s, dir_.Write("huge.tk", file)), 0);
    for (int32_t y = 0; y < 16; ++y) {
      for (int32_t x = 0; x < 16; ++x) {
        const int64_t px = x0 - 8 + x, py = y0 - 8 + y;
        const int64_t k = columns ? px * kH + py : py * kW + px;
        const int want = k < kStart               ? 1 + static_cast<int>(k / kMost % 200)
                         : k < kStart + kLiterals ? static_cast<int>(201 + k - kStart)
                                                  : 255;
        ASSERT_EQ(s.at(x, y), want) << magic << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(PackPictures, ArchiveIndexesUpToTheCountAreAcceptedAndOthersRefused) {
  std::mt19937 rng(6);
  std::vector<std::vector<uint8_t>> images, pictures;
  for (int i = 0; i < 3; ++i) {
    images.push_back(RandomImage(rng, 12, 9, 256));
    pictures.push_back(Encode(images.back(), 12, 9, taviwriter::kAllKinds[i]));
  }
  // Count 2, but a third offset stored at 8 + 4 x count: index 2 is accepted and reads it.
  auto archive = taviwriter::BuildArchive(pictures);
  taviwriter::PutLe32(archive, 4, 2);
  const auto path = dir_.Write("set.tkx", archive);
  for (int32_t i = 0; i < 3; ++i) {
    HostScreen s(12, 9);
    s.Fill(0);
    EXPECT_EQ(LoadFromArchive(s, path, i), 0);
    EXPECT_EQ(TopDown(s), images[i]) << i;
  }
  HostScreen s(12, 9);
  s.Fill(0);
  EXPECT_EQ(LoadFromArchive(s, path, 3), -1);
  EXPECT_EQ(LoadFromArchive(s, path, -1), -1);
  EXPECT_EQ(LoadFromArchive(s, path, INT32_MIN), -1);
  EXPECT_EQ(TopDown(s), std::vector<uint8_t>(12 * 9, 0));
  // Not an archive, or an offset that leads to something that is not a picture.
  EXPECT_EQ(LoadFromArchive(s, dir_.Write("pic.tk", pictures[0]), 0), 0);
  auto stray = archive;
  taviwriter::PutLe32(stray, 8, 4);
  EXPECT_EQ(LoadFromArchive(s, dir_.Write("stray.tkx", stray), 0), 0);
  EXPECT_EQ(TopDown(s), std::vector<uint8_t>(12 * 9, 0));
}

// The row XOR from its definition: from the bottom row up, row r ^= row r + 1 as already
// changed, the last row with row 0.
void ModelRowXor(HostScreen& s, int32_t cx, int32_t cy, int32_t w, int32_t h) {
  for (int32_t r = h - 1; r >= 0; --r) {
    const int32_t partner = r == h - 1 ? 0 : r + 1;
    for (int32_t x = 0; x < w; ++x)
      s.at(cx + x, cy + r) ^= s.at(cx + x, cy + partner);
  }
}

TEST_F(PackPictures, RowXorMatchesItsDefinitionAndIsClippedToTheScreensColumns) {
  std::mt19937 rng(21);
  for (int round = 0; round < 50; ++round) {
    HostScreen s(24, 18), want(24, 18);
    s.FillRandom(round);
    want.pixels() = s.pixels();
    const int32_t h = 1 + static_cast<int32_t>(rng() % 18);
    const int32_t cy = static_cast<int32_t>(rng() % (19 - h));
    const int32_t cx = static_cast<int32_t>(rng() % 30) - 6;
    const int32_t w = static_cast<int32_t>(rng() % 30);
    const int32_t lo = std::max(cx, 0), hi = std::min(cx + w, 24);
    if (lo < hi) ModelRowXor(want, lo, cy, hi - lo, h);
    s.SetCursor(cx, cy);
    EXPECT_EQ(lib().tavi_PCPDecode(s.record(), w, h, 0), 0);
    ASSERT_EQ(s.pixels(), want.pixels()) << round;
  }
  // Rows reaching above or below the screen: nothing changes.
  HostScreen s(8, 8);
  s.FillRandom(3);
  const auto before = s.pixels();
  for (const auto& [cy, h] : {std::pair{5, 4}, {-1, 2}}) {
    s.SetCursor(0, cy);
    EXPECT_EQ(lib().tavi_PCPDecode(s.record(), 8, h, 0), 0);
  }
  EXPECT_EQ(s.pixels(), before);
}

// The scramble's sum from its definition: the first byte of each whole group and every tail
// byte, after the XOR, kept to 28 bits.
int32_t ModelScramble(std::vector<uint8_t>& target, const std::vector<uint8_t>& source,
                      int32_t length) {
  uint32_t sum = 0;
  for (int32_t k = 0; k < length; ++k) {
    target[k] ^= source[k];
    if (k >= length / 4 * 4 || k % 4 == 0) sum = (sum + target[k]) & 0x0FFFFFFF;
  }
  return -static_cast<int32_t>(sum);
}

class PackScramble : public ExportTest {};

TEST_F(PackScramble, SameSourceTwiceRestoresTheTargetAndSumsFollowTheirDefinition) {
  std::vector<uint8_t> unchanged(8, 3);
  lib().tavi_DMSupportSet(0, 0, 0, 0);  // no target: nothing is read or written
  EXPECT_EQ(lib().tavi_DMSupportXOR(Word(unchanged.data()), 8, 0, 0), 0);
  lib().tavi_DMSupportSet(Word(unchanged.data()), 0, 0, 0);
  EXPECT_EQ(lib().tavi_DMSupportXOR(Word(unchanged.data()), 0, 0, 0), 0);
  EXPECT_EQ(lib().tavi_DMSupportXOR(Word(unchanged.data()), -3, 0, 0), 0);
  EXPECT_EQ(unchanged, std::vector<uint8_t>(8, 3));
  std::mt19937 rng(17);
  for (int32_t length : {1, 3, 4, 7, 64, 1001}) {
    std::vector<uint8_t> target(static_cast<size_t>(length)), source(target.size());
    for (auto& b : target)
      b = static_cast<uint8_t>(rng());
    for (auto& b : source)
      b = static_cast<uint8_t>(rng());
    const auto original = target;
    auto model = target;
    lib().tavi_DMSupportSet(Word(target.data()), 0, 0, 0);
    EXPECT_EQ(lib().tavi_DMSupportXOR(Word(source.data()), length, 0, 0),
              ModelScramble(model, source, length));
    EXPECT_EQ(target, model);
    EXPECT_EQ(lib().tavi_DMSupportXOR(Word(source.data()), length, 0, 0),
              ModelScramble(model, source, length));
    EXPECT_EQ(target, original);
  }
}

// An open pack with entries stays open for the process: this suite runs in a process of its own.
// The pack lies 1000 bytes into a larger file and holds a picture, an archive and a disk name.
class PackProcessPack : public ExportTest {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    std::mt19937 rng(30);
    images_ = new std::vector<std::vector<uint8_t>>;
    std::vector<std::vector<uint8_t>> pictures;
    for (PictureKind kind : taviwriter::kAllKinds) {
      images_->push_back(RandomImage(rng, kW, kH, 256));
      pictures.push_back(Encode(images_->back(), kW, kH, kind));
    }
    const auto archive = taviwriter::BuildArchive(pictures);
    dir_->Write("set.tkx", archive);  // the same archive on disk, for comparison
    dir_->Write("title.tk", pictures[1]);
    std::vector<uint8_t> file(1000, 0x55);
    taviwriter::AppendBytes(
        file, taviwriter::BuildPack({{"title.tk", pictures[0]}, {"set.tkx", archive}}));
    packPath_ = new std::string(dir_->Write("game.exe", file));
    dir_->Write("other.dpm", taviwriter::BuildPack({{"title.tk", pictures[3]}}));
  }
  static void TearDownTestSuite() {
    delete dir_;
    delete images_;
    delete packPath_;
  }

  static constexpr int32_t kW = 21, kH = 13;
  static TempDir* dir_;
  static std::vector<std::vector<uint8_t>>* images_;
  static std::string* packPath_;
};
TempDir* PackProcessPack::dir_ = nullptr;
std::vector<std::vector<uint8_t>>* PackProcessPack::images_ = nullptr;
std::string* PackProcessPack::packPath_ = nullptr;

TEST_F(PackProcessPack, APictureInAnArchiveInAPackInsideAFileLoadsAsFromDisk) {
  std::string text = *packPath_ + ",1000";
  EXPECT_EQ(lib().tavi_dpminit(0, 0, 0, Word(text.data())), 0);
  EXPECT_EQ(text.find('\0'), packPath_->size());  // the "," became the end of the text

  HostScreen s(kW, kH);
  s.Fill(0);
  char noPack[] = "";
  lib().tavi_PCP2Load(s.record(), Word("TITLE.TK"), 0, Word(noPack));
  if (TopDown(s) != (*images_)[0]) GTEST_SKIP() << "another pack was opened in this process first";

  for (int32_t i = 0; i < 4; ++i) {
    HostScreen packed(kW + 6, kH + 6), disk(kW + 6, kH + 6);
    packed.FillRandom(i);
    disk.FillRandom(i);
    packed.SetCursor(3, 2);
    disk.SetCursor(3, 2);
    EXPECT_EQ(lib().tavi_PCP2BLoad(packed.record(), Word("Set.tkx"), i, Word(noPack)), 0);
    const std::string diskPath = dir_->Path("set.tkx");
    EXPECT_EQ(lib().tavi_PCP2BLoad(disk.record(), Word(diskPath.c_str()), i, Word(noPack)), 0);
    EXPECT_EQ(packed.pixels(), disk.pixels()) << i;
    EXPECT_EQ(lib().tavi_GetTKXFormat(0, Word("set.tkx"), i, Word(noPack)),
              -static_cast<int32_t>(taviwriter::KindName(taviwriter::kAllKinds[i])[2]));
  }
}

TEST_F(PackProcessPack, LaterPackTextsAreIgnoredAndNamesNotInThePackComeFromDisk) {
  std::string other = dir_->Path("other.dpm") + ",0";
  const std::string untouched = other;
  HostScreen s(kW, kH);
  s.Fill(0);
  EXPECT_EQ(lib().tavi_PCP2Load(s.record(), Word("title.tk"), 0, Word(other.data())), 0);
  if (TopDown(s) != (*images_)[0]) GTEST_SKIP() << "another pack was opened in this process first";
  EXPECT_EQ(other, untouched);  // not even looked at
  // A name the pack does not hold is read from the disk file of that name.
  const std::string diskTitle = dir_->Path("title.tk");
  s.Fill(0);
  EXPECT_EQ(lib().tavi_PCP2Load(s.record(), Word(diskTitle.c_str()), 0, Word(other.data())), 0);
  EXPECT_EQ(TopDown(s), (*images_)[1]);
}

}  // namespace
}  // namespace tavitest
