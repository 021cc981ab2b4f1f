// The picture decoder against the format's worked cases and, on random pictures (well-formed and
// broken, inside and across the screen's edges), against the plain model in picture_model.h.
#include "pack/picture_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tools/writer/formats.h"
#include "unit/picture_model.h"

namespace tavikit {
namespace {

using tavitest::ModelDecode;
using tavitest::ModelScreen;
using taviwriter::PictureKind;

// A screen of the decoder over the model's pixels: the model keeps rows top-down, the screen
// bottom-up, so the model's buffer is mirrored into and out of it.
class TestScreen {
 public:
  TestScreen(int32_t w, int32_t h, uint8_t fill)
      : model_{w, h, std::vector<uint8_t>(w * h, fill)} {}
  void Decode(const std::vector<uint8_t>& picture, int32_t cx, int32_t cy) {
    std::vector<uint8_t> buffer(model_.pixels.size());
    Screen s;
    s.width = model_.width;
    s.height = model_.height;
    s.pixels = buffer.data();
    s.cursorX = cx;
    s.cursorY = cy;
    const auto rowBytes = static_cast<size_t>(s.width);
    for (int32_t y = 0; y < s.height; ++y)
      std::memcpy(s.Row(y), &model_.at(0, y), rowBytes);
    DecodePicture(s, picture);
    for (int32_t y = 0; y < s.height; ++y)
      std::memcpy(&model_.at(0, y), s.Row(y), rowBytes);
  }
  ModelScreen& model() { return model_; }
  uint8_t at(int32_t x, int32_t y) { return model_.at(x, y); }

 private:
  ModelScreen model_;
};

// A picture header of `magic` followed by `stream`; fileSize is the block's length.
std::vector<uint8_t> Picture(const char* magic, int32_t w, int32_t h, uint32_t firstEscape,
                             const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> p(19, 0);
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<uint8_t>(magic[i]);
  taviwriter::PutLe32(p, 8, static_cast<uint32_t>(w));
  taviwriter::PutLe32(p, 12, static_cast<uint32_t>(h));
  taviwriter::PutLe24(p, 16, firstEscape);
  taviwriter::AppendBytes(p, stream);
  taviwriter::PutLe32(p, 4, static_cast<uint32_t>(p.size()));
  return p;
}

TEST(DecodePicture, SingleRunRecordFillsTheRectangleAtTheCursor) {
  TestScreen s(8, 6, 1);
  s.Decode(Picture("TK00", 4, 2, 19, {7, 8, 0, 0, 0, 0, 0}), 2, 3);
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(s.at(x, y), inside ? 7 : 1) << x << "," << y;
    }
  }
}

TEST(DecodePicture, SkipRecordLeavesTheFirstPixelsOfTheScanAsTheScreenHadThem) {
  TestScreen rows(4, 3, 9), cols(4, 3, 9);
  const std::vector<uint8_t> stream = {3, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  rows.Decode(Picture("TK10", 4, 3, 19, stream), 0, 0);
  cols.Decode(Picture("TK11", 4, 3, 19, stream), 0, 0);
  // Row order: the first three pixels of the top row are passed over.
  const std::vector<uint8_t> wantRows = {9, 9, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  // Column order: the left column is passed over.
  const std::vector<uint8_t> wantCols = {9, 1, 4, 7, 9, 2, 5, 8, 9, 3, 6, 9};
  EXPECT_EQ(rows.model().pixels, wantRows);
  EXPECT_EQ(cols.model().pixels, wantCols);
}

TEST(DecodePicture, RunOfCountZeroOnlyMovesTheEscapePositionOn) {
  TestScreen s(3, 1, 0);
  // Record at 19 (count 0, next at 26), a second record right after it (value 5, count 2, end).
  s.Decode(Picture("TK00", 3, 1, 19, {9, 0, 0, 0, 26, 0, 0, 5, 2, 0, 0, 0, 0, 0, 4}), 0, 0);
  EXPECT_EQ(s.model().pixels, (std::vector<uint8_t>{5, 5, 4}));
}

TEST(DecodePicture, ColumnOrderFillsEachColumnTopDown) {
  TestScreen s(2, 3, 0);
  s.Decode(Picture("TK01", 2, 3, 0, {1, 2, 3, 4, 5, 6}), 0, 0);
  EXPECT_EQ(s.model().pixels, (std::vector<uint8_t>{1, 4, 2, 5, 3, 6}));
}

TEST(DecodePicture, EmptyDimensionsAndOtherKindsDrawNothing) {
  for (const char* magic : {"TK02", "TK20", "TK99", "TKx0", "XK00"}) {
    TestScreen s(4, 4, 3);
    s.Decode(Picture(magic, 2, 2, 0, {1, 2, 3, 4}), 0, 0);
    EXPECT_EQ(s.model().pixels, std::vector<uint8_t>(16, 3)) << magic;
  }
  for (auto [w, h] : {std::pair{0, 2}, {2, 0}, {-2, -2}, {-1, 3}}) {
    TestScreen s(4, 4, 3);
    s.Decode(Picture("TK00", w, h, 0, {1, 2, 3, 4}), 0, 0);
    EXPECT_EQ(s.model().pixels, std::vector<uint8_t>(16, 3)) << w << "x" << h;
  }
  TestScreen s(4, 4, 3);
  s.Decode({}, 0, 0);
  s.Decode(std::vector<uint8_t>(18, '0'), 0, 0);
  EXPECT_EQ(s.model().pixels, std::vector<uint8_t>(16, 3));
}

TEST(DecodePicture, RunsPastTheLastPixelAndShortStreamsStopAtTheRectangle) {
  TestScreen s(4, 4, 0);
  // 2 x 2 picture, a run of 16 million: exactly the four pixels are set.
  s.Decode(Picture("TK00", 2, 2, 19, {6, 0xFF, 0xFF, 0xFF, 0, 0, 0}), 1, 1);
  EXPECT_EQ(s.model().pixels,
            (std::vector<uint8_t>{0, 0, 0, 0, 0, 6, 6, 0, 0, 6, 6, 0, 0, 0, 0, 0}));
  // Two literals for four pixels; an escape record cut short by the end of the block.
  TestScreen t(2, 2, 0);
  t.Decode(Picture("TK00", 2, 2, 21, {1, 2, 9, 9, 0}), 0, 0);
  EXPECT_EQ(t.model().pixels, (std::vector<uint8_t>{1, 2, 0, 0}));
}

TEST(DecodePicture, HugePicturesAreClippedToTheScreenQuickly) {
  // 2^31-1 columns by 2^31-1 rows of one run: only the screen's pixels cost anything.
  TestScreen s(5, 4, 0);
  std::vector<uint8_t> stream;
  for (int i = 0; i < 1000; ++i) {
    const uint32_t next = 19 + 7 * (i + 1);
    stream.insert(stream.end(), {static_cast<uint8_t>(i), 0xFF, 0xFF, 0xFF,
                                 static_cast<uint8_t>(next), static_cast<uint8_t>(next >> 8), 0});
  }
  s.Decode(Picture("TK01", INT32_MAX, INT32_MAX, 19, stream), -3, -2);
  // Screen (x, y) shows picture (x + 3, y + 2), pixel number (x + 3) * height + y + 2 in column
  // order, which lies in run number i / (2^24 - 1), whose value is that number's low byte.
  constexpr int64_t kRun = (1 << 24) - 1;
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      const int64_t i = int64_t{x + 3} * INT32_MAX + y + 2;
      EXPECT_EQ(s.at(x, y), static_cast<uint8_t>(i / kRun)) << x << "," << y;
    }
  }
}

// Random pictures: each kind encoded from random images (with long runs and a skip index), drawn
// at cursors that put them inside, across an edge or entirely off the screen, then broken by
// truncation and random byte changes. The decoder must match the model byte for byte.
TEST(DecodePicture, MatchesThePlainModelOnRandomWellFormedAndBrokenPictures) {
  std::mt19937 rng(20261205);
  for (int round = 0; round < 3000; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 24);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 24);
    const auto image = taviwriter::RandomRuns(rng, static_cast<size_t>(w) * h, 4, 12);
    const PictureKind kind = taviwriter::kAllKinds[rng() % 4];
    auto picture = *taviwriter::EncodePicture({w, h, image}, kind, static_cast<int>(rng() % 5) - 1);
    const int mutation = static_cast<int>(rng() % 4);
    if (mutation == 1) picture.resize(rng() % (picture.size() + 1));
    if (mutation >= 2) {
      for (int k = 0; k < 1 + static_cast<int>(rng() % 4); ++k)
        picture[rng() % picture.size()] = static_cast<uint8_t>(rng());
      if (picture.size() >= 19 && mutation == 3) {  // keep the header's shape usable
        picture[0] = 'T', picture[1] = 'K';
        picture[2] = static_cast<uint8_t>('0' + rng() % 2);
        picture[3] = static_cast<uint8_t>('0' + rng() % 2);
        taviwriter::PutLe32(picture, 8, static_cast<uint32_t>(w));
        taviwriter::PutLe32(picture, 12, static_cast<uint32_t>(h));
      }
    }
    const int32_t sw = 1 + static_cast<int32_t>(rng() % 30);
    const int32_t sh = 1 + static_cast<int32_t>(rng() % 30);
    const int32_t cx = static_cast<int32_t>(rng() % 50) - 25;
    const int32_t cy = static_cast<int32_t>(rng() % 50) - 25;
    TestScreen got(sw, sh, 200);
    ModelScreen want{sw, sh, std::vector<uint8_t>(static_cast<size_t>(sw) * sh, 200)};
    got.Decode(picture, cx, cy);
    ModelDecode(want, cx, cy, picture);
    ASSERT_EQ(got.model().pixels, want.pixels) << "round " << round;
  }
}

// A picture of every kind cut after every byte, into a block of exactly that size (where the
// sanitizers see any read past it): records cut short at the very end stop the decode.
TEST(DecodePicture, EveryCutOfAPictureDecodesAsTheModelSays) {
  std::mt19937 rng(5);
  const auto image = taviwriter::RandomRuns(rng, 9 * 7, 3, 9);
  for (PictureKind kind : taviwriter::kAllKinds) {
    const auto picture = *taviwriter::EncodePicture({9, 7, image}, kind, 0);
    for (size_t cut = 0; cut <= picture.size(); ++cut) {
      const std::vector<uint8_t> block(picture.begin(), picture.begin() + static_cast<long>(cut));
      TestScreen got(12, 9, 200);
      ModelScreen want{12, 9, std::vector<uint8_t>(12 * 9, 200)};
      got.Decode(block, 2, 1);
      ModelDecode(want, 2, 1, block);
      ASSERT_EQ(got.model().pixels, want.pixels) << taviwriter::KindName(kind) << " cut " << cut;
    }
  }
}

}  // namespace
}  // namespace tavikit
