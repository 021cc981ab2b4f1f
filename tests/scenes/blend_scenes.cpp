// Blend scenes: the colour cube, the blend tables, the blended copies and the fades.
#include <array>
#include <vector>

#include "scenes/scene.h"

namespace taviscene {
namespace {

// The blend table as tavi_gcopya applies it, recorded: a 256 x 256 grid whose pixel (s, d) is d,
// blended with a source whose pixel (s, d) is s.
void RecordTable(Canvas& canvas) {
  const Library& lib = canvas.lib();
  HostScreen grid(256, 256), sources(256, 256);
  for (int d = 0; d < 256; ++d) {
    for (int s = 0; s < 256; ++s) {
      grid.at(s, d) = static_cast<uint8_t>(d);
      sources.at(s, d) = static_cast<uint8_t>(s);
    }
  }
  lib.tavi_fset(sources.record(), 0, 0, 0);
  lib.tavi_copyset(0, 0, 256, 256);
  canvas.Result(lib.tavi_gcopya(grid.record(), 0, 0, 0));
  canvas.Bytes(grid.pixels().data(), grid.pixels().size());
}

// The whole colour cube, recorded 256 cells at a time through the factor tables with factors 0.
void RecordCube(Canvas& canvas) {
  const Library& lib = canvas.lib();
  HostScreen probe(1, 1);
  for (int chunk = 0; chunk < 128; ++chunk) {
    for (int i = 0; i < 256; ++i) {
      const int cell = chunk * 256 + i;
      probe.SetColour(i, static_cast<uint8_t>((cell >> 10) * 8),
                      static_cast<uint8_t>(((cell >> 5) & 31) * 8),
                      static_cast<uint8_t>((cell & 31) * 8));
    }
    lib.tavi_fset(probe.record(), 0, 0, 0);
    lib.tavi_decset(probe.record(), 0, 0, 0);
    lib.tavi_addset(probe.record(), 0, 0, 0);
    RecordTable(canvas);
  }
}

void CubeFromEveryCount(Canvas& canvas) {
  HostScreen& screen = canvas.Screen(1, 1);
  for (const int count : {1, 44, 0, 300}) {
    screen.RandomPalette(static_cast<uint32_t>(count) + 1);
    canvas.Result(canvas.lib().tavi_AlphaInit(screen.record(), count, 0, 1));
    RecordCube(canvas);
  }
}
const Registration kCubeFromEveryCount("blend.alphainit.cube", CubeFromEveryCount);

void FactorTables(Canvas& canvas) {
  const Library& lib = canvas.lib();
  HostScreen& destination = canvas.Screen(1, 1);
  HostScreen& source = canvas.Screen(1, 1);
  destination.RandomPalette(5);
  source.RandomPalette(6);
  canvas.Result(lib.tavi_AlphaInit(destination.record(), 0, 0, 0));
  for (const tavi_export_fn build : {lib.tavi_addset, lib.tavi_decset, lib.tavi_edecset}) {
    lib.tavi_fset(source.record(), 0, 0, 0);
    canvas.Result(build(destination.record(), 200, 256 + 90, -1));
    RecordTable(canvas);
  }
}
const Registration kFactorTables("blend.tables.factors", FactorTables);

void BlendedCopies(Canvas& canvas) {
  const Library& lib = canvas.lib();
  HostScreen& source = canvas.Screen(64, 48);
  HostScreen& target = canvas.Screen(50, 40);
  source.FillRandom(7);
  target.FillRandom(8);
  target.RandomPalette(9);
  source.palette() = target.palette();
  canvas.Result(lib.tavi_AlphaInit(target.record(), 0, 0, 0));
  lib.tavi_fset(source.record(), 0, 0, 0);
  lib.tavi_copyset(3, 4, 40, 30);
  const std::array<std::array<int32_t, 2>, 4> cursors{{{-5, 2}, {20, -7}, {30, 25}, {0, 0}}};
  const std::array<tavi_export_fn, 4> copies{lib.tavi_gcopyf, lib.tavi_gcopyfc, lib.tavi_gcopyfr,
                                             lib.tavi_gcopyfrc};
  for (size_t i = 0; i < copies.size(); ++i) {
    target.SetCursor(cursors[i][0], cursors[i][1]);
    canvas.Result(copies[i](target.record(), 60 + 50 * static_cast<int>(i), source.at(5, 5), 0));
  }
  canvas.Result(lib.tavi_addset(target.record(), 30, 60, 90));
  target.SetCursor(7, 3);
  canvas.Result(lib.tavi_gcopya(target.record(), 0, 0, 0));
}
const Registration kBlendedCopies("blend.gcopyf.clipped", BlendedCopies);

void Fades(Canvas& canvas) {
  const Library& lib = canvas.lib();
  HostScreen& source = canvas.Screen(80, 60);
  HostScreen& target = canvas.Screen(80, 60);
  source.FillRandom(10);
  lib.tavi_fset(source.record(), 0, 0, 0);
  lib.tavi_tset(target.record(), 0, 0, 0);
  lib.tavi_copyset(2, 3, 37, 23);
  for (const int level : {64, 128, 192, 255}) {
    target.SetCursor(level / 8, level / 16);
    canvas.Result(lib.tavi_GFade(level, level == 192 ? 300 : source.at(4, 4), 0, 0));
  }
  const std::array<uint8_t, 16> pattern{1, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 0, 1, 1, 1, 0};
  target.SetCursor(40, 30);
  canvas.Result(lib.tavi_GFade2(Word(pattern.data()), 0, 0, 0));
}
const Registration kFades("blend.gfade.levels", Fades);

}  // namespace
}  // namespace taviscene
