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
#include <cstring>
#include <new>
#include <vector>

#include "common/byte_reader.h"
#include "common/cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#endif

namespace tavikit {
namespace {

constexpr size_t kRunRecordSize = 7;
constexpr size_t kSkipRecordSize = 6;

#if defined(__x86_64__) || defined(__i386__)
constexpr int64_t kTile = 16;

// Turns 16 vectors of 16 bytes (rows) into 16 vectors of 16 bytes (columns).
[[gnu::target("sse2")]] inline void Transpose16(
    __m128i (&a)[16]) {  // NOLINT(modernize-avoid-c-arrays)
  __m128i b[16];         // NOLINT(modernize-avoid-c-arrays): vectors keep their alignment here
  __m128i c[16];         // NOLINT(modernize-avoid-c-arrays)
  __m128i d[16];         // NOLINT(modernize-avoid-c-arrays)
  for (size_t i = 0; i < 16; i += 2) {
    b[i] = _mm_unpacklo_epi8(a[i], a[i + 1]);
    b[i + 1] = _mm_unpackhi_epi8(a[i], a[i + 1]);
  }
  for (size_t g = 0; g < 16; g += 4) {
    c[g] = _mm_unpacklo_epi16(b[g], b[g + 2]);
    c[g + 1] = _mm_unpackhi_epi16(b[g], b[g + 2]);
    c[g + 2] = _mm_unpacklo_epi16(b[g + 1], b[g + 3]);
    c[g + 3] = _mm_unpackhi_epi16(b[g + 1], b[g + 3]);
  }
  for (size_t g = 0; g < 16; g += 8) {
    for (size_t j = 0; j < 4; ++j) {
      d[g + 2 * j] = _mm_unpacklo_epi32(c[g + j], c[g + j + 4]);
      d[g + 2 * j + 1] = _mm_unpackhi_epi32(c[g + j], c[g + j + 4]);
    }
  }
  for (size_t j = 0; j < 8; ++j) {
    a[2 * j] = _mm_unpacklo_epi64(d[j], d[j + 8]);
    a[2 * j + 1] = _mm_unpackhi_epi64(d[j], d[j + 8]);
  }
}

// One 16 x 16 tile between 16 screen rows (from `row` on, `down` apart) and 16 band lines (from
// `band` on, `stride` apart).
[[gnu::target("sse2")]] void TransferTile(bool load, uint8_t* row, intptr_t down, uint8_t* band,
                                          size_t stride) {
  __m128i a[16];  // NOLINT(modernize-avoid-c-arrays)
  for (size_t i = 0; i < 16; ++i) {
    const uint8_t* from = load ? row + static_cast<intptr_t>(i) * down : band + i * stride;
    a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  }
  Transpose16(a);
  for (size_t i = 0; i < 16; ++i) {
    uint8_t* to = load ? band + i * stride : row + static_cast<intptr_t>(i) * down;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), a[i]);
  }
}

inline bool TilesInVectors() { return ProcessVectorLevel() != VectorLevel::kPortable; }
#else
constexpr int64_t kTile = 16;
inline bool TilesInVectors() { return false; }
inline void TransferTile(bool, uint8_t*, intptr_t, uint8_t*, size_t) {}
#endif

// Column-order pictures are decoded into a band of up to kBandLines columns held line after
// line (each column's visible pixels contiguous, as the stream gives them), and the band is
// moved to and from the screen a row of the band at a time: whole screen rows stay in cache
// instead of one byte per row step. With skip records the band starts as a copy of the screen,
// so that skipped pixels keep what the screen held; run records write every pixel in scan order,
// so only the part of the band written so far goes back.
class ColumnBand {
 public:
  static constexpr int64_t kBandLines = 16;
  static constexpr int64_t kMaxBandBytes = int64_t{1} << 22;

  // Columns lineLo .. lineHi-1 and rows posLo .. posHi-1 of the picture are visible. False
  // when no band could be allocated; the decoder then writes the screen directly.
  bool Start(const Screen& screen, int64_t lineLo, int64_t lineHi, int64_t posLo, int64_t posHi,
             bool skips) {
    screen_ = &screen;
    skips_ = skips;
    lineHi_ = lineHi;
    posLo_ = posLo;
    span_ = posHi - posLo;
    first_ = lineLo;
    count_ = 0;
    if (span_ > kMaxBandBytes / kBandLines) return false;
    try {
      scratch_.resize(static_cast<size_t>(kBandLines * span_));
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

  // The byte of visible pixel (line, pos), moving the band to the band holding the line.
  uint8_t* At(int64_t line, int64_t pos) {
    if (count_ == 0 || line < first_ || line >= first_ + count_) Move(line);
    return scratch_.data() + (line - first_) * span_ + (pos - posLo_);
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
        const uint8_t* band = scratch_.data() + whole * span_;
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
    count_ = std::min(kBandLines, lineHi_ - line);
    if (skips_) Transfer(true);
  }

  // Between the band and the screen: `load` fills the band from the screen, else the other way.
  // Full bands move in tiles of 16 x 16 pixels where the processor has vectors for it.
  void Transfer(bool load) {
    const intptr_t down = screen_->DownStep();
    uint8_t* row = screen_->At(screen_->cursorX + static_cast<int32_t>(first_),
                               screen_->cursorY + static_cast<int32_t>(posLo_));
    const auto lines = static_cast<size_t>(count_);
    const auto stride = static_cast<size_t>(span_);
    int64_t p = 0;
    if (count_ == kTile && TilesInVectors()) {
      for (; p + kTile <= span_; p += kTile, row += kTile * down)
        TransferTile(load, row, down, scratch_.data() + p, stride);
    }
    for (; p < span_; ++p, row += down) {
      uint8_t* band = scratch_.data() + p;
      if (load) {
        for (size_t k = 0; k < lines; ++k)
          band[k * stride] = row[k];
      } else {
        for (size_t k = 0; k < lines; ++k)
          row[k] = band[k * stride];
      }
    }
  }

  const Screen* screen_ = nullptr;
  std::vector<uint8_t> scratch_;
  int64_t lineHi_ = 0;
  int64_t posLo_ = 0;
  int64_t span_ = 0;   // visible pixels of a line
  int64_t first_ = 0;  // the band's first line
  int64_t count_ = 0;  // lines in the band, 0 before the first
  bool skips_ = false;
};

// The picture's pixels as lines of a scan, with the part of them that lies inside the screen.
class Scan {
 public:
  Scan(const Screen& screen, int32_t width, int32_t height, bool columns)
      : screen_(screen), columns_(columns) {
    const int64_t cx = screen.cursorX;
    const int64_t cy = screen.cursorY;
    // Visible picture columns and rows.
    const int64_t xLo = std::max<int64_t>(0, -cx);
    const int64_t xHi = std::min<int64_t>(width, int64_t{screen.width} - cx);
    const int64_t yLo = std::max<int64_t>(0, -cy);
    const int64_t yHi = std::min<int64_t>(height, int64_t{screen.height} - cy);
    length_ = columns ? height : width;
    lineLo_ = columns ? xLo : yLo;
    lineHi_ = columns ? xHi : yHi;
    posLo_ = columns ? yLo : xLo;
    posHi_ = columns ? yHi : xHi;
    remaining_ = int64_t{width} * height;
    step_ = columns ? screen.DownStep() : 1;
  }

  bool Visible() const { return lineLo_ < lineHi_ && posLo_ < posHi_ && screen_.pixels; }

  // Column order through a band; afterwards each visible line is contiguous (Step() 1).
  void UseBand(ColumnBand& band, bool skips) {
    if (columns_ && band.Start(screen_, lineLo_, lineHi_, posLo_, posHi_, skips)) {
      band_ = &band;
      step_ = 1;
    }
  }
  bool Done() const { return remaining_ == 0; }

  // Applies `put(dst, from, n)` to the visible pixels of the next `count` pixels of the scan,
  // where `from` counts pixels from the first of them; at most the pixels that remain are used.
  template <class Put>
  void Advance(int64_t count, Put put) {
    count = std::min(count, remaining_);
    remaining_ -= count;
    int64_t from = 0;
    while (count > 0) {
      if (pos_ == 0 && (line_ < lineLo_ || line_ >= lineHi_) && count >= length_) {
        // Whole lines outside the screen: pass over them up to the first visible one.
        int64_t lines = count / length_;
        if (line_ < lineLo_) lines = std::min(lines, lineLo_ - line_);
        line_ += lines;
        from += lines * length_;
        count -= lines * length_;
        continue;
      }
      const int64_t n = std::min(count, length_ - pos_);
      if (line_ >= lineLo_ && line_ < lineHi_) {
        const int64_t lo = std::max(pos_, posLo_);
        const int64_t hi = std::min(pos_ + n, posHi_);
        if (lo < hi) put(Address(line_, lo), from + lo - pos_, hi - lo);
      }
      pos_ += n;
      if (pos_ == length_) {
        pos_ = 0;
        ++line_;
      }
      from += n;
      count -= n;
    }
  }

  intptr_t Step() const { return step_; }

  // Puts what the band holds on the screen.
  void Finish() {
    if (band_ != nullptr) band_->Finish(line_, pos_);
  }

 private:
  uint8_t* Address(int64_t line, int64_t pos) const {
    if (band_ != nullptr) return band_->At(line, pos);
    const auto a = static_cast<int32_t>(line);
    const auto b = static_cast<int32_t>(pos);
    return columns_ ? screen_.At(screen_.cursorX + a, screen_.cursorY + b)
                    : screen_.At(screen_.cursorX + b, screen_.cursorY + a);
  }

  const Screen& screen_;
  bool columns_;
  int64_t length_ = 0;
  int64_t lineLo_ = 0, lineHi_ = 0;  // visible lines
  int64_t posLo_ = 0, posHi_ = 0;    // visible positions along a line
  int64_t remaining_ = 0;
  int64_t line_ = 0;  // where the next pixel lies: its line
  int64_t pos_ = 0;   // and its position along the line
  intptr_t step_ = 1;
  ColumnBand* band_ = nullptr;
};

// The item loop, for one escape kind and one scan order. Bounded by both sides: the bytes that
// remain in the block and the pixels that remain in the picture.
template <bool kSkips, bool kColumns>
void DecodeStream(Scan& scan, std::span<const uint8_t> picture, uint32_t firstEscape) {
  const uint8_t* data = picture.data();
  const size_t end = picture.size();
  size_t p = kPictureHeaderSize;
  size_t e = firstEscape;

  const auto copy = [&](uint8_t* dst, int64_t from, int64_t n) {
    const uint8_t* src = data + p + from;
    const intptr_t step = scan.Step();
    if (kColumns && step != 1) {
      for (int64_t k = 0; k < n; ++k, dst += step)
        *dst = src[k];
    } else {
      std::memcpy(dst, src, static_cast<size_t>(n));
    }
  };

  while (!scan.Done() && p < end) {
    if (p == e) {
      if constexpr (kSkips) {
        if (end - p < kSkipRecordSize) return;
        const uint32_t count = LoadLe24(data + p);
        e = LoadLe24(data + p + 3);
        p += kSkipRecordSize;
        scan.Advance(count, [](uint8_t*, int64_t, int64_t) {});
      } else {
        if (end - p < kRunRecordSize) return;
        const uint8_t value = data[p];
        const uint32_t count = LoadLe24(data + p + 1);
        e = LoadLe24(data + p + 4);
        p += kRunRecordSize;
        scan.Advance(count, [&](uint8_t* dst, int64_t, int64_t n) {
          const intptr_t step = scan.Step();
          if (kColumns && step != 1) {
            for (int64_t k = 0; k < n; ++k, dst += step)
              *dst = value;
          } else {
            std::memset(dst, value, static_cast<size_t>(n));
          }
        });
      }
      continue;
    }
    // Literals up to the next escape record or the end of the block.
    const size_t stop = e > p && e < end ? e : end;
    const int64_t before = static_cast<int64_t>(stop - p);
    scan.Advance(before, copy);
    p = stop;
  }
}

// Copies n bytes between buffers that do not overlap: the short stretches of a picture with a
// few fixed-size moves (the last one ending at the stretch's end) instead of a call.
inline void CopyShort(uint8_t* dst, const uint8_t* src, size_t n) {
  if (n > 128) {
    std::memcpy(dst, src, n);
  } else if (n >= 16) {
    for (size_t i = 0; i + 16 < n; i += 16)
      std::memcpy(dst + i, src + i, 16);
    std::memcpy(dst + n - 16, src + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(dst, src, 8);
    std::memcpy(dst + n - 8, src + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(dst, src, 4);
    std::memcpy(dst + n - 4, src + n - 4, 4);
  } else {
    for (size_t i = 0; i < n; ++i)
      dst[i] = src[i];
  }
}

// Row order, with the scan's place kept in locals: a skip moves the place on without touching a
// pixel (whole rows by one division), literal stretches and runs are cut once per row they cross
// and clipped against the visible columns.
template <bool kSkips>
void DecodeRows(const Screen& screen, int32_t width, int32_t height,
                std::span<const uint8_t> picture, uint32_t firstEscape) {
  const int64_t cx = screen.cursorX;
  const int64_t cy = screen.cursorY;
  const int64_t w = width;
  const int64_t xLo = std::max<int64_t>(0, -cx);
  const int64_t xHi = std::min<int64_t>(w, int64_t{screen.width} - cx);
  const int64_t yLo = std::max<int64_t>(0, -cy);
  const int64_t yHi = std::min<int64_t>(height, int64_t{screen.height} - cy);
  int64_t remaining = w * height;
  int64_t line = 0;
  int64_t pos = 0;

  const auto move = [&](int64_t n) {
    pos += n;
    if (pos >= w) {
      if (pos < 2 * w) {
        pos -= w;
        ++line;
      } else {
        line += pos / w;
        pos %= w;
      }
    }
  };
  // The next n pixels (n <= remaining) through fill(dst, from, count), `from` counting from the
  // first of them.
  const auto put = [&](int64_t n, auto fill) {
    remaining -= n;
    int64_t from = 0;
    while (n > 0) {
      if (line < yLo || line >= yHi) {
        // Up to the first visible row, or past the rest.
        const int64_t upTo = line < yLo ? (yLo - line) * w - pos : n;
        const int64_t k = std::min(n, upTo);
        move(k);
        from += k;
        n -= k;
        continue;
      }
      const int64_t take = std::min(n, w - pos);
      const int64_t lo = std::max(pos, xLo);
      const int64_t hi = std::min(pos + take, xHi);
      if (lo < hi) {
        fill(screen.At(static_cast<int32_t>(cx + lo), static_cast<int32_t>(cy + line)),
             from + lo - pos, hi - lo);
      }
      move(take);
      from += take;
      n -= take;
    }
  };

  const uint8_t* data = picture.data();
  const size_t end = picture.size();
  size_t p = kPictureHeaderSize;
  size_t e = firstEscape;
  while (remaining > 0 && p < end) {
    if (p == e) {
      if constexpr (kSkips) {
        if (end - p < kSkipRecordSize) return;
        const int64_t count = std::min<int64_t>(LoadLe24(data + p), remaining);
        e = LoadLe24(data + p + 3);
        p += kSkipRecordSize;
        remaining -= count;
        move(count);
      } else {
        if (end - p < kRunRecordSize) return;
        const uint8_t value = data[p];
        const int64_t count = std::min<int64_t>(LoadLe24(data + p + 1), remaining);
        e = LoadLe24(data + p + 4);
        p += kRunRecordSize;
        put(count, [value](uint8_t* dst, int64_t, int64_t n) {
          std::memset(dst, value, static_cast<size_t>(n));
        });
      }
      continue;
    }
    // Literals up to the next escape record or the end of the block.
    const size_t stop = e > p && e < end ? e : end;
    const int64_t n = std::min(static_cast<int64_t>(stop - p), remaining);
    const uint8_t* src = data + p;
    p = stop;
    if (line >= yLo && line < yHi && pos >= xLo && n <= xHi - pos) {
      // Inside the visible part of one row, the usual case: one copy.
      CopyShort(screen.At(static_cast<int32_t>(cx + pos), static_cast<int32_t>(cy + line)), src,
                static_cast<size_t>(n));
      remaining -= n;
      move(n);
      continue;
    }
    put(n, [src](uint8_t* dst, int64_t from, int64_t count) {
      CopyShort(dst, src + from, static_cast<size_t>(count));
    });
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

  Scan scan(screen, width, height, order == '1');
  if (!scan.Visible()) return;
  const uint32_t firstEscape = LoadLe24(header + kPictureFirstEscapeAt);
  if (order == '0') {
    if (escapes == '0') {
      DecodeRows<false>(screen, width, height, picture, firstEscape);
    } else {
      DecodeRows<true>(screen, width, height, picture, firstEscape);
    }
    return;
  }
  ColumnBand band;
  scan.UseBand(band, escapes == '1');
  if (escapes == '0') {
    DecodeStream<false, true>(scan, picture, firstEscape);
  } else {
    DecodeStream<true, true>(scan, picture, firstEscape);
  }
  scan.Finish();
}

}  // namespace tavikit
