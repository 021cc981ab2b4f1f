// Where the fields of the host's screen record lie: the export layer's one view of the record.
//
// The record is an array of argument words (width [1], height [2], pixels [5], palette [9],
// window [13], cursor [27] and [28]) everywhere except in Tavikit64.DLL, which HSP's 64-bit
// runtime hands its own structure: 32-bit integers and 64-bit pointers at the byte offsets
// TAVI_REC64_*. An integer field is read as the low 32 bits of its place and a pointer field as
// a whole pointer, which reads a word of either size alike on a little-endian processor.
#pragma once

#include <cstdint>
#include <cstring>

#include "tavikit.h"

namespace tavikit {

// Byte offsets of the fields the library reads.
struct HostRecordLayout {
  int32_t width;
  int32_t height;
  int32_t pixels;
  int32_t palette;
  int32_t hwnd;
  int32_t cursorX;
  int32_t cursorY;
};

#if defined(_WIN64)
inline constexpr HostRecordLayout kHostRecord{
    TAVI_REC64_WIDTH, TAVI_REC64_HEIGHT,   TAVI_REC64_PIXELS,  TAVI_REC64_PALETTE,
    TAVI_REC64_HWND,  TAVI_REC64_CURSOR_X, TAVI_REC64_CURSOR_Y};
#else
inline constexpr int32_t kWordBytes = sizeof(tavi_word);
inline constexpr HostRecordLayout kHostRecord{
    TAVI_REC_WIDTH * kWordBytes,  TAVI_REC_HEIGHT* kWordBytes, TAVI_REC_PIXELS* kWordBytes,
    TAVI_REC_PALETTE* kWordBytes, TAVI_REC_HWND* kWordBytes,   TAVI_REC_CURSOR_X* kWordBytes,
    TAVI_REC_CURSOR_Y* kWordBytes};
#endif

// The 32-bit integer at byte `offset` of the record.
inline int32_t RecordInt(const void* record, int32_t offset) {
  int32_t value = 0;
  std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof value);
  return value;
}

// The pointer-sized word at byte `offset` of the record.
inline tavi_word RecordWord(const void* record, int32_t offset) {
  tavi_word value = 0;
  std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof value);
  return value;
}

}  // namespace tavikit
