// Frame scenes: the version text, the selection and every plain copy.
#include <cstring>

#include "scenes/scene.h"

namespace taviscene {
namespace {

// A source of random pixels and a target of other random pixels, selected for the copies.
struct Pair {
  HostScreen& source;
  HostScreen& target;
};
Pair SelectRandomPair(Canvas& canvas, int32_t width, int32_t height) {
  HostScreen& source = canvas.Screen(width, height);
  HostScreen& target = canvas.Screen(width, height);
  source.FillRandom(static_cast<uint32_t>(width * 7 + height));
  target.FillRandom(static_cast<uint32_t>(width + height * 5));
  canvas.Result(canvas.lib().tavi_fset(source.record(), 0, 0, 0));
  canvas.Result(canvas.lib().tavi_tset(target.record(), 0, 0, 0));
  return {source, target};
}

void VersionText(Canvas& canvas) {
  uint8_t buffer[16];
  std::memset(buffer, 0xA5, sizeof buffer);
  canvas.Result(canvas.lib().tavi_GetTaviVER(-1, 7, 0x7FFFFFFF, Word(buffer)));
  canvas.Bytes(buffer, sizeof buffer);
}
const Registration kVersionText("frame.version.text", VersionText);

void GcopyWholeGroups(Canvas& canvas) {
  const Pair p = SelectRandomPair(canvas, 64, 40);
  p.target.SetCursor(5, 3);
  canvas.Result(canvas.lib().tavi_gcopy(3, 2, 30, 20));  // 7 groups a row, 2 pixels left over
  p.target.SetCursor(40, 30);
  canvas.Result(canvas.lib().tavi_gcopy(0, 31, 17, 9));
}
const Registration kGcopyWholeGroups("frame.gcopy.whole-groups", GcopyWholeGroups);

void GcopyNothing(Canvas& canvas) {
  const Pair p = SelectRandomPair(canvas, 32, 16);
  p.target.SetCursor(4, 4);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_gcopy(0, 0, 16, 0));
  canvas.Result(lib.tavi_gcopy(0, 0, 16, -3));
  canvas.Result(lib.tavi_gcopy(0, 0, 3, 8));
  canvas.Result(lib.tavi_gcopy(0, 0, -8, 8));
}
const Registration kGcopyNothing("frame.gcopy.nothing-to-copy", GcopyNothing);

void GcopyOverlapping(Canvas& canvas) {
  HostScreen& screen = canvas.Screen(48, 32);
  screen.FillRandom(11);
  const Library& lib = canvas.lib();
  lib.tavi_fset(screen.record(), 0, 0, 0);
  lib.tavi_tset(screen.record(), 0, 0, 0);
  screen.SetCursor(6, 5);  // right and down of the area read
  canvas.Result(lib.tavi_gcopy(4, 3, 32, 20));
  screen.SetCursor(1, 0);  // left and up of it
  canvas.Result(lib.tavi_gcopy(3, 2, 40, 25));
}
const Registration kGcopyOverlapping("frame.gcopy.same-screen-overlap", GcopyOverlapping);

// The 640 x 480 window at the target's cursor, from a larger random source.
void Fillcopy(Canvas& canvas, int32_t ox, int32_t oy) {
  HostScreen& source = canvas.Screen(700, 520);
  HostScreen& target = canvas.Screen(660, 500);
  source.FillRandom(static_cast<uint32_t>(ox * 1000 + oy));
  target.Fill(0x3C);
  const Library& lib = canvas.lib();
  lib.tavi_fset(source.record(), 0, 0, 0);
  lib.tavi_tset(target.record(), 0, 0, 0);
  const int32_t cx = 8, cy = 6;
  target.SetCursor(cx, cy);
  canvas.Result(lib.tavi_fillcopy(cx + ox, cy + oy, 20, 30));
}
void FillcopyInOnePiece(Canvas& canvas) { Fillcopy(canvas, 0, 0); }
void FillcopyRolledAcross(Canvas& canvas) { Fillcopy(canvas, 100, 0); }
void FillcopyRolledDown(Canvas& canvas) { Fillcopy(canvas, 0, 37); }
void FillcopyRolledBothWays(Canvas& canvas) { Fillcopy(canvas, 212, 401); }
void FillcopyOffsetNotAGroup(Canvas& canvas) { Fillcopy(canvas, 7, 3); }
const Registration kFillcopyInOnePiece("frame.fillcopy.one-piece", FillcopyInOnePiece);
const Registration kFillcopyRolledAcross("frame.fillcopy.rolled-across", FillcopyRolledAcross);
const Registration kFillcopyRolledDown("frame.fillcopy.rolled-down", FillcopyRolledDown);
const Registration kFillcopyRolledBoth("frame.fillcopy.rolled-both-ways", FillcopyRolledBothWays);
const Registration kFillcopyOffsetNotAGroup("frame.fillcopy.offset-not-a-group",
                                            FillcopyOffsetNotAGroup);

void TilecopyRepeats(Canvas& canvas) {
  const Pair p = SelectRandomPair(canvas, 96, 64);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_copyset(8, 4, 16, 16));
  p.target.SetCursor(4, 2);
  canvas.Result(lib.tavi_tilecopy(40, 40, 0, 0));
  p.target.SetCursor(48, 10);
  canvas.Result(lib.tavi_tilecopy(44, 50, -8, -3));  // the sign of an offset does not count
}
const Registration kTilecopyRepeats("frame.tilecopy.repeats", TilecopyRepeats);

void TilecopyPastTheTileEdge(Canvas& canvas) {
  const Pair p = SelectRandomPair(canvas, 80, 48);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_copyset(5, 7, 10, 9));  // groups read on past the tile's right edge
  p.target.SetCursor(3, 1);
  canvas.Result(lib.tavi_tilecopy(29, 37, 3, 11));
}
const Registration kTilecopyPastTheTileEdge("frame.tilecopy.past-the-tile-edge",
                                            TilecopyPastTheTileEdge);

void TilecopyKeepsTheRectangle(Canvas& canvas) {
  const Pair p = SelectRandomPair(canvas, 64, 64);
  const Library& lib = canvas.lib();
  HostScreen& other = canvas.Screen(64, 64);
  other.FillRandom(99);
  canvas.Result(lib.tavi_copyset(12, 20, 8, 12));
  canvas.Result(lib.tavi_fset(other.record(), 0, 0, 0));  // a new source keeps the rectangle
  p.target.SetCursor(0, 0);
  canvas.Result(lib.tavi_tilecopy(64, 64, 4, 5));
}
const Registration kTilecopyKeepsTheRectangle("frame.tilecopy.rectangle-outlives-fset",
                                              TilecopyKeepsTheRectangle);

}  // namespace
}  // namespace taviscene
