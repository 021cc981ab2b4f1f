// What the tool reports about pictures, archives and packs, read with bounds checks from the
// file's bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavitool {

struct PictureInfo {
  std::string magic;  // the four magic bytes, unprintable ones as "?"
  int32_t fileSize = 0;
  int32_t width = 0;
  int32_t height = 0;
  size_t offset = 0;      // where the picture starts in its file
  bool drawable = false;  // one of TK00, TK10, TK01, TK11 with a size the tool can draw
};

// Describes the picture at `at` of `file`; false (with a reason) when it is not a picture.
bool DescribePicture(std::span<const uint8_t> file, size_t at, PictureInfo& info,
                     std::string& error);

// Describes the picture file `file` (index below 0) or picture `index` of the archive `file`.
bool DescribeStoredPicture(std::span<const uint8_t> file, long long index, PictureInfo& info,
                           std::string& error);

// The archive's picture offsets (count first), or false when `file` is not an archive.
bool ReadArchive(std::span<const uint8_t> file, std::vector<uint32_t>& offsets, int32_t& count,
                 std::string& error);

// A one-line summary of the bytes at `at`: a picture's kind and size, an archive's count, or
// "data".
std::string Summarize(std::span<const uint8_t> file, size_t at);

}  // namespace tavitool
