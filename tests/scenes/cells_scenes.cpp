// Cell scenes: capture, the run-length form, transparent, keyed and clipped draws.
#include "scenes/scene.h"

namespace taviscene {
namespace {

void CaptureCompressDraw(Canvas& canvas) {
  const Library& lib = canvas.lib();
  HostScreen& art = canvas.Screen(40, 30);
  HostScreen& display = canvas.Screen(64, 48);
  art.FillRandom(21);
  for (int y = 4; y < 20; ++y) {
    for (int x = 0; x < 40; ++x)
      art.at(x, y) = static_cast<uint8_t>((x / 6) % 3 == 0 ? 0 : 9);
  }
  display.FillRandom(22);
  art.SetCursor(2, 1);
  lib.chibi_Get(art.record(), 7, 32, 24);
  display.SetCursor(-6, 30);  // partly off the left and the bottom
  canvas.Result(lib.chibi_Put(display.record(), 7, 1, 0));
  canvas.Result(lib.chibi_Compress(7, 0, 0, 0));
  canvas.Result(lib.chibi_GetInfo(7, 3, 0, 0));
  display.SetCursor(20, 4);
  canvas.Result(lib.chibi_Put(display.record(), 7, 0, 0));
  lib.chibi_Free(7, 7, 0, 0);
}
const Registration kCaptureCompressDraw("cells.capture.compress.draw", CaptureCompressDraw);

void KeyedClippedDraw(Canvas& canvas) {
  const Library& lib = canvas.lib();
  HostScreen& art = canvas.Screen(30, 20);
  HostScreen& display = canvas.Screen(48, 40);
  art.FillRandom(23);
  display.FillRandom(24);
  art.SetCursor(0, 0);
  lib.chibi_Get(art.record(), 8, 28, 20);
  lib.chibi_SetCLIP(5, 6, 30, 20);
  display.SetCursor(1, 3);
  canvas.Result(lib.chibi_PutM(display.record(), 8, art.at(3, 3), 0));
  lib.chibi_Free(8, 8, 0, 0);
}
const Registration kKeyedClippedDraw("cells.putm.clip", KeyedClippedDraw);

}  // namespace
}  // namespace taviscene
