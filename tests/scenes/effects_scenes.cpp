// Effects scenes: mosaics, zoomed, trapezoid, rotated, checkerboard, keyed and doubled copies.
#include "scenes/scene.h"

namespace taviscene {
namespace {

// A source of random pixels and palette and a target of other random pixels, both selected, the
// target's cursor at (cx, cy).
struct Pair {
  HostScreen& source;
  HostScreen& target;
};
Pair SelectPair(Canvas& canvas, int32_t w, int32_t h, int32_t cx, int32_t cy) {
  HostScreen& source = canvas.Screen(w, h);
  HostScreen& target = canvas.Screen(w, h);
  source.FillRandom(static_cast<uint32_t>(w * 3 + h));
  source.RandomPalette(static_cast<uint32_t>(w + h));
  target.FillRandom(static_cast<uint32_t>(w + h * 11));
  target.SetCursor(cx, cy);
  canvas.Result(canvas.lib().tavi_fset(source.record(), 0, 0, 0));
  canvas.Result(canvas.lib().tavi_tset(target.record(), 0, 0, 0));
  return {source, target};
}

void MosaicsInPlace(Canvas& canvas) {
  const Pair p = SelectPair(canvas, 64, 48, 0, 0);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_AlphaInit(p.source.record(), 0, 0, 0));
  p.source.SetCursor(2, 3);
  canvas.Result(lib.tavi_gmozice(p.source.record(), 6, 4, 5));
  p.source.SetCursor(33, 1);
  canvas.Result(lib.tavi_gmozicn(p.source.record(), 4, 5, 7));
  p.source.SetCursor(1, 30);
  canvas.Result(lib.tavi_gmozicn(p.source.record(), 20, 8, 2));
}
const Registration kMosaicsInPlace("effects.mosaic.corner-and-mean", MosaicsInPlace);

void MosaicCopy(Canvas& canvas) {
  const Pair p = SelectPair(canvas, 64, 48, 7, 5);
  const Library& lib = canvas.lib();
  p.source.SetCursor(3, 2);
  canvas.Result(lib.tavi_mozcopy(50, 37, 6, -1));
  p.target.SetCursor(0, 40);
  canvas.Result(lib.tavi_mozcopy(10, 7, 4, 0x100 + p.source.at(5, 4)));
}
const Registration kMosaicCopy("effects.mosaic.centre-sampled-copy", MosaicCopy);

void Zoom(Canvas& canvas) {
  const Pair p = SelectPair(canvas, 80, 60, -9, 7);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_copyset(-5, 3, 37, 29));  // hangs off the source's left edge
  canvas.Result(lib.tavi_zoomcopy(75, 59, 17, p.source.at(10, 10)));
  p.target.SetCursor(50, -4);
  canvas.Result(lib.tavi_zoomcopy(19, 13, -1, -1));
}
const Registration kZoom("effects.zoom.enlarge-shrink-clip", Zoom);

void Trapezoid(Canvas& canvas) {
  const Pair p = SelectPair(canvas, 120, 64, 10, 6);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_copyset(4, 2, 100, 50));
  canvas.Result(lib.tavi_polycopy(100, 50, 50, 3));
  p.target.SetCursor(0, 0);
  canvas.Result(lib.tavi_polycopy(60, 20, 90, -1));
}
const Registration kTrapezoid("effects.polycopy.widening-and-narrowing", Trapezoid);

void Rotation(Canvas& canvas) {
  const Pair p = SelectPair(canvas, 96, 80, -6, 4);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_rotpos(10, 8, 60, 50));
  canvas.Result(lib.tavi_rotclip(5, 5, 80, 70));
  for (const int32_t angle : {0, 32, 64, 128 + 256, 200}) {
    canvas.Result(lib.tavi_rotset(-1, 30, angle, 0));
    canvas.Result(lib.tavi_rotcopy(70, 66, angle == 200 ? -1 : angle, p.source.at(20, 20)));
    p.target.SetCursor(p.target.width() - 40 - angle / 8, -10 + angle / 16);
  }
  canvas.Result(lib.tavi_rotclip(-1, 0, 0, 0));
  canvas.Result(lib.tavi_rotcopy(30, 90, 1, -1));
}
const Registration kRotation("effects.rotcopy.angles-clip-key-fill", Rotation);

void Mesh(Canvas& canvas) {
  const Pair p = SelectPair(canvas, 48, 40, 3, 2);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_meshcpy(5, 6, 21, 13));
  p.source.SetCursor(1, 20);
  p.target.SetCursor(20, 20);
  canvas.Result(lib.tavi_meshcopy(17, 11, 0x100 + p.source.at(2, 21), 0));
  p.target.SetCursor(1, 1);
  canvas.Result(lib.tavi_meshboxs(9, 7, 0x1AB, 0));
  p.source.SetCursor(-5, 33);
  canvas.Result(lib.tavi_MeshBOX(p.source.record(), 60, 20, 77));
}
const Registration kMesh("effects.mesh.copies-and-fills", Mesh);

void KeyedCopies(Canvas& canvas) {
  const Pair p = SelectPair(canvas, 64, 48, 3, 4);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_copyset(2, 1, 57, 40));
  canvas.Result(lib.tavi_gcopy2(p.source.at(9, 9), 0, 0, 0));
  p.target.SetCursor(-7, 30);
  canvas.Result(lib.tavi_gcopy2e(-1, 0, 0, 0));
  canvas.Result(lib.tavi_tset(p.source.record(), 0, 0, 0));
  p.source.SetCursor(5, 2);  // three pixels ahead of the area read, on the same screen
  canvas.Result(lib.tavi_gcopy2e(p.source.at(4, 4), 0, 0, 0));
}
const Registration kKeyedCopies("effects.gcopy2.keyed-clipped-overlapping", KeyedCopies);

void Doubler(Canvas& canvas) {
  HostScreen& source = canvas.Screen(320, 240);
  HostScreen& full = canvas.Screen(640, 480);
  HostScreen& lines = canvas.Screen(640, 480);
  source.FillRandom(5);
  lines.FillRandom(6);
  const Library& lib = canvas.lib();
  canvas.Result(lib.tavi_fset(source.record(), 0, 0, 0));
  canvas.Result(lib.tavi_tset(full.record(), 0, 0, 0));
  canvas.Result(lib.tavi_HGCP320(0, 0, 0, 0));
  canvas.Result(lib.tavi_tset(lines.record(), 0, 0, 0));
  canvas.Result(lib.tavi_HGCP320(1, 0, 0, 0));
}
const Registration kDoubler("effects.hgcp320.full-and-scan-lines", Doubler);

}  // namespace
}  // namespace taviscene
