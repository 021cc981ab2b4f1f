// The cell table's internals: the exact bytes of the run-length form, expansion into any
// destination, keyed rows, and plain cells whose width is not a multiple of 4.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "cells/cell_draw.h"
#include "cells/cell_load.h"
#include "cells/cell_table.h"
#include "cells/keyed_row.h"
#include "cells/run_length.h"

namespace tavikit {
namespace {

uint32_t Word(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<uint32_t>(bytes[at + 3]) << 24;
}

void PushWord(std::vector<uint8_t>& out, uint32_t w) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(w >> (8 * i)));
}

// The run-length form built the obvious way, into a fresh vector: split the words into runs, lay
// the items out, then patch the links.
std::vector<uint8_t> ModelCompress(std::vector<uint8_t> plain) {
  plain.resize(std::max<size_t>(4, (plain.size() + 3) / 4 * 4), 0);
  std::vector<uint32_t> words;
  for (size_t i = 0; i < plain.size(); i += 4)
    words.push_back(Word(plain, i));
  std::vector<uint8_t> out(4, 0);
  std::vector<size_t> records;
  for (size_t j = 0; j < words.size();) {
    size_t end = j;
    while (end < words.size() && words[end] == words[j])
      ++end;
    if (end - j >= 4) {
      records.push_back(out.size());
      PushWord(out, words[j]);
      PushWord(out, static_cast<uint32_t>(end - j));
      PushWord(out, 0);
    } else {
      for (size_t i = j; i < end; ++i)
        PushWord(out, words[i]);
    }
    j = end;
  }
  auto setWord = [&](size_t at, uint32_t w) {
    for (int i = 0; i < 4; ++i)
      out[at + i] = static_cast<uint8_t>(w >> (8 * i));
  };
  if (!records.empty()) setWord(0, static_cast<uint32_t>(records[0]));
  for (size_t r = 0; r + 1 < records.size(); ++r)
    setWord(records[r] + 8, static_cast<uint32_t>(records[r + 1]));
  return out;
}

// A plain cell holding `plain` (data rows bottom-up).
void FillPlain(Cell& cell, int32_t w, int32_t h, const std::vector<uint8_t>& plain) {
  ASSERT_TRUE(AllocateCell(cell, w, h, false));
  if (!plain.empty()) std::memcpy(cell.data.get(), plain.data(), plain.size());
}

std::vector<uint8_t> FormOf(const Cell& cell) {
  return std::vector<uint8_t>(cell.data.get(), cell.data.get() + cell.size);
}

std::vector<uint8_t> RunnyBytes(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> v(n);
  uint8_t c = 0;
  for (auto& b : v) {
    if (rng() % 6 == 0) c = static_cast<uint8_t>(rng() % 4 == 0 ? rng() : rng() % 3);
    b = c;
  }
  return v;
}

TEST(RunLengthForm, OneColourIsALinkAndOneRecord) {
  Cell cell;
  FillPlain(cell, 16, 4, std::vector<uint8_t>(64, 0x5A));
  EXPECT_EQ(CompressCell(cell), 16);
  std::vector<uint8_t> want;
  for (uint32_t w : {4u, 0x5A5A5A5Au, 16u, 0u})
    PushWord(want, w);
  EXPECT_EQ(FormOf(cell), want);
  EXPECT_EQ(cell.compressed, 1);
}

TEST(RunLengthForm, FourPixelsOrFewerGiveALinkAndOneWord) {
  for (int32_t w : {4, 3, 1}) {
    Cell cell;
    std::vector<uint8_t> px = {9, 8, 7, 6};
    px.resize(static_cast<size_t>(w));
    FillPlain(cell, w, 1, px);
    EXPECT_EQ(CompressCell(cell), 8) << w;
    std::vector<uint8_t> want(4, 0);
    px.resize(4, 0);  // the padding of a short cell reads as 0
    want.insert(want.end(), px.begin(), px.end());
    EXPECT_EQ(FormOf(cell), want) << w;
  }
  Cell empty;  // no pixels at all still makes the 8-byte form
  ASSERT_TRUE(AllocateCell(empty, 0, 5, false));
  EXPECT_EQ(CompressCell(empty), 8);
}

TEST(RunLengthForm, RecordsAreLinkedInDataOrder) {
  // Words: A A A A B C C C C C D  -> record, literal, record, literal.
  std::vector<uint8_t> plain;
  const uint32_t words[] = {1, 1, 1, 1, 2, 3, 3, 3, 3, 3, 4};
  for (uint32_t w : words)
    PushWord(plain, w * 0x01010101u);
  Cell cell;
  FillPlain(cell, 44, 1, plain);
  EXPECT_EQ(CompressCell(cell), 4 + 12 + 4 + 12 + 4);
  std::vector<uint8_t> want;
  for (uint32_t w : {4u, 0x01010101u, 4u, 20u, 0x02020202u, 0x03030303u, 5u, 0u, 0x04040404u})
    PushWord(want, w);
  EXPECT_EQ(FormOf(cell), want);
}

TEST(RunLengthForm, MatchesTheModelAndExpandsToExactlyThePixels) {
  std::mt19937 rng(1);
  for (int trial = 0; trial < 2000; ++trial) {
    const int32_t w = static_cast<int32_t>(1 + rng() % 23), h = static_cast<int32_t>(rng() % 9);
    const std::vector<uint8_t> plain = RunnyBytes(rng, static_cast<size_t>(w) * h);
    Cell cell;
    FillPlain(cell, w, h, plain);
    const int32_t result = CompressCell(cell);
    const std::vector<uint8_t> want = ModelCompress(plain);
    ASSERT_EQ(FormOf(cell), want) << "trial " << trial << " " << w << "x" << h;
    ASSERT_EQ(result, static_cast<int32_t>(want.size()));

    // Expand at a random place, inside or across the destination's edges.
    const int32_t dw = static_cast<int32_t>(1 + rng() % 30),
                  dh = static_cast<int32_t>(1 + rng() % 12);
    const int32_t x = static_cast<int32_t>(rng() % (dw + w + 1)) - w;
    const int32_t y = static_cast<int32_t>(rng() % (dh + h + 1)) - h;
    std::vector<uint8_t> dest(static_cast<size_t>(dw) * dh), model;
    for (auto& b : dest)
      b = static_cast<uint8_t>(rng());
    model = dest;
    for (int32_t r = 0; r < h; ++r) {
      for (int32_t c = 0; c < w; ++c) {
        const int64_t row = int64_t{dh} - h - y + r, col = int64_t{x} + c;
        if (row >= 0 && row < dh && col >= 0 && col < dw) model[row * dw + col] = plain[r * w + c];
      }
    }
    ExpandCell(cell, dest.data(), dw, dh, x, y);
    ASSERT_EQ(dest, model) << "trial " << trial << " " << w << "x" << h << " at " << x << "," << y
                           << " in " << dw << "x" << dh;
  }
}

TEST(RunLengthForm, BrokenFormsNeverWriteOutsideTheCellsPlace) {
  std::mt19937 rng(2);
  for (int trial = 0; trial < 3000; ++trial) {
    Cell cell;
    const int32_t w = static_cast<int32_t>(1 + rng() % 12), h = static_cast<int32_t>(1 + rng() % 6);
    cell.width = w;
    cell.height = h;
    cell.compressed = 1;
    cell.size = rng() % 40;
    cell.data.reset(static_cast<uint8_t*>(std::malloc(cell.size + 1)));  // NOLINT
    for (size_t i = 0; i < cell.size; ++i)
      cell.data.get()[i] = static_cast<uint8_t>(rng() % 3 == 0 ? rng() % 40 : rng());
    const int32_t dw = 16, dh = 10, x = static_cast<int32_t>(rng() % 20) - 4,
                  y = static_cast<int32_t>(rng() % 12) - 3;
    std::vector<uint8_t> dest(static_cast<size_t>(dw) * dh, 0xEE);
    ExpandCell(cell, dest.data(), dw, dh, x, y);
    for (int32_t row = 0; row < dh; ++row) {
      for (int32_t col = 0; col < dw; ++col) {
        const int64_t r = row - (int64_t{dh} - h - y), c = col - int64_t{x};
        if (r >= 0 && r < h && c >= 0 && c < w) continue;
        ASSERT_EQ(dest[row * dw + col], 0xEE) << "trial " << trial;
      }
    }
  }
}

TEST(KeyedRow, VectorAndScalarFormsMatchTheByteModel) {
  std::mt19937 rng(3);
  for (int trial = 0; trial < 4000; ++trial) {
    const size_t n = rng() % 70, offset = rng() % 16;
    const auto key = static_cast<uint8_t>(rng() % 3 == 0 ? 0 : rng());
    std::vector<uint8_t> src(n + offset), dst(n + offset);
    for (auto& b : src)
      b = static_cast<uint8_t>(rng() % 2 ? key : rng());
    for (auto& b : dst)
      b = static_cast<uint8_t>(rng());
    std::vector<uint8_t> model = dst, scalar = dst, fast = dst;
    for (size_t i = offset; i < n + offset; ++i)
      if (src[i] != key) model[i] = src[i];
    CopyRowKeyedScalar(scalar.data() + offset, src.data() + offset, n, key);
    CopyRowKeyed(fast.data() + offset, src.data() + offset, n, key);
    ASSERT_EQ(scalar, model) << "trial " << trial;
    ASSERT_EQ(fast, model) << "trial " << trial;
  }
}

// Plain cells 6 pixels wide, as pictures make them.
class OddWidthCell : public ::testing::Test {
 protected:
  void SetUp() override {
    state = std::make_unique<CellState>();
    for (uint8_t i = 0; i < 12; ++i)
      plain.push_back(i % 5 == 0 ? 0 : static_cast<uint8_t>(10 + i));  // data rows bottom-up
    FillPlain(state->cells[1], 6, 2, plain);
  }

  // The screen's bytes after drawing cell 1 at (cx, 0) with the given transparency.
  std::vector<uint8_t> Draw(int32_t screenWidth, int32_t cx, int32_t transparency) {
    std::vector<uint8_t> px(static_cast<size_t>(screenWidth) * 2, 0xEE);
    Screen screen;
    screen.width = screenWidth;
    screen.height = 2;
    screen.pixels = px.data();
    screen.cursorX = cx;
    PutCell(*state, screen, 1, transparency);
    return px;
  }

  std::unique_ptr<CellState> state;
  std::vector<uint8_t> plain;
};

TEST_F(OddWidthCell, OpaqueRowsDrawTheirWholeGroupsOnly) {
  const std::vector<uint8_t> px = Draw(10, 2, 0);
  for (int r = 0; r < 2; ++r) {
    for (int x = 0; x < 10; ++x) {
      const bool drawn = x >= 2 && x < 6;
      EXPECT_EQ(px[r * 10 + x], drawn ? plain[r * 6 + x - 2] : 0xEE) << r << "," << x;
    }
  }
}

TEST_F(OddWidthCell, OpaqueSweepAtTheScreensWidthLeavesTheLastPartialGroup) {
  EXPECT_EQ(Draw(6, 0, 0), plain);  // 12 pixels: three whole groups
  Cell& cell = state->cells[1];
  FillPlain(cell, 6, 1, {1, 2, 3, 4, 5, 6});  // 6 pixels in one sweep: one group
  std::vector<uint8_t> one(6, 0xEE);
  Screen screen;
  screen.width = 6;
  screen.height = 1;
  screen.pixels = one.data();
  PutCell(*state, screen, 1, 0);
  EXPECT_EQ(one, (std::vector<uint8_t>{1, 2, 3, 4, 0xEE, 0xEE}));
}

TEST_F(OddWidthCell, TransparentDrawShowsEveryColumn) {
  const std::vector<uint8_t> px = Draw(10, 3, 1);
  for (int r = 0; r < 2; ++r) {
    for (int x = 0; x < 10; ++x) {
      const bool inCell = x >= 3 && x < 9;
      const uint8_t v = inCell ? plain[r * 6 + x - 3] : 0;
      EXPECT_EQ(px[r * 10 + x], inCell && v != 0 ? v : 0xEE) << r << "," << x;
    }
  }
}

TEST_F(OddWidthCell, CompressedDrawsEveryPixelAndNothingElse) {
  ASSERT_GT(CompressCell(state->cells[1]), 0);
  const std::vector<uint8_t> px = Draw(10, 1, 1);
  for (int r = 0; r < 2; ++r) {
    for (int x = 0; x < 10; ++x) {
      const bool inCell = x >= 1 && x < 7;
      EXPECT_EQ(px[r * 10 + x], inCell ? plain[r * 6 + x - 1] : 0xEE) << r << "," << x;
    }
  }
}

TEST(CopyCell, OnlyPlainDestinationsAreOverwritten) {
  auto state = std::make_unique<CellState>();
  std::mt19937 rng(4);
  const std::vector<uint8_t> pixels = RunnyBytes(rng, 64);
  FillPlain(state->cells[1], 16, 4, pixels);
  ASSERT_GT(CompressCell(state->cells[1]), 0);  // a small form in place of 64 pixels
  const std::vector<uint8_t> form = FormOf(state->cells[1]);
  FillPlain(state->cells[2], 16, 4, std::vector<uint8_t>(64, 7));
  ASSERT_TRUE(AllocateCell(state->cells[3], 16, 4, true));
  const std::vector<uint8_t> colour = FormOf(state->cells[3]);

  CopyCell(*state, 2, 1);  // onto the run-length cell
  CopyCell(*state, 1, 3);  // onto the full-colour cell
  EXPECT_EQ(FormOf(state->cells[1]), form);
  EXPECT_EQ(FormOf(state->cells[3]), colour);

  CopyCell(*state, 1, 2);  // a plain destination takes the expanded pixels
  EXPECT_EQ(std::vector<uint8_t>(state->cells[2].data.get(), state->cells[2].data.get() + 64),
            pixels);
}

}  // namespace
}  // namespace tavikit
