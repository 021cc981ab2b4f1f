// The host's screen record and how its pixels are addressed.
//
// The host owns the record (common/host_record.h says where its fields lie) and its pixel buffer.
// Rows are stored bottom-up: row y (row 0 at the top) starts at pixels + (height - 1 - y) * width,
// so one row down the screen is `width` bytes back in memory. A full-colour screen uses the same
// order with three bytes (blue, green, red) per pixel.
#pragma once

#include <cstdint>

#include "common/host_record.h"
#include "common/rect.h"
#include "common/words.h"
#include "tavikit.h"

namespace tavikit {

struct Screen {
  int32_t width = 0;
  int32_t height = 0;
  uint8_t* pixels = nullptr;
  const uint8_t* palette = nullptr;  // 256 entries: blue, green, red, unused
  intptr_t hwnd = 0;
  int32_t cursorX = 0;
  int32_t cursorY = 0;

  // Byte offset of the first pixel of row y from `pixels`.
  intptr_t RowOffset(int32_t y) const {
    return (static_cast<intptr_t>(height) - 1 - y) * static_cast<intptr_t>(width);
  }
  // First pixel of row y of an 8-bit screen.
  uint8_t* Row(int32_t y) const { return pixels + RowOffset(y); }
  uint8_t* At(int32_t x, int32_t y) const { return Row(y) + x; }
  // Distance in bytes from a row to the row below it.
  intptr_t DownStep() const { return -static_cast<intptr_t>(width); }

  // First byte of pixel (x, y) of a full-colour screen.
  uint8_t* ColourAt(int32_t x, int32_t y) const { return pixels + (RowOffset(y) + x) * 3; }

  bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// A key colour argument that matches no pixel (any value outside 0 to 255 does the same).
inline constexpr int32_t kNoKey = -1;

// The part of `rect` that a copy from `source` to `destination` at its cursor may touch, as
// offsets from the rectangle's top-left: columns and rows of 0 .. w-1 and 0 .. h-1 whose source
// pixel lies inside the source screen and whose destination pixel inside the destination.
inline Rect ClipCopy(const CopyRect& rect, const Screen& source, const Screen& destination) {
  const Rect shared =
      Rect::FromSpans(SharedSpan(rect.x, source.width, destination.cursorX, destination.width),
                      SharedSpan(rect.y, source.height, destination.cursorY, destination.height));
  return Rect::FromSize(0, 0, rect.w, rect.h).Intersect(shared);
}

// What an export meets when a screen it works on has no record: a console runtime without screens
// (HSP's hsp3cl) passes none for the current screen, and a screen never selected has none.
// GuardExport turns it into the result 0: nothing is drawn, read or built.
struct NoScreen {};

// Reads the seven fields the library uses from a host screen record; throws NoScreen for none.
inline Screen ReadScreen(const void* record) {
  if (record == nullptr) throw NoScreen{};
  Screen s;
  s.width = RecordInt(record, kHostRecord.width);
  s.height = RecordInt(record, kHostRecord.height);
  s.pixels = ArgPtr<uint8_t>(RecordWord(record, kHostRecord.pixels));
  s.palette = ArgPtr<const uint8_t>(RecordWord(record, kHostRecord.palette));
  s.hwnd = RecordWord(record, kHostRecord.hwnd);
  s.cursorX = RecordInt(record, kHostRecord.cursorX);
  s.cursorY = RecordInt(record, kHostRecord.cursorY);
  return s;
}

// The screen an export argument points at: the one way an export turns a record into a view.
inline Screen ScreenArg(tavi_word record) { return ReadScreen(ArgPtr<const void>(record)); }

// The window handle of the screen an export argument points at; 0 for no record.
inline tavi_word WindowArg(tavi_word record) {
  return record == 0 ? 0 : RecordWord(ArgPtr<const void>(record), kHostRecord.hwnd);
}

}  // namespace tavikit
