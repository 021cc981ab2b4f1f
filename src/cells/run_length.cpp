#include "cells/run_length.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tavikit {
namespace {

inline uint32_t LoadWord(const uint8_t* p) {
  uint32_t w;
  std::memcpy(&w, p, 4);
  return w;
}

inline void StoreWord(uint8_t* p, uint32_t w) { std::memcpy(p, &w, 4); }

// Whole words into a destination that holds every row of the cell, the width a multiple of 4:
// no bounds to test per word.
class RowWords {
 public:
  RowWords(uint8_t* firstRow, intptr_t stride, int32_t width)
      : row_(firstRow), stride_(stride), width_(width) {}

  void PutMany(const uint8_t* words, intptr_t count) {
    while (count > 0) {
      const intptr_t n = std::min<intptr_t>(count, (width_ - col_) / 4);
      std::memcpy(row_ + col_, words, static_cast<size_t>(4 * n));
      words += 4 * n;
      count -= n;
      col_ += static_cast<int32_t>(4 * n);
      if (col_ == width_) NextRow();
    }
  }

  void Fill(uint32_t word, intptr_t count) {
    while (count > 0) {
      const intptr_t n = std::min<intptr_t>(count, (width_ - col_) / 4);
      uint8_t* p = row_ + col_;
      for (intptr_t i = 0; i < n; ++i)
        StoreWord(p + 4 * i, word);
      count -= n;
      col_ += static_cast<int32_t>(4 * n);
      if (col_ == width_) NextRow();
    }
  }

 private:
  void NextRow() {
    col_ = 0;
    row_ += stride_;
  }

  uint8_t* row_;
  intptr_t stride_;
  int32_t width_;
  int32_t col_ = 0;
};

// For cells that reach outside the destination or whose rows end inside a word: the bytes are
// placed a row segment at a time, each segment cut to the destination's columns, rows outside it
// passed over whole. The padding past the last pixel is dropped.
class ClippedBytes {
 public:
  ClippedBytes(uint8_t* dest, int64_t stride, int64_t destHeight, int64_t x, int64_t firstRow,
               int32_t width, int64_t pixels)
      : dest_(dest),
        stride_(stride),
        destHeight_(destHeight),
        x_(x),
        row_(firstRow),
        width_(width),
        pixelsLeft_(pixels) {}

  void PutMany(const uint8_t* words, int64_t count) {
    Emit(4 * count, [words](uint8_t* dst, int64_t from, int64_t n) {
      std::memcpy(dst, words + from, static_cast<size_t>(n));
    });
  }

  void Fill(uint32_t word, int64_t count) {
    uint8_t pattern[4];
    StoreWord(pattern, word);
    Emit(4 * count, [&pattern](uint8_t* dst, int64_t from, int64_t n) {
      for (int64_t i = 0; i < n; ++i)
        dst[i] = pattern[(from + i) & 3];
    });
  }

 private:
  // Places the next `bytes` plain bytes; copyOut(dst, from, n) writes bytes from..from+n-1 of
  // them.
  template <class CopyOut>
  void Emit(int64_t bytes, CopyOut copyOut) {
    int64_t from = 0;
    while (bytes > 0 && pixelsLeft_ > 0 && row_ < destHeight_) {
      // Within the current row, or, below the destination, up to its first row.
      const int64_t span = row_ < 0 ? -row_ * width_ - col_ : width_ - col_;
      const int64_t n = std::min({bytes, span, pixelsLeft_});
      if (row_ >= 0) {
        const int64_t c0 = std::max<int64_t>(col_, -x_);
        const int64_t c1 = std::min<int64_t>(col_ + n, stride_ - x_);
        if (c0 < c1) copyOut(dest_ + row_ * stride_ + x_ + c0, from + (c0 - col_), c1 - c0);
      }
      from += n;
      bytes -= n;
      pixelsLeft_ -= n;
      col_ += n;
      row_ += col_ / width_;
      col_ %= width_;
    }
  }

  uint8_t* dest_;
  int64_t stride_;
  int64_t destHeight_;
  int64_t x_;
  int64_t row_;  // destination row (in memory order) of the current data row
  int64_t width_;
  int64_t col_ = 0;
  int64_t pixelsLeft_;
};

// Walks the form item by item and hands each word to the sink, at most `words` of them; stops
// early where an item would lie past the end of the form. Word counts are of type Count: the
// machine's word where the whole cell lies in memory (32-bit code then counts in one register),
// 64 bits where it may not.
template <class Count, class Sink>
void ExpandItems(const uint8_t* form, size_t size, Count words, Sink& sink) {
  if (size < 4) return;
  size_t p = 4;
  size_t next = LoadWord(form);
  while (words > 0) {
    if (p == next) {
      if (size - p < kRunRecordBytes) return;
      const uint32_t value = LoadWord(form + p);
      const auto count = static_cast<int32_t>(LoadWord(form + p + 4));
      next = LoadWord(form + p + 8);
      p += kRunRecordBytes;
      const Count n = std::min<Count>(count, words);
      if (n > 0) {
        sink.Fill(value, n);
        words -= n;
      }
    } else {
      // Literal words up to the next record (or the end of the form), handed over together.
      const size_t end = next > p && next < size ? next : size;
      const Count n = std::min(static_cast<Count>((end - p) / 4), words);
      if (n == 0) return;
      sink.PutMany(form + p, n);
      p += static_cast<size_t>(4 * n);
      words -= n;
    }
  }
}

}  // namespace

int32_t CompressCell(Cell& cell) {
  if (cell.Empty() || cell.fullColour != 0 || cell.compressed != 0) return 0;
  const int64_t words = std::max<int64_t>(1, (cell.PixelCount() + 3) / 4);
  uint8_t* buf = cell.data.get();
  if (cell.size < static_cast<size_t>(4 * words + 4)) return 0;  // not made by AllocateCell

  // The output never overtakes the input: before a run is written, its words and the first word
  // after it have been read, and a run writes at most as many bytes as it spans.
  size_t out = 4;
  size_t link = 0;  // where the position of the next record goes
  uint32_t value = LoadWord(buf);
  for (int64_t j = 0; j < words;) {
    int64_t run = 1;
    uint32_t after = 0;
    while (j + run < words) {
      after = LoadWord(buf + 4 * (j + run));
      if (after != value) break;
      ++run;
    }
    if (run >= 4) {
      StoreWord(buf + link, static_cast<uint32_t>(out));
      StoreWord(buf + out, value);
      StoreWord(buf + out + 4, static_cast<uint32_t>(run));
      link = out + 8;
      out += kRunRecordBytes;
    } else {
      for (int64_t i = 0; i < run; ++i, out += 4)
        StoreWord(buf + out, value);
    }
    j += run;
    value = after;
  }
  StoreWord(buf + link, 0);

  auto* shrunk = static_cast<uint8_t*>(std::realloc(buf, out));  // NOLINT: the cell's allocator
  if (shrunk == nullptr) {
    ReleaseCell(cell);
    return 0;
  }
  (void)cell.data.release();
  cell.data.reset(shrunk);
  cell.size = out;
  cell.compressed = 1;
  return static_cast<int32_t>(out);
}

void ExpandCell(const Cell& cell, uint8_t* dest, int32_t stride, int32_t destHeight, int32_t x,
                int32_t y) {
  const int64_t pixels = cell.PixelCount();
  if (cell.Empty() || pixels <= 0 || dest == nullptr) return;
  const int64_t words = (pixels + 3) / 4;
  // Destination row, in memory order, of data row 0 (the cell's bottom row).
  const int64_t firstRow = int64_t{destHeight} - cell.height - y;
  const bool inside = cell.width % 4 == 0 && x >= 0 && int64_t{x} + cell.width <= stride &&
                      firstRow >= 0 && firstRow + cell.height <= destHeight;
  if (inside) {
    // The cell lies in the destination, so its words number fewer than the machine's word holds.
    RowWords sink(dest + firstRow * stride + x, stride, cell.width);
    ExpandItems(cell.data.get(), cell.size, static_cast<intptr_t>(words), sink);
  } else {
    ClippedBytes sink(dest, stride, destHeight, x, firstRow, cell.width, pixels);
    ExpandItems(cell.data.get(), cell.size, words, sink);
  }
}

}  // namespace tavikit
