// Version, selection and the plain copies, through the exports.
#include <cstring>
#include <vector>

#include "harness/fixture.h"
#include "tavikit_screen_exports.h"

namespace tavitest {
namespace {

// The tiled fill by its definition: group k of row r at the cursor comes from the tile's row
// (oy + r) mod th and its columns from (ox + 4k) mod tw on (groups read past the tile's edge),
// offsets taken without their sign; each group is read whole just before it is written.
void ModelTile(HostScreen& dst, const HostScreen& src, int tx, int ty, int tw, int th, int w, int h,
               int ox, int oy, int cx, int cy) {
  ox = ox < 0 ? -ox : ox;
  oy = oy < 0 ? -oy : oy;
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; c += 4) {
      uint8_t group[4];
      for (int i = 0; i < 4; ++i)
        group[i] = src.at(tx + (ox + c) % tw + i, ty + (oy + r) % th);
      for (int i = 0; i < 4; ++i)
        dst.at(cx + c + i, cy + r) = group[i];
    }
  }
}

class FrameTest : public ExportTest {};

TEST_F(FrameTest, VersionTextIsTwelveBytesAndTheRestIsUntouched) {
  uint8_t buffer[16];
  std::memset(buffer, 0xAA, sizeof buffer);
  EXPECT_EQ(lib().tavi_GetTaviVER(123, -1, 77, Word(buffer)), 0);
  EXPECT_EQ(std::memcmp(buffer, "[tavi 2.11]", 12), 0);
  EXPECT_EQ(std::memcmp(buffer + 12, "\xAA\xAA\xAA\xAA", 4), 0);
}

TEST_F(FrameTest, GcopyCopiesWholeGroupsOfNonSquareAreas) {
  for (const auto& [w, h] : {std::pair{7, 2}, {3, 5}, {12, 3}, {4, 1}}) {
    HostScreen src(16, 8), dst(16, 8);
    src.FillRandom(1);
    dst.Fill(0xEE);
    Select(src, dst);
    dst.SetCursor(3, 2);
    EXPECT_EQ(lib().tavi_gcopy(1, 0, w, h), 0);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 16; ++x) {
        const bool copied = y >= 2 && y < 2 + h && x >= 3 && x < 3 + w / 4 * 4;
        ASSERT_EQ(dst.at(x, y), copied ? src.at(x - 2, y - 2) : 0xEE) << w << "x" << h;
      }
    }
  }
}

// Within one row of one screen, a target 4 to 15 pixels ahead of the source reads groups that
// earlier groups of the same copy have written: the first `lead` pixels repeat.
TEST_F(FrameTest, GcopyAheadWithinOneRowRepeatsWhatItWrote) {
  for (const int lead : {4, 8, 12, 16}) {
    HostScreen screen(40, 1);
    for (int x = 0; x < 40; ++x)
      screen.at(x, 0) = static_cast<uint8_t>(x);
    Select(screen, screen);
    screen.SetCursor(lead, 0);
    lib().tavi_gcopy(0, 0, 16, 1);
    for (int x = 0; x < 40; ++x) {
      const int want = x < lead || x >= lead + 16 ? x : (x - lead) % lead;
      ASSERT_EQ(screen.at(x, 0), want) << "lead " << lead << " at " << x;
    }
  }
}

// The window is 640 x 480 at the target's cursor; pixel (X, Y) of it shows source pixel
// (sx + (X - ox) mod 640, sy + (Y - oy) mod 480), except that the piece left of X = ox and the
// piece from it on each drop their last (width mod 4) columns.
TEST_F(FrameTest, FillcopyRollsTheAreaAroundTheWindow) {
  for (const auto& [ox, oy] : {std::pair{0, 0}, {1, 1}, {6, 479}, {100, 37}, {639, 0}, {2, 240}}) {
    HostScreen src(660, 500), dst(650, 490), model(650, 490);
    src.FillRandom(8);
    dst.FillRandom(9);
    Twin(model, dst);
    Select(src, dst);
    const int cx = 4, cy = 2, sx = 12, sy = 7;
    dst.SetCursor(cx, cy);
    lib().tavi_fillcopy(cx + ox, cy + oy, sx, sy);
    for (int Y = 0; Y < 480; ++Y) {
      for (int X = 0; X < 640; ++X) {
        const int start = X >= ox ? ox : 0, width = X >= ox ? 640 - ox : ox;
        if (X - start >= width - width % 4) continue;
        model.at(cx + X, cy + Y) = src.at(sx + (X - ox + 640) % 640, sy + (Y - oy + 480) % 480);
      }
    }
    ASSERT_TRUE(SamePixels(dst, model)) << ox << "," << oy;
  }
}

// Random tiles, offsets of both signs, cursors, and the same screen as source and target (where
// the group order shows); tiles whose width and height differ catch swapped sides.
TEST_F(FrameTest, TilecopyMatchesItsDefinition) {
  Picker pick(15);
  for (int trial = 0; trial < 300; ++trial) {
    const bool same = trial % 3 == 0;
    HostScreen src(64, 40), dst(64, 40), model(64, 40), source(64, 40);
    src.FillRandom(trial);
    dst.FillRandom(trial + 1000);
    HostScreen& target = same ? src : dst;
    Twin(model, target);
    Twin(source, src);
    const int tw = pick(1, 20), th = pick(1, 20), tx = pick(0, 20), ty = pick(0, 14);
    const int w = pick(0, 40), h = pick(0, 26), ox = pick(-50, 50), oy = pick(-50, 50);
    const int cx = pick(0, 16), cy = pick(0, 12);
    lib().tavi_copyset(tx, ty, tw, th);
    Select(src, target);
    target.SetCursor(cx, cy);
    lib().tavi_tilecopy(w, h, ox, oy);
    ModelTile(model, same ? model : source, tx, ty, tw, th, w, h, ox, oy, cx, cy);
    ASSERT_TRUE(SamePixels(target, model)) << "trial " << trial;
  }
}

// A console runtime without screens (HSP's hsp3cl) passes no record for the current screen, and a
// copy may run before a screen is selected: each export then leaves every screen alone and returns
// 0 (the sound device's open, which needs no screen, is the sound tests').
TEST_F(FrameTest, ExportsWithoutAScreenRecordDoNothingAndReturnZero) {
  HostScreen screen(16, 8);
  screen.FillRandom(5);
  const tavihost::PixelBuffer before = screen.pixels();
#define TAVITEST_WITHOUT_SCREEN(name)                                  \
  if (std::strcmp(#name, "tavi_dsinit") != 0) {                        \
    EXPECT_EQ(lib().name(0, 4, 4, 4), 0) << #name " without a screen"; \
  }
  TAVIKIT_SCREEN_EXPORTS(TAVITEST_WITHOUT_SCREEN)
#undef TAVITEST_WITHOUT_SCREEN
  const Library& l = lib();
  // The copies from the source to the target (tavi_meshboxs fills the target alone).
  const tavi_export_fn copies[] = {
      l.tavi_gcopy,    l.tavi_fillcopy, l.tavi_tilecopy, l.tavi_GFade,   l.tavi_GFade2,
      l.tavi_mozcopy,  l.tavi_zoomcopy, l.tavi_polycopy, l.tavi_rotcopy, l.tavi_meshcpy,
      l.tavi_meshcopy, l.tavi_gcopy2,   l.tavi_gcopy2e,  l.tavi_HGCP320};
  for (const bool sourceMissing : {true, false}) {
    l.tavi_fset(sourceMissing ? 0 : screen.record(), 0, 0, 0);
    l.tavi_tset(sourceMissing ? screen.record() : 0, 0, 0, 0);
    l.tavi_copyset(0, 0, 8, 8);
    for (const tavi_export_fn copy : copies)
      EXPECT_EQ(copy(8, 8, 3, 0), 0);
  }
  EXPECT_EQ(screen.pixels(), before);
}

}  // namespace
}  // namespace tavitest
