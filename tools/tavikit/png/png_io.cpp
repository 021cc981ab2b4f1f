// PNG files: the signature, header, size and end checked by hand, then the pixels through the
// platform's codec (png_codec.h), with indices of bit depths below 8 unpacked here.
#include "png/png_io.h"

#include <cstring>

#include "commands/cli.h"
#include "inspect/picture_info.h"
#include "platform/file_io.h"
#include "png/png_codec.h"

namespace tavitool {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kPngHeaderEnd = 8 + 8 + 13;  // signature, IHDR length and type, IHDR body

// What a file that is not a PNG starts with, as far as its first bytes tell.
std::string NotPngReason(const std::vector<uint8_t>& b) {
  auto starts = [&](const char* magic, size_t n) {
    return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
  };
  if (starts("\xFF\xD8\xFF", 3)) return "not a PNG file (starts with JPEG bytes)";
  if (starts("GIF8", 4)) return "not a PNG file (starts with GIF bytes)";
  if (starts("BM", 2)) return "not a PNG file (starts with BMP bytes)";
  if (starts("TK", 2)) return "not a PNG file (a tavikit picture)";
  return "not a PNG file";
}

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

// Checks the signature, the header's size and the IEND chunk at the end.
void CheckPng(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kPngSignature, 8) != 0) {
    Refuse(path + ": " + NotPngReason(bytes));
  }
  if (bytes.size() < kPngHeaderEnd) Refuse(path + ": truncated PNG (cut short in its header)");
  const std::string size = SizeProblem(Be32(bytes, 16), Be32(bytes, 20));
  if (!size.empty()) Refuse(path + ": " + size);
  constexpr uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  if (std::memcmp(bytes.data() + bytes.size() - 12, kEnd, 12) != 0) {
    Refuse(path + ": truncated PNG (it does not end with an IEND chunk)");
  }
}

// Rows of packed indices, most significant bits first at depths below 8, to one byte a pixel.
void UnpackIndices(const std::vector<uint8_t>& raw, int depth, IndexedImage& image) {
  image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
  const size_t rowBytes = (static_cast<size_t>(image.width) * depth + 7) / 8;
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = raw.data() + rowBytes * y;
    for (int32_t x = 0; x < image.width; ++x) {
      const size_t bit = static_cast<size_t>(x) * depth;
      const int shift = 8 - depth - static_cast<int>(bit % 8);
      image.at(x, y) = static_cast<uint8_t>((row[bit / 8] >> shift) & ((1 << depth) - 1));
    }
  }
}

}  // namespace

PngPicture ReadPng(const std::string& path) { return DecodePng(path, ReadInput(path)); }

PngPicture DecodePng(const std::string& path, const std::vector<uint8_t>& bytes) {
  CheckPng(path, bytes);
  PngPicture png;
  png.image.width = static_cast<int32_t>(Be32(bytes, 16));
  png.image.height = static_cast<int32_t>(Be32(bytes, 20));
  png.indexed = bytes[25] == 3;  // colour type 3: indexed
  std::vector<uint8_t> rows;
  const int depth = DecodePngPixels(path, bytes, png, rows);
  if (png.indexed) {
    const size_t rowBytes = (static_cast<size_t>(png.image.width) * depth + 7) / 8;
    if (rows.size() < rowBytes * static_cast<size_t>(png.image.height))
      Refuse(path + ": damaged PNG (fewer pixels than its header promises)");
    UnpackIndices(rows, depth, png.image);
  }
  return png;
}

IndexedImage ReadIndexedPng(const std::string& path) {
  PngPicture png = ReadPng(path);
  if (!png.indexed) {
    Refuse(path + ": not an indexed-colour PNG (give --palette GAME.png to map its colours)");
  }
  return std::move(png.image);
}

bool ReadIndexedPng(const std::string& path, IndexedImage& image, std::string& error) {
  return Try([&] { image = ReadIndexedPng(path); }, error);
}

bool WriteIndexedPng(const std::string& path, const IndexedImage& image, std::string& error) {
  return Try([&] { WriteOutput(path, EncodeIndexedPng(image)); }, error);
}

}  // namespace tavitool
