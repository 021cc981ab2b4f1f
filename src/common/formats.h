// Constants of the picture, archive and pack formats that the library reads and the tool
// writes. Header-only and free of the library's other code, so that the tool includes it as it
// stands. Integers in all three formats are 32-bit little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavikit::formats {

// Pictures: a 19-byte header ("TKxy", fileSize, width, height, 24-bit first escape position),
// then the stream. Loadable magics, as little-endian 32-bit values, lie from "TK00" to "TK99".
inline constexpr size_t kPictureHeaderSize = 19;
inline constexpr int32_t kPictureMagicLow = 0x30304B54;   // "TK00"
inline constexpr int32_t kPictureMagicHigh = 0x39394B54;  // "TK99"
inline constexpr bool InPictureMagicRange(int32_t magic) {
  return magic >= kPictureMagicLow && magic <= kPictureMagicHigh;
}
// Picture header fields, by byte offset.
inline constexpr int32_t kPictureFileSizeAt = 4;
inline constexpr int32_t kPictureWidthAt = 8;
inline constexpr int32_t kPictureHeightAt = 12;
inline constexpr int32_t kPictureFirstEscapeAt = 16;

// Picture archives: "TAvi", a signed count, then the byte position of each picture.
inline constexpr char kArchiveMagic[] = "TAvi";
inline constexpr size_t kArchiveHeaderSize = 8;
inline constexpr int32_t kArchiveCountAt = 4;    // byte offset of the count
inline constexpr int32_t kArchiveOffsetsAt = 8;  // byte offset of the first picture position

// "DPMX" packs: a 16-byte header (magic, dataOffset, entryCount, reserved), then 32-byte
// directory records (a NUL-terminated name in 24 bytes, offset, size).
inline constexpr char kPackMagic[] = "DPMX";
inline constexpr size_t kPackHeaderSize = 16;
inline constexpr size_t kPackRecordSize = 32;
inline constexpr size_t kPackNameField = 24;
inline constexpr size_t kPackNameMax = kPackNameField - 1;

}  // namespace tavikit::formats
