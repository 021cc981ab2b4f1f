// What the tool reads back from the files it writes: pictures, archives, packs, waves and sound
// banks, read with bounds checks from the file's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tavitool {

using Bytes = std::span<const uint8_t>;

// The 32-bit little-endian value at `at`; 0 past the end.
uint32_t Le32(Bytes b, size_t at);
// True when `b` holds `n` bytes from `at` on.
bool Has(Bytes b, size_t at, size_t n);
bool HasMagic(Bytes b, size_t at, const char* magic);

// Why a picture of `width` x `height` is not drawn ("" when it is): the one reason that the
// encoder and the decoder give alike.
std::string SizeProblem(int64_t width, int64_t height);

struct PictureInfo {
  std::string magic;  // the four magic bytes, unprintable ones as "?"
  int32_t fileSize = 0;
  int32_t width = 0;
  int32_t height = 0;
  size_t offset = 0;      // where the picture starts in its file
  bool drawable = false;  // one of TK00, TK10, TK01, TK11 with a size the tool can draw
  std::string problem;    // why it is not drawable, or the first fault of its stream
  int64_t records = 0;    // escape records in the stream
};

// Describes the picture at `at` of `file` and walks its stream for the first fault; false
// (with a reason) when it is not a picture at all.
bool DescribePicture(Bytes file, size_t at, PictureInfo& info, std::string& error);

// The archive's picture offsets, or nothing when `file` is not an archive.
std::optional<std::vector<uint32_t>> ReadArchive(Bytes file);

struct PackEntryInfo {
  std::string name;
  int64_t start = 0;  // absolute position in the file
  uint32_t size = 0;
};
struct PackInfo {
  size_t base = 0;
  int32_t count = 0;
  std::vector<PackEntryInfo> entries;
  std::string problem;  // e.g. a directory cut short, an entry past the end
};
// The pack whose header is at `base`, or nothing when no "DPMX" header is there.
std::optional<PackInfo> ReadPack(Bytes file, size_t base);
// Where a pack starts: at 0, else the last "DPMX" header that names a directory inside the
// file (a pack appended to a program).
std::optional<size_t> FindPack(Bytes file);

struct WaveInfo {
  std::string form;  // "plain", "TAVI" or "tavi"
  uint16_t formatTag = 0, channels = 0, bits = 0;
  uint32_t rate = 0, bytesPerSecond = 0, dataBytes = 0;
};
// Describes a wave image of any form; false with the reason when the library would refuse it.
bool DescribeWave(Bytes image, WaveInfo& info, std::string& error);

struct BankEntryInfo {
  uint32_t offset = 0;
  int32_t size = 0;
};
// The entries of a "TKWV" bank, or nothing when `file` is not one.
std::optional<std::vector<BankEntryInfo>> ReadBank(Bytes file);

// A one-line summary of the bytes at `at`: a picture's kind and size, an archive's count, a
// wave's format, or "data".
std::string Summarize(Bytes file, size_t at, size_t size);

}  // namespace tavitool
