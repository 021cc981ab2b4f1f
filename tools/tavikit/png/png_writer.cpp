// The tool's own PNG encoder (see png_writer.h). Deflate's bit order: fields go out least
// significant bit first, Huffman codes most significant bit first. A match may overlap the bytes
// it repeats (a distance shorter than its length), which is how runs are sent.
#include "png/png_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace tavitool {
namespace {

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  // The low `count` bits of `bits`, lowest first.
  void Bits(uint32_t bits, int count) {
    for (int i = 0; i < count; ++i) {
      if (used_ == 0) out_.push_back(0);
      out_.back() = static_cast<uint8_t>(out_.back() | ((bits >> i) & 1) << used_);
      used_ = (used_ + 1) % 8;
    }
  }
  // A Huffman code of `length` bits, highest first.
  void Code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i)
      Bits(code >> i, 1);
  }

 private:
  std::vector<uint8_t>& out_;
  int used_ = 0;
};

// The fixed literal/length code: 0-143 in 8 bits, 144-255 in 9, 256-279 in 7, 280-287 in 8.
void Symbol(BitWriter& w, uint32_t s) {
  if (s < 144) {
    w.Code(0x30 + s, 8);
  } else if (s < 256) {
    w.Code(0x190 + s - 144, 9);
  } else if (s < 280) {
    w.Code(s - 256, 7);
  } else {
    w.Code(0xC0 + s - 280, 8);
  }
}

struct Range {
  uint16_t base;
  uint8_t extra;  // bits after the code
};
// Length codes 257 to 285 and distance codes 0 to 29.
constexpr std::array<Range, 29> kLengths = {{
    {3, 0},  {4, 0},  {5, 0},  {6, 0},   {7, 0},   {8, 0},   {9, 0},   {10, 0},  {11, 1},  {13, 1},
    {15, 1}, {17, 1}, {19, 2}, {23, 2},  {27, 2},  {31, 2},  {35, 3},  {43, 3},  {51, 3},  {59, 3},
    {67, 4}, {83, 4}, {99, 4}, {115, 4}, {131, 5}, {163, 5}, {195, 5}, {227, 5}, {258, 0},
}};
constexpr std::array<Range, 30> kDistances = {{
    {1, 0},     {2, 0},     {3, 0},     {4, 0},      {5, 1},      {7, 1},
    {9, 2},     {13, 2},    {17, 3},    {25, 3},     {33, 4},     {49, 4},
    {65, 5},    {97, 5},    {129, 6},   {193, 6},    {257, 7},    {385, 7},
    {513, 8},   {769, 8},   {1025, 9},  {1537, 9},   {2049, 10},  {3073, 10},
    {4097, 11}, {6145, 11}, {8193, 12}, {12289, 12}, {16385, 13}, {24577, 13},
}};

// The code whose range holds `value`, and the value's offset into it.
template <size_t N>
void Ranged(BitWriter& w, const std::array<Range, N>& table, uint32_t value, uint32_t first,
            bool fiveBitCode) {
  size_t i = N - 1;
  while (table[i].base > value)
    --i;
  if (fiveBitCode) {
    w.Code(static_cast<uint32_t>(i), 5);
  } else {
    Symbol(w, first + static_cast<uint32_t>(i));
  }
  w.Bits(value - table[i].base, table[i].extra);
}

constexpr size_t kWindow = 32768;
constexpr size_t kLongest = 258;

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, size_t rowBytes) {
  std::vector<uint8_t> out;
  BitWriter w(out);
  w.Bits(1, 1);                                 // the last block
  w.Bits(1, 2);                                 // fixed codes
  std::vector<size_t> seen(kWindow, SIZE_MAX);  // where each hash of three bytes was seen last
  const auto hash = [&data](size_t at) {
    return (data[at] << 10 ^ data[at + 1] << 5 ^ data[at + 2]) & (kWindow - 1);
  };
  const auto remember = [&](size_t at) {
    if (at + 2 < data.size()) seen[hash(at)] = at;
  };
  size_t at = 0;
  while (at < data.size()) {
    const size_t limit = std::min(kLongest, data.size() - at);
    size_t length = 0, distance = 0;
    const auto tryDistance = [&](size_t d) {
      if (d == 0 || d > at || d > kWindow) return;
      size_t n = 0;
      while (n < limit && data[at + n] == data[at + n - d])
        ++n;
      if (n > length) length = n, distance = d;
    };
    tryDistance(1);
    tryDistance(rowBytes);
    if (at + 2 < data.size() && seen[hash(at)] != SIZE_MAX) tryDistance(at - seen[hash(at)]);
    if (length < 3) {
      Symbol(w, data[at]);
      remember(at++);
      continue;
    }
    Ranged(w, kLengths, static_cast<uint32_t>(length), 257, false);
    Ranged(w, kDistances, static_cast<uint32_t>(distance), 0, true);
    for (const size_t end = at + length; at < end; ++at)
      remember(at);
  }
  Symbol(w, 256);  // end of block
  return out;
}

uint32_t Crc32(std::string_view type, const std::vector<uint8_t>& body) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (const char ch : type)
    c = table[(c ^ static_cast<uint8_t>(ch)) & 0xFF] ^ (c >> 8);
  for (const uint8_t b : body)
    c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void Be32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& png, std::string_view type, const std::vector<uint8_t>& body) {
  Be32(png, static_cast<uint32_t>(body.size()));
  png.insert(png.end(), type.begin(), type.end());
  png.insert(png.end(), body.begin(), body.end());
  Be32(png, Crc32(type, body));
}

}  // namespace

std::vector<uint8_t> EncodeStablePng(const IndexedImage& image) {
  const auto width = static_cast<size_t>(image.width);
  std::vector<uint8_t> header;
  Be32(header, static_cast<uint32_t>(image.width));
  Be32(header, static_cast<uint32_t>(image.height));
  header.insert(header.end(), {8, 3, 0, 0, 0});  // 8-bit palette indices, no interlace
  std::vector<uint8_t> palette;
  const int32_t entries = image.paletteSize < 1 ? 256 : std::min(image.paletteSize, 256);
  for (int32_t i = 0; i < entries; ++i) {
    for (const int c : {2, 1, 0})  // red, green, blue from blue, green, red
      palette.push_back(image.palette[static_cast<size_t>(i) * 4 + c]);
  }
  std::vector<uint8_t> rows;  // each row: filter type 0, then its pixels
  for (int32_t y = 0; y < image.height; ++y) {
    rows.push_back(0);
    const auto row = image.pixels.begin() + static_cast<ptrdiff_t>(y * width);
    rows.insert(rows.end(), row, row + static_cast<ptrdiff_t>(width));
  }
  std::vector<uint8_t> zlib = {0x78, 0x01};  // deflate, 32 KiB window; header check
  const std::vector<uint8_t> deflated = Deflate(rows, width + 1);
  zlib.insert(zlib.end(), deflated.begin(), deflated.end());
  uint32_t a = 1, b = 0;  // Adler-32 of the rows
  for (const uint8_t byte : rows) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Be32(zlib, b << 16 | a);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Chunk(png, "IHDR", header);
  Chunk(png, "PLTE", palette);
  Chunk(png, "IDAT", zlib);
  Chunk(png, "IEND", {});
  return png;
}

}  // namespace tavitool
