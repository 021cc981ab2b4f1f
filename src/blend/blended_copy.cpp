#include "blend/blended_copy.h"

#include "blend/palette.h"

namespace tavikit {
namespace {

// Runs `mix(d, s)` over every drawn pixel, rows top to bottom and pixels left to right, each
// pair read just before its result is written (source and destination may be one screen).
// With kKeyed, source pixels equal to `key` keep their destination pixel.
template <bool kKeyed, class Mix>
void MixRows(const Screen& destination, const Screen& source, const CopyRect& rect, uint8_t key,
             Mix mix) {
  const Rect span = ClipCopy(rect, source, destination);
  if (span.Empty()) return;
  const auto n = static_cast<int32_t>(span.Columns().Size());
  const auto c0 = static_cast<int32_t>(span.left);
  const auto r0 = static_cast<int32_t>(span.top);
  uint8_t* dst = destination.At(destination.cursorX + c0, destination.cursorY + r0);
  const uint8_t* src = source.At(rect.x + c0, rect.y + r0);
  for (int64_t r = span.top; r < span.bottom; ++r) {
    for (int32_t i = 0; i < n; ++i) {
      const uint8_t s = src[i];
      const uint8_t d = dst[i];
      const uint8_t mixed = mix(d, s);
      dst[i] = kKeyed && s == key ? d : mixed;  // a select, not a branch: keys come in runs or not
    }
    dst += destination.DownStep();
    src += source.DownStep();
  }
}

// Picks the keyed or the plain loop once per call.
template <class Mix>
void MixRowsKeyed(const Screen& destination, const Screen& source, const CopyRect& rect,
                  int32_t key, Mix mix) {
  if (key >= 0 && key <= 255) {
    MixRows<true>(destination, source, rect, static_cast<uint8_t>(key), mix);
  } else {
    MixRows<false>(destination, source, rect, 0, mix);
  }
}

}  // namespace

void CopyThroughTable(const BlendTable& table, const Screen& destination, const Screen& source,
                      const CopyRect& rect, int32_t key) {
  const uint8_t* entries = table.entries.data();
  MixRowsKeyed(destination, source, rect, key,
               [entries](uint8_t d, uint8_t s) { return entries[(size_t{d} << 8) | s]; });
}

void AlphaCopy(BlendState& blend, const Screen& destination, const Screen& source,
               const CopyRect& rect, uint8_t alpha, int32_t key) {
  BuildAlphaTable(blend.table, blend.cube, destination.palette, alpha);
  CopyThroughTable(blend.table, destination, source, rect, key);
}

void AlphaCopyDirect(const ColourCube& cube, const Screen& destination, const Screen& source,
                     const CopyRect& rect, uint8_t alpha, int32_t key) {
  const WeightedPalette weighed = WeighPalette(destination.palette, alpha);
  const WeightedPalette kept = WeighPalette(destination.palette, 255 - alpha);
  MixRowsKeyed(destination, source, rect, key,
               [&](uint8_t d, uint8_t s) { return cube.cells[AlphaMixCell(weighed, kept, s, d)]; });
}

}  // namespace tavikit
