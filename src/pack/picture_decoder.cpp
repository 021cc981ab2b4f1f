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
#include <array>
#include <concepts>
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <tuple>
#include <utility>

#include "common/byte_reader.h"
#include "common/cpu.h"
#include "common/formats.h"
#include "common/short_moves.h"
#include "pack/tile_transpose.h"

#include "common/x86_vectors.h"

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

// Where the visible pixels of the lines go: a line sink. It gives, for a visible line, the
// address of its first visible pixel (lines are asked for in ascending order), the address `k`
// visible pixels further, and copies and fills along a line; Finish(line, pos) is told where the
// scan stopped. A buffered sink (kBuffered) holds lines away from the screen: it is told where
// skipped pixels begin, which must show what the screen holds (ShowScreenFrom), and may send
// whole lines of a literal stretch to the screen itself (SendWholeLines, giving how many).
template <class T>
concept LineSink = requires(T& sink, int64_t line, int64_t pos, uint8_t* row, const uint8_t* src,
                            uint8_t value) {
  { T::kBuffered } -> std::convertible_to<bool>;
  { sink.Line(line) } -> std::same_as<uint8_t*>;
  { T::At(row, pos) } -> std::same_as<uint8_t*>;
  T::Copy(row, src, pos);
  T::Fill(row, value, pos);
  sink.Finish(line, pos);
}
&&(!T::kBuffered || requires(T & sink, int64_t line, int64_t pos, const uint8_t* src) {
  sink.ShowScreenFrom(line, pos);
  { sink.SendWholeLines(line, src, pos, pos) } -> std::same_as<int64_t>;
});

// Row order, straight onto the screen.
class ScreenRows {
 public:
  static constexpr bool kBuffered = false;
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

// Column order through a band of columns held line after line (each column's visible pixels
// contiguous, as the stream gives them). A full band goes to the screen a band row at a time, in
// tiles of 16 x 16 where the processor has vectors for them: whole screen rows stay in cache
// instead of one byte per row step. Items write every pixel in scan order until a skip record
// leaves some out, so until then only the part of the band written so far goes back. At the
// band's first skip record the band, from the line it falls in on, becomes a copy of the screen
// (that line's written pixels go to the screen first), so that skipped pixels keep what the
// screen held: a band without skips (a long literal stretch) is never read from the screen.
class ColumnBand {
 public:
  static constexpr int64_t kMostLines = 64;
  static constexpr int64_t kMostBytes = int64_t{1} << 17;
  static constexpr bool kBuffered = true;

  // False when not even a band of one line could be allocated: the picture is then not drawn,
  // as a load that cannot allocate the picture itself draws nothing.
  bool Start(const Screen& screen, const Window& window) {
    screen_ = &screen;
    lineHi_ = window.lineHi;
    posLo_ = window.posLo;
    span_ = window.posHi - window.posLo;
    for (int64_t lines = std::clamp<int64_t>(kMostBytes / span_, 1, kMostLines);; lines = 1) {
      try {
        scratch_ = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(lines * span_));
        lines_ = lines;
        return true;
      } catch (const std::bad_alloc&) {
        if (lines == 1) return false;
      }
    }
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

  // Skipped pixels from the scan's position (line, pos) on: they must show what the screen holds.
  // Lines before it are written whole and stay; the current line's written pixels go to the
  // screen first, and the band from that line on becomes a copy of the screen.
  void ShowScreenFrom(int64_t line, int64_t pos) {
    if (!loaded_ && count_ != 0 && line < first_ + count_) Load(line, pos);
  }

  [[gnu::noinline]] void Load(int64_t line, int64_t pos) {
    const int64_t k = line - first_;
    PutLineStart(k, pos);
    FetchLines(k, count_);
    loaded_ = true;
  }

  // Lines of a literal stretch that fill the whole band from its first line (`lines` of them at
  // most, each `length` bytes from `src` on, the visible part `posLo` bytes in) go to the screen
  // straight from the stretch. Gives how many were taken, 0 or the band's lines; the band is
  // then empty, and the next line asked for starts a new one.
  int64_t SendWholeLines(int64_t line, const uint8_t* src, int64_t length, int64_t lines) {
    if (count_ == 0 || line != first_ || lines < count_) return 0;
    BandToScreen(src + posLo_, ScreenAt(first_, posLo_), Block(length, count_));
    const int64_t taken = count_;
    count_ = 0;
    return taken;
  }

  // Writes the band back to the screen: all of it once it holds the screen, else the pixels
  // before the scan's position (line, pos).
  [[gnu::noinline]] void Finish(int64_t line, int64_t pos) {
    if (count_ == 0) return;
    if (loaded_ || line >= first_ + count_) {
      PutLines(0, count_);
    } else {
      const int64_t whole = line - first_;
      PutLines(0, whole);
      PutLineStart(whole, pos);
    }
    count_ = 0;
  }

 private:
  [[gnu::noinline]] void Move(int64_t line) {
    // Every line of the band has been scanned to its end.
    Finish(first_ + count_, 0);
    first_ = line;
    count_ = std::min(lines_, lineHi_ - line);
    // A band of the full 64 lines ends on a 64-byte boundary of the screen's rows, so that where
    // the rows lie 64-byte aligned alike it meets each of them in one cache line.
    if (lines_ == kMostLines) {
      const auto skew =
          static_cast<int64_t>(reinterpret_cast<uintptr_t>(ScreenAt(line, posLo_)) % kMostLines);
      count_ = std::min(count_, kMostLines - skew);
    }
    loaded_ = false;
  }

  // The pixels of band line k before position pos of its line, to the screen.
  void PutLineStart(int64_t k, int64_t pos) {
    const int64_t n = std::min(pos, posLo_ + span_) - posLo_;
    uint8_t* row = ScreenAt(first_ + k, posLo_);
    const uint8_t* band = scratch_.get() + k * span_;
    for (int64_t p = 0; p < n; ++p, row += screen_->DownStep())
      *row = band[p];
  }

  uint8_t* ScreenAt(int64_t line, int64_t pos) const {
    return screen_->At(screen_->cursorX + static_cast<int32_t>(line),
                       screen_->cursorY + static_cast<int32_t>(pos));
  }

  // `count` band lines of span_ pixels, `stride` bytes apart, and the screen's columns.
  BandBlock Block(int64_t stride, int64_t count) const {
    return {screen_->DownStep(), static_cast<size_t>(stride), count, span_};
  }

  // Band lines from .. to-1 from the screen, and back to it.
  void FetchLines(int64_t from, int64_t to) {
    if (from < to)
      ScreenToBand(ScreenAt(first_ + from, posLo_), BandLine(from), Block(span_, to - from));
  }
  void PutLines(int64_t from, int64_t to) {
    if (from < to)
      BandToScreen(BandLine(from), ScreenAt(first_ + from, posLo_), Block(span_, to - from));
  }
  uint8_t* BandLine(int64_t k) const { return scratch_.get() + k * span_; }

  const Screen* screen_ = nullptr;
  std::unique_ptr<uint8_t[]> scratch_;
  int64_t lineHi_ = 0;
  int64_t posLo_ = 0;
  int64_t span_ = 0;     // visible pixels of a line
  int64_t lines_ = 0;    // lines the band holds at most
  int64_t first_ = 0;    // the band's first line
  int64_t count_ = 0;    // lines in the band, 0 before the first
  bool loaded_ = false;  // the band holds the screen's pixels wherever items have not written
};

// The line that holds the scan's next pixel, in pixel numbers counted from the picture's first:
// the line ends before `end`, its visible pixels are lo .. hi-1 and the first of them lies at
// `row` (null, and lo = hi = end, for a line outside the screen).
template <class Pos>
struct LineView {
  Pos lo = 0, hi = 0, end = 0;
  uint8_t* row = nullptr;
};

// A writer called through a pointer: one WriteAcrossLines serves every kind of item.
template <class Pos>
struct AnyWriter {
  void* context;
  void (*call)(void*, uint8_t*, Pos, Pos);
  void operator()(uint8_t* to, Pos from, Pos k) const { call(context, to, from, k); }
};

// Steps from line to line. The item loop keeps the pixel number and the current LineView in
// locals and comes here only when a line ends. Pixel numbers are of type Pos: the machine's word
// where the picture leaves it room to spare, else 64 bits.
template <LineSink Lines, class Pos>
class LineSteps {
 public:
  using View = LineView<Pos>;
  static constexpr Pos kNever = std::numeric_limits<Pos>::max();

  LineSteps(Lines& lines, const Window& window, int64_t pixels)
      : lines_(lines),
        length_(static_cast<Pos>(window.length)),
        lineLo_(static_cast<Pos>(window.lineLo)),
        lineHi_(static_cast<Pos>(window.lineHi)),
        posLo_(static_cast<Pos>(window.posLo)),
        posHi_(static_cast<Pos>(window.posHi)),
        total_(static_cast<Pos>(pixels)) {}

  Pos Total() const { return total_; }
  Pos Length() const { return length_; }

  // Tells the lines where the scan stopped, before pixel i.
  void Finish(Pos i) {
    const Pos at = std::min(i, total_);
    lines_.Finish(at / length_, at % length_);
  }
  View First() { return Current(); }

  // Pixels from i on, in the current line or past it, are skipped: they show the screen.
  void ShowScreenFrom(Pos i) {
    if constexpr (Lines::kBuffered) lines_.ShowScreenFrom(line_, i - lineStart_);
  }
  // A skip that began in an earlier line ended before pixel i: the current line's pixels before
  // it were skipped too, and its lines may have come to hold this line since the skip began.
  void ShowScreenAtLineStart(Pos i) {
    if constexpr (Lines::kBuffered) {
      if (i > lineStart_) lines_.ShowScreenFrom(line_, 0);
    }
  }

  // A literal stretch of n pixels from pixel i (its bytes from `src` on) that starts a visible
  // line: the whole lines the band sends from it to the screen at once. Gives the pixels taken.
  [[gnu::noinline]] Pos SendWholeLinesCold(Pos& i, View& view, Pos n, const uint8_t* src) {
    Pos taken = 0;
    while (view.row != nullptr && i == view.end - length_) {
      const auto lines = static_cast<Pos>(
          lines_.SendWholeLines(line_, src + taken, length_, (n - taken) / length_));
      if (lines == 0) break;
      taken += lines * length_;
      i += lines * length_;
      line_ += lines - 1;
      lineStart_ += (lines - 1) * length_;
      view = EnterLineOf(i);
    }
    return taken;
  }

  // The steps below as calls of their own, for the loops that take them out of line (see
  // WriteAcross).
  [[gnu::noinline]] View EnterLineOfCold(Pos i) { return EnterLineOf(i); }
  template <class Writer>
  [[gnu::noinline]] std::pair<Pos, View> WriteAcrossLinesOutOfLine(Pos i, View view, Pos n,
                                                                   Writer write) {
    return WriteAcrossLines(i, view, n, write);
  }

  // The view of the line that holds pixel i, past the current line's end; after the last pixel
  // a view that no pixel reaches.
  View EnterLineOf(Pos i) {
    if (i >= total_) return {kNever, kNever, kNever, nullptr};
    if (i < lineStart_ + 2 * length_) {
      ++line_;
      lineStart_ += length_;
    } else {
      line_ = i / length_;
      lineStart_ = line_ * length_;
    }
    return Current();
  }

  // The next n pixels from pixel i through write(dst, from, count), `from` counting from the
  // first of them; only the visible ones reach it, and only those the picture has. Whole lines
  // outside the screen are passed over at once. Gives the pixel after them and its line.
  template <class Writer>
  std::pair<Pos, View> WriteAcrossLines(Pos i, View view, Pos n, Writer write) {
    n = std::min(n, total_ - i);
    Pos from = 0;
    while (n > 0) {
      Pos take = n;
      if (view.row == nullptr) {
        // Up to the first visible line, or past all the rest.
        if (line_ < lineLo_) take = std::min(n, lineLo_ * length_ - i);
      } else {
        take = std::min(n, view.end - i);
        const Pos lo = std::max(i, view.lo);
        const Pos hi = std::min(i + take, view.hi);
        if (lo < hi) write(lines_.At(view.row, lo - view.lo), from + lo - i, hi - lo);
      }
      i += take;
      if (i >= view.end) view = EnterLineOf(i);
      from += take;
      n -= take;
    }
    return {i, view};
  }

 private:
  View Current() {
    const Pos end = lineStart_ + length_;
    if (line_ < lineLo_ || line_ >= lineHi_) return {end, end, end, nullptr};
    return {lineStart_ + posLo_, lineStart_ + posHi_, end, lines_.Line(line_)};
  }

  Lines& lines_;
  Pos length_, lineLo_, lineHi_, posLo_, posHi_;
  Pos total_;
  Pos line_ = 0;
  Pos lineStart_ = 0;
};

#if TAVIKIT_X86
// Moves in 64-byte vectors, the last one masked to the bytes that remain: no branch on a short
// length, and nothing read or written past the n bytes.
struct MaskedMoves {
  TAVIKIT_TARGET_AVX512 static void Copy(uint8_t* dst, const uint8_t* src, ptrdiff_t n) {
    for (; n > 64; n -= 64, dst += 64, src += 64)
      _mm512_storeu_si512(dst, _mm512_loadu_si512(src));
    const __mmask64 mask = FirstBytesMask(static_cast<size_t>(n));
    _mm512_mask_storeu_epi8(dst, mask, _mm512_maskz_loadu_epi8(mask, src));
  }
  TAVIKIT_TARGET_AVX512 static void Fill(uint8_t* dst, uint8_t value, ptrdiff_t n) {
    const __m512i v = _mm512_set1_epi8(static_cast<char>(value));
    for (; n > 64; n -= 64, dst += 64)
      _mm512_storeu_si512(dst, v);
    _mm512_mask_storeu_epi8(dst, FirstBytesMask(static_cast<size_t>(n)), v);
  }
};
#endif

// The moves of a line's own kind.
template <class Lines>
struct LineMoves {
  static void Copy(Lines& lines, uint8_t* dst, const uint8_t* src, ptrdiff_t n) {
    lines.Copy(dst, src, n);
  }
  static void Fill(Lines& lines, uint8_t* dst, uint8_t value, ptrdiff_t n) {
    lines.Fill(dst, value, n);
  }
};

// The next n pixels from pixel i through write(dst, from, count), across lines. For a band, in a
// call of its own: inlined beside the band's steps, its loop left the item loop short of
// registers, and the scan position went to the stack and back at every item. For screen rows in
// line: their item loop has the registers, and a picture of long stretches calls it at nearly
// every line. Where the item loop is not the one that runs (pixel numbers in 64 bits in 32-bit
// code) through a pointer, one copy for every kind of item, which keeps the library small.
template <class Lines, class Pos, class Writer>
[[gnu::always_inline]] inline std::pair<Pos, LineView<Pos>> WriteAcross(
    LineSteps<Lines, Pos>& steps, Pos i, LineView<Pos> view, Pos n, Writer write) {
  if constexpr (sizeof(Pos) > sizeof(intptr_t)) {
    const AnyWriter<Pos> any{&write, [](void* context, uint8_t* to, Pos from, Pos k) {
                               (*static_cast<Writer*>(context))(to, from, k);
                             }};
    return steps.WriteAcrossLinesOutOfLine(i, view, n, any);
  } else if constexpr (Lines::kBuffered) {
    return steps.WriteAcrossLinesOutOfLine(i, view, n, write);
  } else {
    return steps.WriteAcrossLines(i, view, n, write);
  }
}

// The pixels of a literal stretch of n (its bytes from `src` on) that a buffered sink sends to
// the screen as whole lines, i and view moved past them; 0 for other sinks.
template <class Lines, class Pos>
[[gnu::always_inline]] inline Pos SentWholeLines(LineSteps<Lines, Pos>& steps, Pos& i,
                                                 LineView<Pos>& view, Pos n, const uint8_t* src) {
  if constexpr (Lines::kBuffered) {
    return n < steps.Length() ? 0 : steps.SendWholeLinesCold(i, view, n, src);
  } else {
    return 0;
  }
}

// The escape record at p of one kind: its count (and value, for a run record) and, into e, the
// position of the next escape, p moved past it. False when the block ends inside it. 24-bit fields
// are read as 32 bits within the record.
struct EscapeRecord {
  uint32_t count;
  uint8_t value;
};
template <bool kSkips>
[[gnu::always_inline]] inline bool ReadEscape(const uint8_t* data, size_t end, size_t& p, size_t& e,
                                              EscapeRecord& record) {
  if constexpr (kSkips) {
    if (end - p < kSkipRecordSize) return false;
    record.count = static_cast<uint32_t>(LoadLe32(data + p)) & 0xFFFFFF;
    e = static_cast<uint32_t>(LoadLe32(data + p + 2)) >> 8;
    p += kSkipRecordSize;
  } else {
    if (end - p < kRunRecordSize) return false;
    record.value = data[p];
    record.count = static_cast<uint32_t>(LoadLe32(data + p)) >> 8;
    e = static_cast<uint32_t>(LoadLe32(data + p + 3)) >> 8;
    p += kRunRecordSize;
  }
  return true;
}

// The item loop, for one escape kind: literal stretches up to the next escape record, then the
// record. The next record's position is the one value each step waits for; everything else
// follows from it, and a stretch or run inside the visible part of one line (the usual case)
// costs one copy or fill. Bounded by both sides: the bytes that remain in the block and the
// pixels that remain in the picture.
//  - The scan's position (the next pixel i and the view of its line) is kept here, in registers;
//    the line steps come in only where a line ends. Where the loop is not the one that runs
//    (pixel numbers in 64 bits in 32-bit code) the line steps stay out of it, which keeps the
//    library small; a band's too: inlined, they leave the item loop short of registers.
//  - moveTo and apply give false once the scan has passed the picture's last pixel: that is
//    tested only where a line ends, which keeps the total out of the loop's registers.
//  - apply writes the next n pixels through write(dst, from, count): one call inside the visible
//    part of the current line, else piece by piece.
template <bool kSkips, class Pos, class Lines, class Moves>
inline void DecodeItems(Lines& lines, const Window& window, int64_t pixels,
                        std::span<const uint8_t> picture, uint32_t firstEscape) {
  constexpr bool kApart = sizeof(Pos) > sizeof(intptr_t);
  LineSteps<Lines, Pos> steps(lines, window, pixels);
  const Pos total = steps.Total();
  LineView<Pos> view = steps.First();
  Pos i = 0;  // the next pixel
  const auto moveTo = [&](Pos next) {
    i = next;
    if (i >= view.end) [[unlikely]] {
      if (i >= total) return false;
      view = kApart || Lines::kBuffered ? steps.EnterLineOfCold(i) : steps.EnterLineOf(i);
    }
    return true;
  };
  const auto apply = [&](Pos n, auto write) {
    if (i >= view.lo && i + n <= view.hi) {
      write(lines.At(view.row, i - view.lo), 0, n);
      return moveTo(i + n);
    }
    std::tie(i, view) = WriteAcross(steps, i, view, n, write);
    return i < total;
  };
  const uint8_t* data = picture.data();
  const size_t end = picture.size();
  size_t p = formats::kPictureHeaderSize;
  size_t e = firstEscape;
  for (;;) {
    // A position below the current one, or past the block, ends the escapes.
    const bool escape = e >= p && e < end;
    const size_t stop = escape ? e : end;
    if (stop > p) {
      const uint8_t* src = data + p;
      auto n = static_cast<Pos>(stop - p);
      const Pos taken = SentWholeLines(steps, i, view, n, src);
      src += taken;
      n -= taken;
      const auto copy = [&lines, src](uint8_t* to, Pos from, Pos k) {
        Moves::Copy(lines, to, src + from, k);
      };
      if (!apply(n, copy)) break;
    }
    if (!escape) break;
    p = e;
    EscapeRecord record{};
    if (!ReadEscape<kSkips>(data, end, p, e, record)) break;
    const auto count = static_cast<Pos>(record.count);
    if constexpr (kSkips) {
      if (count != 0) steps.ShowScreenFrom(i);
      const bool leavesLine = i + count >= view.end;
      if (!moveTo(i + count)) break;
      if (leavesLine) steps.ShowScreenAtLineStart(i);
    } else {
      const auto fill = [&lines, value = record.value](uint8_t* to, Pos, Pos k) {
        Moves::Fill(lines, to, value, k);
      };
      if (!apply(count, fill)) break;
    }
  }
  steps.Finish(i);
}

template <bool kSkips, class Pos, class Lines>
[[gnu::noinline]] void DecodeLines(Lines& lines, const Window& window, int64_t pixels,
                                   std::span<const uint8_t> picture, uint32_t firstEscape) {
  DecodeItems<kSkips, Pos, Lines, LineMoves<Lines>>(lines, window, pixels, picture, firstEscape);
}

#if TAVIKIT_X86
// The same loop with masked moves, for lines whose pixels lie side by side.
template <bool kSkips, class Pos, class Lines>
[[gnu::noinline, gnu::flatten]] TAVIKIT_TARGET_AVX512 void DecodeLinesMasked(
    Lines& lines, const Window& window, int64_t pixels, std::span<const uint8_t> picture,
    uint32_t firstEscape) {
  struct Moves {
    static void Copy(Lines&, uint8_t* dst, const uint8_t* src, ptrdiff_t n) {
      MaskedMoves::Copy(dst, src, n);
    }
    static void Fill(Lines&, uint8_t* dst, uint8_t value, ptrdiff_t n) {
      MaskedMoves::Fill(dst, value, n);
    }
  };
  DecodeItems<kSkips, Pos, Lines, Moves>(lines, window, pixels, picture, firstEscape);
}
#endif

template <class Lines>
using LinesDecoder = void (*)(Lines& lines, bool skips, const Window& window, int64_t pixels,
                              std::span<const uint8_t> picture, uint32_t firstEscape);

// Pixel numbers in 64 bits; in 32-bit code this loop keeps the line steps out of it, which keeps
// the library small.
template <class Lines>
void DecodeCounting64(Lines& lines, bool skips, const Window& window, int64_t pixels,
                      std::span<const uint8_t> picture, uint32_t firstEscape) {
  if (skips) {
    DecodeLines<true, int64_t>(lines, window, pixels, picture, firstEscape);
  } else {
    DecodeLines<false, int64_t>(lines, window, pixels, picture, firstEscape);
  }
}

#if TAVIKIT_X86
// The AVX-512 loop keeps pixel numbers in single machine words where the picture leaves room:
// they stay below the picture's pixels plus a record's count or a stretch of the block, and a
// line's start plus two lines, so a quarter of the word's range is enough.
template <class Lines>
void DecodeMaskedInWords(Lines& lines, bool skips, const Window& window, int64_t pixels,
                         std::span<const uint8_t> picture, uint32_t firstEscape) {
  constexpr int64_t kWordRoom = INTPTR_MAX / 4;
  if (pixels > kWordRoom || picture.size() > static_cast<size_t>(kWordRoom)) {
    DecodeCounting64(lines, skips, window, pixels, picture, firstEscape);
  } else if (skips) {
    DecodeLinesMasked<true, intptr_t>(lines, window, pixels, picture, firstEscape);
  } else {
    DecodeLinesMasked<false, intptr_t>(lines, window, pixels, picture, firstEscape);
  }
}
#endif

template <class Lines>
constexpr auto kLinesDecoders = std::to_array<VectorKernel<LinesDecoder<Lines>>>({
#if TAVIKIT_X86
  {VectorLevel::kAvx512, DecodeMaskedInWords<Lines>},
#endif
      {VectorLevel::kPortable, DecodeCounting64<Lines>},
});

template <class Lines>
void DecodeWith(Lines& lines, bool skips, const Window& window, int64_t pixels,
                std::span<const uint8_t> picture, uint32_t firstEscape) {
  ChosenKernel<kLinesDecoders<Lines>>()(lines, skips, window, pixels, picture, firstEscape);
}

}  // namespace

void DecodePicture(const Screen& screen, std::span<const uint8_t> picture) {
  if (picture.data() == nullptr || picture.size() < formats::kPictureHeaderSize) return;
  const uint8_t* header = picture.data();
  const int32_t width = LoadLe32(header + formats::kPictureWidthAt);
  const int32_t height = LoadLe32(header + formats::kPictureHeightAt);
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
  const uint32_t firstEscape = LoadLe24(header + formats::kPictureFirstEscapeAt);

  if (!columns) {
    ScreenRows rows(screen, window);
    DecodeWith(rows, skips, window, pixels, picture, firstEscape);
    return;
  }
  ColumnBand band;
  if (band.Start(screen, window)) DecodeWith(band, skips, window, pixels, picture, firstEscape);
}

}  // namespace tavikit
