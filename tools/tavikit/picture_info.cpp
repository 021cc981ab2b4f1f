#include "picture_info.h"

#include <cstdio>

namespace tavitool {
namespace {

// Pictures larger than this many pixels are described but not drawn by the tool.
constexpr int64_t kMaxDrawPixels = int64_t{1} << 28;

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

bool Has(std::span<const uint8_t> file, size_t at, size_t n) {
  return at <= file.size() && file.size() - at >= n;
}

}  // namespace

bool DescribePicture(std::span<const uint8_t> file, size_t at, PictureInfo& info,
                     std::string& error) {
  if (!Has(file, at, 19)) {
    error = "not a picture (shorter than its 19-byte header)";
    return false;
  }
  const auto magic = static_cast<int32_t>(Le32(file, at));
  if (magic < 0x30304B54 || magic > 0x39394B54) {
    error = "not a picture (no TK magic)";
    return false;
  }
  info.magic.clear();
  for (size_t i = 0; i < 4; ++i) {
    const uint8_t c = file[at + i];
    info.magic += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  info.fileSize = static_cast<int32_t>(Le32(file, at + 4));
  info.width = static_cast<int32_t>(Le32(file, at + 8));
  info.height = static_cast<int32_t>(Le32(file, at + 12));
  info.offset = at;
  const bool known =
      info.magic == "TK00" || info.magic == "TK10" || info.magic == "TK01" || info.magic == "TK11";
  info.drawable = known && info.width > 0 && info.height > 0 &&
                  int64_t{info.width} * info.height <= kMaxDrawPixels;
  return true;
}

bool ReadArchive(std::span<const uint8_t> file, std::vector<uint32_t>& offsets, int32_t& count,
                 std::string& error) {
  if (!Has(file, 0, 8) || Le32(file, 0) != 0x69764154) {
    error = "not an archive (no TAvi magic)";
    return false;
  }
  count = static_cast<int32_t>(Le32(file, 4));
  offsets.clear();
  for (int64_t i = 0; i < count && Has(file, 8 + 4 * static_cast<size_t>(i), 4); ++i)
    offsets.push_back(Le32(file, 8 + 4 * static_cast<size_t>(i)));
  return true;
}

bool DescribeStoredPicture(std::span<const uint8_t> file, long long index, PictureInfo& info,
                           std::string& error) {
  if (index < 0) return DescribePicture(file, 0, info, error);
  std::vector<uint32_t> offsets;
  int32_t count = 0;
  if (!ReadArchive(file, offsets, count, error)) return false;
  if (index >= static_cast<long long>(offsets.size())) {
    error = "no picture " + std::to_string(index) + " (the archive holds " + std::to_string(count) +
            ")";
    return false;
  }
  return DescribePicture(file, offsets[static_cast<size_t>(index)], info, error);
}

std::string Summarize(std::span<const uint8_t> file, size_t at) {
  PictureInfo info;
  std::string ignored;
  if (DescribePicture(file, at, info, ignored)) {
    return info.magic + " " + std::to_string(info.width) + " x " + std::to_string(info.height);
  }
  if (Has(file, at, 8) && Le32(file, at) == 0x69764154) {
    return "archive of " + std::to_string(static_cast<int32_t>(Le32(file, at + 4)));
  }
  return "data";
}

}  // namespace tavitool
