// Picture decoding. What the code relies on:
//  - The stream starts at byte 19. An item that starts at the position named by the previous
//    escape record (the first time: the header's firstEscape) is an escape record, any other item
//    one literal pixel. A position the stream never reaches (below the current one, or past its
//    end) simply ends the escapes.
//  - Run record, 7 bytes: value, 24-bit count, 24-bit next escape position. Skip record, 6 bytes:
//    24-bit count, 24-bit next escape position. A count of 0 only moves the escape position on.
//  - Pixel number i lies at (i mod width, i div width) in row order and at (i div height,
//    i mod height) in column order: the scan runs along "lines" (rows or columns) of `length`
//    pixels each.
// Every item is applied as whole segments of lines, clipped once against the visible part of the
// picture, so a run of a million pixels costs what the screen can show of it.
#include "pack/picture_decoder.h"

#include <algorithm>
#include <memory>
#include <new>
#include <tuple>
#include <utility>

#include "common/byte_reader.h"
#include "common/short_moves.h"
#include "pack/tile_transpose.h"

namespace tavikit {
namespace {

constexpr size_t kRunRecordSize = 7;
constexpr size_t kSkipRecordSize = 6;

// The part of a scan that the screen shows. The scan runs along lines (rows or columns) of
// `length` pixels; lines lineLo .. lineHi-1 and positions posLo .. posHi-1 along them are
// visible.
struct Window {
  int64_t length = 0;
  int64_t lineLo = 0, lineHi = 0;
  int64_t posLo = 0, posHi = 0;
};

// Where the visible pixels of the lines go. Every kind gives, for a visible line, the address of
// its first visible pixel (lines are asked for in ascending order), the address `k` visible
// pixels further, and copies and fills along a line; Finish() is told where the scan stopped.

// Row order, straight onto the screen.
class ScreenRows {
 public:
  ScreenRows(const Screen& screen, const Window& window) : screen_(screen), posLo_(window.posLo) {}
  uint8_t* Line(int64_t line) const {
    return screen_.At(screen_.cursorX + static_cast<int32_t>(posLo_),
                      screen_.cursorY + static_cast<int32_t>(line));
  }
  static uint8_t* At(uint8_t* row, int64_t k) { return row + k; }
  static void Copy(uint8_t* dst, const uint8_t* src, int64_t n) {
    CopyShort(dst, src, static_cast<size_t>(n));
  }
  static void Fill(uint8_t* dst, uint8_t value, int64_t n) {
    FillShort(dst, value, static_cast<size_t>(n));
  }
  void Finish(int64_t, int64_t) const {}

 private:
  const Screen& screen_;
  int64_t posLo_;
};

// Column order, straight onto the screen one byte per row step: only where no band fits.
class ScreenColumns {
 public:
  ScreenColumns(const Screen& screen, const Window& window)
      : screen_(screen), posLo_(window.posLo), down_(screen.DownStep()) {}
  uint8_t* Line(int64_t line) const {
    return screen_.At(screen_.cursorX + static_cast<int32_t>(line),
                      screen_.cursorY + static_cast<int32_t>(posLo_));
  }
  uint8_t* At(uint8_t* row, int64_t k) const { return row + k * down_; }
  void Copy(uint8_t* dst, const uint8_t* src, int64_t n) const {
    for (int64_t k = 0; k < n; ++k, dst += down_)
      *dst = src[k];
  }
  void Fill(uint8_t* dst, uint8_t value, int64_t n) const {
    for (int64_t k = 0; k < n; ++k, dst += down_)
      *dst = value;
  }
  void Finish(int64_t, int64_t) const {}

 private:
  const Screen& screen_;
  int64_t posLo_;
  intptr_t down_;
};

// Column order through a band of columns held line after line (each column's visible pixels
// contiguous, as the stream gives them). A full band goes to the screen a band row at a time, in
// tiles of 16 x 16 where the processor has vectors for them: whole screen rows stay in cache
// instead of one byte per row step. With skip records the band starts as a copy of the screen,
// so that skipped pixels keep what the screen held; run records write every pixel in scan order,
// so only the part of the band written so far goes back.
class ColumnBand {
 public:
  static constexpr int64_t kMostLines = 128;
  static constexpr int64_t kMostBytes = int64_t{1} << 17;

  // False when no band could be allocated; the decoder then writes the screen directly.
  bool Start(const Screen& screen, const Window& window, bool skips) {
    screen_ = &screen;
    skips_ = skips;
    lineHi_ = window.lineHi;
    posLo_ = window.posLo;
    span_ = window.posHi - window.posLo;
    lines_ = std::clamp<int64_t>(kMostBytes / span_, 1, kMostLines);
    try {
      scratch_ = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(lines_ * span_));
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

  uint8_t* Line(int64_t line) {
    if (count_ == 0 || line >= first_ + count_) Move(line);
    return scratch_.get() + (line - first_) * span_;
  }
  static uint8_t* At(uint8_t* row, int64_t k) { return row + k; }
  static void Copy(uint8_t* dst, const uint8_t* src, int64_t n) {
    CopyShort(dst, src, static_cast<size_t>(n));
  }
  static void Fill(uint8_t* dst, uint8_t value, int64_t n) {
    FillShort(dst, value, static_cast<size_t>(n));
  }

  // Writes the band back to the screen: all of it, or without skip records the pixels before
  // the scan's position (line, pos).
  void Finish(int64_t line, int64_t pos) {
    if (count_ == 0) return;
    if (skips_ || line >= first_ + count_) {
      Transfer(false);
    } else {
      const int64_t whole = line - first_;
      count_ = whole;
      Transfer(false);
      if (pos > posLo_) {
        const int64_t n = std::min(pos, posLo_ + span_) - posLo_;
        uint8_t* row = screen_->At(screen_->cursorX + static_cast<int32_t>(line),
                                   screen_->cursorY + static_cast<int32_t>(posLo_));
        const uint8_t* band = scratch_.get() + whole * span_;
        for (int64_t p = 0; p < n; ++p, row += screen_->DownStep())
          *row = band[p];
      }
    }
    count_ = 0;
  }

 private:
  [[gnu::noinline]] void Move(int64_t line) {
    // Every line of the band has been scanned to its end.
    Finish(first_ + count_, 0);
    first_ = line;
    count_ = std::min(lines_, lineHi_ - line);
    if (skips_) Transfer(true);
  }

  // Between the band and the screen: `load` fills the band from the screen, else the other way.
  // Whole tiles go in vector registers, the pixels around them one by one.
  void Transfer(bool load) {
    const intptr_t down = screen_->DownStep();
    uint8_t* row = screen_->At(screen_->cursorX + static_cast<int32_t>(first_),
                               screen_->cursorY + static_cast<int32_t>(posLo_));
    uint8_t* band = scratch_.get();
    const TiledPart tiled =
        TransferTiles(load, row, down, band, static_cast<size_t>(span_), count_, span_);
    // The lines below the tiles, then the positions past them.
    const int64_t firstLoose = tiled.lines < count_ ? 0 : tiled.positions;
    for (int64_t p = firstLoose; p < span_; ++p) {
      uint8_t* screenRow = row + p * down;
      for (int64_t k = p < tiled.positions ? tiled.lines : 0; k < count_; ++k) {
        if (load) {
          band[k * span_ + p] = screenRow[k];
        } else {
          screenRow[k] = band[k * span_ + p];
        }
      }
    }
  }

  const Screen* screen_ = nullptr;
  std::unique_ptr<uint8_t[]> scratch_;
  int64_t lineHi_ = 0;
  int64_t posLo_ = 0;
  int64_t span_ = 0;   // visible pixels of a line
  int64_t lines_ = 0;  // lines the band holds at most
  int64_t first_ = 0;  // the band's first line
  int64_t count_ = 0;  // lines in the band, 0 before the first
  bool skips_ = false;
};

// The line that holds the scan's next pixel, in pixel numbers counted from the picture's first:
// the line ends before `end`, its visible pixels are lo .. hi-1 and the first of them lies at
// `row` (null, and lo = hi = end, for a line outside the screen).
struct LineView {
  int64_t lo = 0, hi = 0, end = 0;
  uint8_t* row = nullptr;
};

// Steps from line to line. The item loop keeps the pixel number and the current LineView in
// locals and comes here only when a line ends.
template <class Lines>
class LineSteps {
 public:
  static constexpr int64_t kNever = INT64_MAX;

  LineSteps(Lines& lines, const Window& window, int64_t pixels)
      : lines_(lines), window_(window), total_(pixels) {}

  int64_t Total() const { return total_; }

  // Tells the lines where the scan stopped, before pixel i.
  void Finish(int64_t i) {
    const int64_t at = std::min(i, total_);
    lines_.Finish(at / window_.length, at % window_.length);
  }
  LineView First() { return View(); }

  // The view of the line that holds pixel i, past the current line's end; after the last pixel
  // a view that no pixel reaches.
  [[gnu::noinline]] LineView Next(int64_t i) {
    if (i >= total_) return {kNever, kNever, kNever, nullptr};
    if (i < lineStart_ + 2 * window_.length) {
      ++line_;
      lineStart_ += window_.length;
    } else {
      line_ = i / window_.length;
      lineStart_ = line_ * window_.length;
    }
    return View();
  }

  // The next n pixels from pixel i through write(dst, from, count), `from` counting from the
  // first of them; only the visible ones reach it, and only those the picture has. Whole lines
  // outside the screen are passed over at once. Gives the pixel after them and its line.
  template <class Writer>
  [[gnu::noinline]] std::pair<int64_t, LineView> Put(int64_t i, LineView view, int64_t n,
                                                     Writer write) {
    n = std::min(n, total_ - i);
    int64_t from = 0;
    while (n > 0) {
      int64_t take = n;
      if (view.row == nullptr) {
        // Up to the first visible line, or past all the rest.
        if (line_ < window_.lineLo) take = std::min(n, window_.lineLo * window_.length - i);
      } else {
        take = std::min(n, view.end - i);
        const int64_t lo = std::max(i, view.lo);
        const int64_t hi = std::min(i + take, view.hi);
        if (lo < hi) write(lines_.At(view.row, lo - view.lo), from + lo - i, hi - lo);
      }
      i += take;
      if (i >= view.end) view = Next(i);
      from += take;
      n -= take;
    }
    return {i, view};
  }

 private:
  LineView View() {
    const int64_t end = lineStart_ + window_.length;
    if (line_ < window_.lineLo || line_ >= window_.lineHi) return {end, end, end, nullptr};
    return {lineStart_ + window_.posLo, lineStart_ + window_.posHi, end, lines_.Line(line_)};
  }

  Lines& lines_;
  const Window& window_;
  int64_t total_;
  int64_t line_ = 0;
  int64_t lineStart_ = 0;
};

// The item loop, for one escape kind: literal stretches up to the next escape record, then the
// record. The next record's position is the one value each step waits for; everything else
// follows from it, and a stretch or run inside the visible part of one line (the usual case)
// costs one copy or fill. Bounded by both sides: the bytes that remain in the block and the
// pixels that remain in the picture.
template <bool kSkips, class Lines>
[[gnu::noinline]] void DecodeLines(Lines& lines, const Window& window, int64_t pixels,
                                   std::span<const uint8_t> picture, uint32_t firstEscape) {
  LineSteps<Lines> steps(lines, window, pixels);
  const int64_t total = steps.Total();
  LineView view = steps.First();
  int64_t i = 0;  // the next pixel

  const auto moveTo = [&](int64_t next) {
    i = next;
    if (i >= view.end) [[unlikely]]
      view = steps.Next(i);
  };
  const auto put = [&](int64_t n, auto write) { std::tie(i, view) = steps.Put(i, view, n, write); };

  const uint8_t* data = picture.data();
  const size_t end = picture.size();
  size_t p = kPictureHeaderSize;
  size_t e = firstEscape;
  // NOLINTNEXTLINE(bugprone-infinite-loop): moveTo and put advance i.
  while (i < total) {
    // A position below the current one, or past the block, ends the escapes.
    const bool escape = e >= p && e < end;
    const size_t stop = escape ? e : end;
    if (stop > p) {
      const auto n = static_cast<int64_t>(stop - p);
      const uint8_t* src = data + p;
      if (i >= view.lo && i + n <= view.hi) {
        lines.Copy(lines.At(view.row, i - view.lo), src, n);
        moveTo(i + n);
      } else {
        put(n, [&lines, src](uint8_t* to, int64_t from, int64_t count) {
          lines.Copy(to, src + from, count);
        });
      }
    }
    if (!escape || i >= total) break;
    p = e;
    // 24-bit fields read as 32 bits within the record.
    if constexpr (kSkips) {
      if (end - p < kSkipRecordSize) break;
      const int64_t count = static_cast<uint32_t>(LoadLe32(data + p)) & 0xFFFFFF;
      e = static_cast<uint32_t>(LoadLe32(data + p + 2)) >> 8;
      p += kSkipRecordSize;
      moveTo(i + count);
    } else {
      if (end - p < kRunRecordSize) break;
      const uint8_t value = data[p];
      const int64_t count = static_cast<uint32_t>(LoadLe32(data + p)) >> 8;
      e = static_cast<uint32_t>(LoadLe32(data + p + 3)) >> 8;
      p += kRunRecordSize;
      if (i >= view.lo && i + count <= view.hi) {
        lines.Fill(lines.At(view.row, i - view.lo), value, count);
        moveTo(i + count);
      } else {
        put(count, [&lines, value](uint8_t* to, int64_t, int64_t k) { lines.Fill(to, value, k); });
      }
    }
  }
  steps.Finish(i);
}

template <class Lines>
void DecodeWith(Lines& lines, bool skips, const Window& window, int64_t pixels,
                std::span<const uint8_t> picture, uint32_t firstEscape) {
  if (skips) {
    DecodeLines<true>(lines, window, pixels, picture, firstEscape);
  } else {
    DecodeLines<false>(lines, window, pixels, picture, firstEscape);
  }
}

}  // namespace

void DecodePicture(const Screen& screen, std::span<const uint8_t> picture) {
  if (picture.data() == nullptr || picture.size() < kPictureHeaderSize) return;
  const uint8_t* header = picture.data();
  const int32_t width = LoadLe32(header + kPictureWidthAt);
  const int32_t height = LoadLe32(header + kPictureHeightAt);
  if (width <= 0 || height <= 0) return;
  if (header[0] != 'T' || header[1] != 'K') return;
  const uint8_t escapes = header[2];
  const uint8_t order = header[3];
  if ((escapes != '0' && escapes != '1') || (order != '0' && order != '1')) return;
  const bool skips = escapes == '1';
  const bool columns = order == '1';

  // Visible picture columns and rows.
  const int64_t cx = screen.cursorX;
  const int64_t cy = screen.cursorY;
  const int64_t xLo = std::max<int64_t>(0, -cx);
  const int64_t xHi = std::min<int64_t>(width, int64_t{screen.width} - cx);
  const int64_t yLo = std::max<int64_t>(0, -cy);
  const int64_t yHi = std::min<int64_t>(height, int64_t{screen.height} - cy);
  if (xLo >= xHi || yLo >= yHi || screen.pixels == nullptr) return;
  const Window window =
      columns ? Window{height, xLo, xHi, yLo, yHi} : Window{width, yLo, yHi, xLo, xHi};
  const int64_t pixels = int64_t{width} * height;
  const uint32_t firstEscape = LoadLe24(header + kPictureFirstEscapeAt);

  if (!columns) {
    ScreenRows rows(screen, window);
    DecodeWith(rows, skips, window, pixels, picture, firstEscape);
    return;
  }
  ColumnBand band;
  if (band.Start(screen, window, skips)) {
    DecodeWith(band, skips, window, pixels, picture, firstEscape);
  } else {
    ScreenColumns direct(screen, window);
    DecodeWith(direct, skips, window, pixels, picture, firstEscape);
  }
}

}  // namespace tavikit
