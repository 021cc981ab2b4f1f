// The effect copies through the exports: keyed one-to-one copies, the doubler, checkerboards,
// mosaics, rotation and zoom, against worked examples, their definitions and properties (a
// draw partly off its target equals that part of the same draw made whole).
#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "harness/fixture.h"

namespace tavitest {
namespace {

struct Rect {
  int x, y, w, h;
};

// The keyed copy by its definition: pixel by pixel in order, each read just before it is written,
// a source pixel equal to `key` left out; with `clipped`, target pixels off the screen are skipped.
void ModelKeyedCopy(HostScreen& dst, const HostScreen& src, Rect r, int key, bool clipped) {
  const int cx = static_cast<int>(dst.field(TAVI_REC_CURSOR_X));
  const int cy = static_cast<int>(dst.field(TAVI_REC_CURSOR_Y));
  for (int j = 0; j < r.h; ++j) {
    for (int i = 0; i < r.w; ++i) {
      const int x = cx + i, y = cy + j;
      if (clipped && (x < 0 || y < 0 || x >= dst.width() || y >= dst.height())) continue;
      const int p = src.at(r.x + i, r.y + j);
      if (!(key >= 0 && p == key)) dst.at(x, y) = static_cast<uint8_t>(p);
    }
  }
}

using CopiesTest = ExportTest;

// Random rectangles, cursors reaching off the target (gcopy2e), and source and target one
// screen with the target up to 70 pixels from the source, where groups of pixels (as wide as the
// widest vector) would read pixels that the same copy has just written.
TEST_F(CopiesTest, KeyedCopiesMatchTheirDefinition) {
  Picker pick(3);
  for (int trial = 0; trial < 600; ++trial) {
    const bool clipped = trial % 2 == 1, same = trial % 3 == 0;
    HostScreen src(160, 40), dst(160, 40), model(160, 40);
    src.FillRandom(trial);
    for (auto& p : src.pixels())
      p = p < 100 ? 42 : p;  // about 40% key pixels
    dst.FillRandom(trial + 3000);
    const int w = pick(-1, same ? 80 : 155), h = pick(-1, same ? 8 : 35);
    const Rect r{pick(0, 3), pick(0, 3), w, h};
    int cx = clipped ? pick(-156, 156) : w > 0 ? pick(0, 156 - w) : 0;
    int cy = clipped ? pick(-36, 36) : h > 0 ? pick(0, 36 - h) : 0;
    if (same) cx = std::clamp(r.x + pick(-70, 70), 0, 156 - std::max(w, 0));
    if (same) cy = std::clamp(r.y + pick(-1, 1), 0, 36 - std::max(h, 0));
    HostScreen& target = same ? src : dst;
    Twin(model, target);
    const int key = trial % 5 == 0 ? -1 : 42;
    Select(src, target, r.x, r.y, r.w, r.h);
    target.SetCursor(cx, cy);
    model.SetCursor(cx, cy);
    (clipped ? lib().tavi_gcopy2e : lib().tavi_gcopy2)(key, 0, 0, 0);
    HostScreen from(160, 40);
    Twin(from, src);
    ModelKeyedCopy(model, same ? model : from, r, key, clipped);
    ASSERT_TRUE(SamePixels(target, model)) << "trial " << trial;
  }
}

// Each source pixel into two columns of one target row, or of two in mode 0; a source in a buffer
// of its own (the vector path), or inside the target's, at its start or past the first 320 x 240
// bytes: byte by byte in the defined order, each source byte read just before its pixels are
// written.
TEST_F(CopiesTest, DoublerFollowsTheByteOrder) {
  constexpr int kApart = -1;
  for (const auto& [mode, offset] :
       {std::pair{0, kApart}, {1, kApart}, {0, 0}, {1, 0}, {-1, 0}, {0, 100000}, {7, 150001}}) {
    HostScreen screen(640, 480), source(320, 240);
    screen.FillRandom(9);
    source.FillRandom(10);
    const bool apart = offset == kApart;
    const size_t from = apart ? 0 : static_cast<size_t>(offset);
    if (!apart) source.set(TAVI_REC_PIXELS, Word(screen.pixels().data() + from));
    const tavihost::PixelBuffer original = apart ? source.pixels() : screen.pixels();
    tavihost::PixelBuffer model = screen.pixels();
    Select(source, screen);
    lib().tavi_HGCP320(mode, 0, 0, 0);
    for (size_t r = 0; r < 240; ++r) {
      for (size_t x = 0; x < 320; ++x) {
        const uint8_t p = (apart ? original : model)[from + r * 320 + x];
        for (size_t row = 2 * r; row < 2 * r + (mode == 0 ? 2 : 1); ++row) {
          model[row * 640 + 2 * x] = p;
          model[row * 640 + 2 * x + 1] = p;
        }
      }
    }
    ASSERT_EQ(screen.pixels(), model) << mode << " " << offset;
  }
}

using MeshTest = ExportTest;

// Which area pixels (i, j) the checkerboard copies write for a width W: W / 2 pixels of each
// row, every other one, from column 0 in even rows and 1 in odd rows.
bool CopiedByMesh(int i, int j, int W) {
  return i >= (j & 1) && (i - (j & 1)) % 2 == 0 && i < (j & 1) + 2 * (W / 2);
}

TEST_F(MeshTest, MeshcpyStartsWithTheTopLeftPixelOfTheArea) {
  HostScreen src(16, 16), dst(16, 16);
  src.FillRandom(1);
  Select(src, dst);
  for (const int W : {4, 5}) {
    dst.Fill(0xEE);
    dst.SetCursor(3, 7);
    lib().tavi_meshcpy(6, 2, W, 2);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const int i = x - 3, j = y - 7;
        const bool copied = i >= 0 && j >= 0 && j < 2 && i < W && CopiedByMesh(i, j, W);
        ASSERT_EQ(dst.at(x, y), copied ? src.at(6 + i, 2 + j) : 0xEE) << W << ": " << x << "," << y;
      }
    }
  }
}

TEST_F(MeshTest, MeshBOXClipsToItsScreenAndKeepsTheParity) {
  HostScreen screen(12, 10), other(4, 4);
  Picker pick(3);
  for (int trial = 0; trial < 100; ++trial) {
    Select(other, other);  // the selected target plays no part
    screen.Fill(0);
    const int cx = pick(-15, 14), cy = pick(-15, 14), W = pick(-2, 27), H = pick(-2, 27);
    screen.SetCursor(cx, cy);
    lib().tavi_MeshBOX(screen.record(), W, H, 0x55);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 12; ++x) {
        const bool inArea = x >= cx && x < cx + W && y >= cy && y < cy + H;
        const bool set = inArea && ((x + y) & 1) == 0;
        ASSERT_EQ(screen.at(x, y), set ? 0x55 : 0) << trial << ": " << x << "," << y;
      }
    }
  }
}

using MosaicTest = ExportTest;

// Entries 0 to 31 are the greys 8k + 3, the colours of the cube's diagonal cells, and the cube is
// built from them alone: cell (k, k, k) holds entry k.
void GreyCube(const Library& lib, HostScreen& screen) {
  for (int k = 0; k < 32; ++k)
    screen.SetColour(k, 8 * k + 3, 8 * k + 3, 8 * k + 3);
  lib.tavi_AlphaInit(screen.record(), 32, 0, 0);
}

// A 3 x 3 block with corners 2, 4, 6, 8 and 10 elsewhere: the corners sum to 8 * 20 + 12 = 172
// per component, 172 >> 5 = 5; all nine sum to 172 + 5 * 83 = 587, 587 / 9 = 65, 65 >> 3 = 8.
// A block of two is its corners 2, 4, 6, 8: both mosaics give (8 * 20 + 12) / 4 >> 3 = 5.
// Eight 7s (59) around entry 40 (grey 100) sum to 572: 572 / 9 = 63 (63.6 rounds to 64), >> 3 = 7.
TEST_F(MosaicTest, ColourMosaicsTakeTheCubeEntryOfTheCornerOrWholeMean) {
  const uint8_t block[9] = {2, 10, 4, 10, 10, 10, 6, 10, 8},
                sevens[9] = {7, 7, 7, 7, 40, 7, 7, 7, 7};
  for (const auto& [size, corners, want, pixels] : {std::tuple{3, true, 5, block},
                                                    {3, false, 8, block},
                                                    {2, true, 5, block},
                                                    {2, false, 5, block},
                                                    {3, false, 7, sevens}}) {
    HostScreen screen(9, 7);
    GreyCube(lib(), screen);
    screen.SetColour(40, 100, 100, 100);
    screen.Fill(31);
    for (int i = 0; i < size * size; ++i)
      screen.at(4 + i % size, 2 + i / size) = size == 3 ? pixels[i] : 2 + 2 * i;
    screen.SetCursor(4, 2);
    const auto mosaic = corners ? lib().tavi_gmozice : lib().tavi_gmozicn;
    mosaic(screen.record(), 1, 1, size);
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 9; ++x) {
        const bool in = x >= 4 && x < 4 + size && y >= 2 && y < 2 + size;
        ASSERT_EQ(screen.at(x, y), in ? want : 31)
            << size << (corners ? " corners " : " mean ") << x << "," << y;
      }
    }
  }
}

TEST_F(MosaicTest, FirstDrawsOfAFreshThreadPickTheSameOffsets) {
  HostScreen screen(16, 12);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x)
      screen.at(x, y) = static_cast<uint8_t>(16 * y + x);
  }
  screen.SetCursor(4, 4);
  std::thread([&] { lib().tavi_gmozic(screen.record(), 1, 1, 4); }).join();  // a fresh generator
  // A fresh generator's first two draws are 41 and 18467 (states 1 x 214013 + 2531011 and on,
  // bits 16 to 30): offset (41 mod 4, 18467 mod 4) = (1, 3) from the block's top-left.
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool in = x >= 4 && x < 8 && y >= 4 && y < 8;
      ASSERT_EQ(screen.at(x, y), in ? 16 * 7 + 5 : 16 * y + x) << x << "," << y;
    }
  }
}

// Every block becomes one colour that it held before; pixels outside the blocks stay.
TEST_F(MosaicTest, RandomMosaicFillsEachBlockWithOneOfItsOwnPixels) {
  HostScreen screen(40, 30);
  for (const auto& [cx, cy, across, down, s] :
       {std::tuple{0, 0, 5, 3, 7}, {3, 1, 6, 4, 3}, {2, 5, 2, 4, 6}, {1, 2, 12, 9, 3}}) {
    screen.FillRandom(static_cast<uint32_t>(s));
    HostScreen before(40, 30);
    Twin(before, screen);
    screen.SetCursor(cx, cy);
    lib().tavi_gmozic(screen.record(), across, down, s);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) {
        const int i = (x - cx) / s, j = (y - cy) / s;
        if (x < cx || y < cy || i >= across || j >= down) {
          ASSERT_EQ(screen.at(x, y), before.at(x, y)) << x << "," << y;
          continue;
        }
        const int left = cx + i * s, top = cy + j * s;
        ASSERT_EQ(screen.at(x, y), screen.at(left, top)) << x << "," << y;
        bool held = false;
        for (int v = top; v < top + s; ++v) {
          for (int u = left; u < left + s; ++u)
            held |= before.at(u, v) == screen.at(x, y);
        }
        ASSERT_TRUE(held) << x << "," << y;
      }
    }
  }
}

// A block of a mosaic copy: offset and size in the area, and where it is sampled.
struct Block {
  int bx, by, bw, bh, sampleX, sampleY;
};

// Copies a w x h area with block size n from source cursor (3, 2) to target cursor (5, 6), and
// expects exactly the given blocks, each filled with its sample.
void ExpectMozcopyBlocks(const Library& lib, int w, int h, int n,
                         const std::vector<Block>& blocks) {
  HostScreen src(20, 16), dst(24, 20), expected(24, 20);
  src.FillRandom(3);
  dst.Fill(0xEE);
  expected.Fill(0xEE);
  src.SetCursor(3, 2);
  dst.SetCursor(5, 6);
  lib.tavi_fset(src.record(), 0, 0, 0);
  lib.tavi_tset(dst.record(), 0, 0, 0);
  lib.tavi_mozcopy(w, h, n, -1);
  for (const Block& b : blocks) {
    for (int y = b.by; y < b.by + b.bh; ++y) {
      for (int x = b.bx; x < b.bx + b.bw; ++x)
        expected.at(5 + x, 6 + y) = src.at(3 + b.sampleX, 2 + b.sampleY);
    }
  }
  EXPECT_EQ(dst.pixels(), expected.pixels()) << w << "x" << h << "/" << n;
}

// w 10, h 7, block 4: full blocks, the right-edge block, then the bottom row and its corner.
TEST_F(MosaicTest, MozcopyCoversPartialBlocksAtTheRightAndBottom) {
  ExpectMozcopyBlocks(lib(), 10, 7, 4,
                      {{0, 0, 4, 4, 2, 2},
                       {4, 0, 4, 4, 6, 2},
                       {8, 0, 2, 4, 9, 2},
                       {0, 4, 4, 3, 2, 5},
                       {4, 4, 4, 3, 6, 5},
                       {8, 4, 2, 3, 9, 5}});
}

TEST_F(MosaicTest, MozcopySmallerThanOneBlockIsOneBlockSampledAtItsMiddle) {
  ExpectMozcopyBlocks(lib(), 5, 3, 8, {{0, 0, 5, 3, 2, 1}});
}

// Whether the n x m block at (x, y) lies wholly on the screen.
bool BlockOn(const HostScreen& screen, int x, int y, int n, int m) {
  return x >= 0 && y >= 0 && x + n <= screen.width() && y + m <= screen.height();
}

// tavi_mozcopy by its definition: blocks in order, each sampled at its middle just before it is
// filled; blocks not wholly on both screens are left alone. Source and target may be one screen
// (in place, or another area of it), the blocks from 1 to 40 pixels, some 40% of the samples the
// key, and the areas partly off the screens.
TEST_F(MosaicTest, MozcopyMatchesItsDefinition) {
  Picker pick(11);
  for (int trial = 0; trial < 300; ++trial) {
    const int kind = trial % 3;  // 0: two screens, 1: in place, 2: another area of one screen
    const bool clipped = trial % 4 == 3;
    HostScreen src(300, 60), dst(300, 60), model(300, 60);
    src.FillRandom(trial);
    for (auto& p : src.pixels())
      p = p < 100 ? 42 : p;
    dst.FillRandom(trial + 500);
    if (kind == 2) dst.set(TAVI_REC_PIXELS, src.field(TAVI_REC_PIXELS));  // a second record
    HostScreen& target = kind == 1 ? src : dst;
    const int n = pick(1, 40), w = pick(1, 290), h = pick(1, 55);
    const int key = trial % 2 == 0 ? -1 : 42 + 256 * pick(0, 1);
    const auto corner = [&](int span, int limit) {
      return clipped ? pick(-span, limit) : pick(0, std::max(0, limit - span));
    };
    const int sx = corner(w, 300), sy = corner(h, 60);
    const int tx = kind == 1 ? sx : corner(w, 300), ty = kind == 1 ? sy : corner(h, 60);
    Twin(model, kind == 0 ? dst : src);
    const HostScreen& from = kind == 0 ? src : model;
    for (int by = 0; by < h; by += n) {
      for (int bx = 0; bx < w; bx += n) {
        const int bw = std::min(n, w - bx), bh = std::min(n, h - by);
        if (!BlockOn(from, sx + bx, sy + by, bw, bh) || !BlockOn(model, tx + bx, ty + by, bw, bh))
          continue;
        const uint8_t sample = from.at(sx + bx + bw / 2, sy + by + bh / 2);
        if (key >= 0 && sample == (key & 255)) continue;
        for (int y = 0; y < bh; ++y) {
          for (int x = 0; x < bw; ++x)
            model.at(tx + bx + x, ty + by + y) = sample;
        }
      }
    }
    src.SetCursor(sx, sy);
    target.SetCursor(tx, ty);
    lib().tavi_fset(src.record(), 0, 0, 0);
    lib().tavi_tset(target.record(), 0, 0, 0);
    lib().tavi_mozcopy(w, h, n, key);
    ASSERT_TRUE(SamePixels(kind == 0 ? dst : src, model))
        << trial << ": " << w << "x" << h << "/" << n << " key " << key << " from " << sx << ","
        << sy << " to " << tx << "," << ty;
  }
}

// tavi_gmozic against its generator, state x 214013 + 2531011 from 1, each draw bits 16 to 30:
// two draws per block in order, blocks off the screen included (they keep their pixels), block
// sizes below 1 drawing nothing but still drawing their numbers, one call after another.
TEST_F(MosaicTest, RandomMosaicsFollowTheGeneratorAcrossCalls) {
  HostScreen screen(200, 90), model(200, 90);
  screen.FillRandom(9);
  Twin(model, screen);
  uint32_t state = 1;
  const auto draw = [&state] {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 32767u);
  };
  Picker pick(5);
  std::vector<std::tuple<int, int, int, int, int>> calls;  // cursor, across, down, size
  calls.reserve(40);
  for (int k = 0; k < 40; ++k)
    calls.emplace_back(pick(-30, 190), pick(-20, 80), pick(-1, 12), pick(-1, 12), pick(-1, 33));
  std::thread([&] {
    for (const auto& [cx, cy, across, down, s] : calls) {
      screen.SetCursor(cx, cy);
      lib().tavi_gmozic(screen.record(), across, down, s);
    }
  }).join();
  for (const auto& [cx, cy, across, down, s] : calls) {
    for (int j = 0; down >= 1 && j < down; ++j) {
      for (int i = 0; i < across; ++i) {
        const int dx = draw(), dy = draw();
        const int left = cx + i * s, top = cy + j * s;
        if (s < 1 || !BlockOn(model, left, top, s, s)) continue;
        const uint8_t colour = model.at(left + dx % s, top + dy % s);
        for (int y = 0; y < s; ++y) {
          for (int x = 0; x < s; ++x)
            model.at(left + x, top + y) = colour;
        }
      }
    }
  }
  EXPECT_TRUE(SamePixels(screen, model));
}

using RotationTest = ExportTest;

// Pixel (x, y) of an 8 x 8 picture is 1 + x + 8y; rotated about its middle (centre -1, -1) into
// an 8 x 8 target with the whole screen as the clip, samples off the picture take the fill 99.
TEST_F(RotationTest, QuarterAndHalfTurnsPutTheRightEdgesOnTop) {
  HostScreen src(8, 8), dst(8, 8);
  for (int i = 0; i < 64; ++i)
    src.at(i % 8, i / 8) = static_cast<uint8_t>(1 + i);
  Select(src, dst);
  dst.SetCursor(0, 0);
  lib().tavi_rotpos(0, 0, 8, 8);
  lib().tavi_rotclip(-1, 0, 0, 0);
  // Quarter turn anticlockwise: the right column on top; clockwise: the left column, bottom to
  // top; half turn: the bottom row reversed near the top.
  for (const auto& [angle, row, count, first, step] :
       {std::tuple{64, 1, 6, 1 + 7 + 8, 8}, {192, 0, 7, 1 + 56, -8}, {0, 1, 6, 64, -1}}) {
    dst.Fill(0);
    lib().tavi_rotset(-1, -1, angle, 0);
    lib().tavi_rotcopy(8, 8, 99, -1);
    for (int x = 0; x < count; ++x)
      EXPECT_EQ(dst.at(x, row), first + step * x) << angle << ": " << x;
  }
}

// The words of one rotated copy: the three setters' and the copy's own.
struct RotationCall {
  int centreX, centreY, angle;     // tavi_rotset
  int fx, fy, fw, fh;              // tavi_rotpos: the frame
  int clipX, clipY, clipW, clipH;  // tavi_rotclip: the window
  int w, h, fill, key;             // tavi_rotcopy
};

void CallRotation(const Library& l, const RotationCall& r) {
  l.tavi_rotset(r.centreX, r.centreY, r.angle, 0);
  l.tavi_rotpos(r.fx, r.fy, r.fw, r.fh);
  l.tavi_rotclip(r.clipX, r.clipY, r.clipW, r.clipH);
  l.tavi_rotcopy(r.w, r.h, r.fill, r.key);
}

// The rotated copy by its definition, drawn into `model` at (curX, curY): pixel (i, j) of the
// area samples the frame's turned top-left corner plus j row steps and i + 1 column steps, the
// steps from its turned corners. A sample is drawn when it lies in the clip window (any edge
// sums taken whole) and on the source screen (anywhere on it, for a negative clipX); elsewhere
// the fill is written, when there is one.
void RotationByDefinition(const RotationCall& r, const HostScreen& src, int curX, int curY,
                          HostScreen& model) {
  const double turn = 2 * std::numbers::pi * (r.angle & 255) / 256;  // tables truncated
  const int s = static_cast<int>(256 * std::sin(turn)), c = static_cast<int>(-256 * std::cos(turn));
  const int cx = r.centreX >= 0 ? r.centreX - r.fx : r.fw / 2;
  const int cy = r.centreY >= 0 ? r.centreY - r.fy : r.fh / 2;
  const auto turnX = [&](int u, int v) { return ((c * (u - cx) - s * (v - cy)) >> 8) + cx; };
  const auto turnY = [&](int u, int v) { return ((c * (v - cy) + s * (u - cx)) >> 8) + cy; };
  const int x0 = turnX(0, 0), y0 = turnY(0, 0);
  const int colX = (turnX(r.fw, 0) - x0 + 1) * 256 / r.w;
  const int colY = (turnY(r.fw, 0) - y0 + 1) * 256 / r.w;
  const int rowX = (turnX(0, r.fh) - x0 + 1) * 256 / r.h;
  const int rowY = (turnY(0, r.fh) - y0 + 1) * 256 / r.h;
  const auto inWindow = [&](int sx, int sy) {
    const bool onSource = sx >= 0 && sy >= 0 && sx < src.width() && sy < src.height();
    return onSource &&
           (r.clipX < 0 || (sx >= r.clipX && sy >= r.clipY && sx < int64_t{r.clipX} + r.clipW &&
                            sy < int64_t{r.clipY} + r.clipH));
  };
  for (int j = 0; j < r.h; ++j) {
    for (int i = 0; i < r.w; ++i) {
      const int x = curX + i, y = curY + j;
      const int sx = ((x0 + r.fx) * 256 + j * rowX + (i + 1) * colX) >> 8;
      const int sy = ((y0 + r.fy) * 256 + j * rowY + (i + 1) * colY) >> 8;
      if (x < 0 || y < 0 || x >= model.width() || y >= model.height()) continue;
      if (inWindow(sx, sy)) {
        if (src.at(sx, sy) != r.key) model.at(x, y) = src.at(sx, sy);
      } else if (r.fill >= 0) {
        model.at(x, y) = static_cast<uint8_t>(r.fill);
      }
    }
  }
}

// Any angle and scale; clip windows anywhere in the source, every other one reaching its right
// edge; areas partly off the target.
TEST_F(RotationTest, EveryAngleSamplesWhereTheCornerStepsPoint) {
  Picker pick(12);
  for (int trial = 0; trial < 200; ++trial) {
    RotationCall r{};
    r.fx = pick(0, 24), r.fy = pick(0, 20), r.fw = pick(0, 30), r.fh = pick(0, 24);
    r.centreX = pick(-1, 40), r.centreY = pick(-1, 36), r.angle = pick(0, 511);
    r.clipX = pick(-1, 40), r.clipY = pick(0, 30), r.clipH = pick(0, 40 - r.clipY);
    r.clipW = 48 - std::max(r.clipX, 0) - (trial % 2) * pick(0, 48 - std::max(r.clipX, 0));
    r.w = pick(1, 40), r.h = pick(1, 36), r.fill = pick(-1, 255), r.key = pick(-1, 255);
    const int curX = pick(-8, 30), curY = pick(-8, 30);
    HostScreen src(48, 40), dst(40, 36), model(40, 36);
    src.FillRandom(trial);
    dst.FillRandom(trial + 500);
    dst.SetCursor(curX, curY);
    Twin(model, dst);
    Select(src, dst);
    CallRotation(lib(), r);
    RotationByDefinition(r, src, curX, curY, model);
    ASSERT_TRUE(SamePixels(dst, model)) << "trial " << trial;
  }
}

// Clip windows at and beyond each edge of the source draw the source only where it lies inside
// both, and the fill (or nothing) elsewhere: no sample is read from outside the source, whatever
// the window's edges, sums past 2^31 included. (A window cannot begin left of the source: a
// negative x stands for the whole source.) The frame reaches 4 pixels past every edge of the
// source, and its rows run across the edges rightwards, leftwards, down, up and slanted.
TEST_F(RotationTest, ClipWindowsAtAndBeyondTheSourceEdgesSampleOnlyTheSource) {
  constexpr int kW = 40, kH = 24;
  // clang-format off
  const std::tuple<int, int, int, int> windows[] = {
      {-1, 0, 0, 0}, {-7, 5, 3, 3}, {0, 0, kW, kH},                            // the whole source
      {0, 0, 1, kH}, {kW - 1, 0, 1, kH}, {0, 0, kW, 1}, {0, kH - 1, kW, 1},    // a line at an edge
      {kW - 3, 2, 9, 5}, {kW, 0, 6, kH}, {5, 3, INT32_MAX, 6},                 // past the right
      {2, kH - 3, 7, 9}, {0, kH, kW, 6}, {3, 5, 9, INT32_MAX},                 // past the bottom
      {2, -3, 7, 8}, {0, -9, kW, 5}, {6, -5, 9, INT32_MAX}, {4, INT32_MIN, 9, 8},   // past the top
      {INT32_MAX, 0, 9, kH}, {0, 0, 0, kH}, {3, 3, -5, 4}, {3, 3, 4, -5},      // far off, or empty
      {4, INT32_MIN, 9, -1}, {INT32_MAX, 2, INT32_MIN, 5}};                    // edge sums below -2^31
  // clang-format on
  for (const int angle : {128, 0, 64, 192, 100}) {
    for (const auto& [clipX, clipY, clipW, clipH] : windows) {
      for (const int fill : {250, -1}) {
        const RotationCall r{-1,    -1,    angle, -4,     -4,     kW + 8, kH + 8, clipX,
                             clipY, clipW, clipH, kW + 8, kH + 8, fill,   -1};
        HostScreen src(kW, kH), dst(kW + 12, kH + 12), model(kW + 12, kH + 12);
        src.FillRandom(angle);
        dst.FillRandom(7);
        dst.SetCursor(2, 2);
        Twin(model, dst);
        Select(src, dst);
        CallRotation(lib(), r);
        RotationByDefinition(r, src, 2, 2, model);
        ASSERT_TRUE(SamePixels(dst, model))
            << "angle " << angle << ", window " << clipX << "," << clipY << " " << clipW << "x"
            << clipH << ", fill " << fill;
      }
    }
  }
}

// Upright (angle 128) and one pixel larger than the frame, the steps are whole pixels, plus 256 / W
// (truncated) down per pixel across, which stays within the row when W does not divide 256:
// target (i, j) samples source (x + 1 + i, y + j). Areas wide enough for vector groups, reaching
// the source's right edge in its top row (the last bytes of its buffer), keyed and not, with the
// clip cutting columns and rows off; and a source wider than 32767 pixels, sampled beyond that.
TEST_F(RotationTest, UprightAreaOneLargerIsACopyShiftedOneColumn) {
  struct Case {
    int x, y, w, h, clipRight, clipBottom, key, sourceWidth = 70;
  };
  for (const Case& c : {Case{21, 0, 47, 20, 70, 30, -1}, Case{21, 0, 47, 9, 70, 30, 7},
                        Case{3, 5, 50, 24, 48, 20, -1}, Case{1, 2, 68, 27, 70, 30, 200},
                        Case{32800, 3, 60, 20, 33000, 30, 7, 33000}}) {
    HostScreen src(c.sourceWidth, 30), dst(70, 30);
    src.FillRandom(c.x + c.w);
    for (auto& p : src.pixels())
      p = p % 3 == 0 ? 7 : p;
    dst.FillRandom(9);
    HostScreen before(70, 30);
    Twin(before, dst);
    Select(src, dst);
    dst.SetCursor(0, 0);
    lib().tavi_rotset(-1, -1, 128, 0);
    lib().tavi_rotpos(c.x, c.y, c.w, c.h);
    lib().tavi_rotclip(0, 0, c.clipRight, c.clipBottom);
    lib().tavi_rotcopy(c.w + 1, c.h + 1, 99, c.key);
    for (int j = 0; j <= c.h; ++j) {
      for (int i = 0; i <= c.w; ++i) {
        const int sx = c.x + 1 + i, sy = c.y + j;
        const int p = sx < c.clipRight && sy < c.clipBottom ? src.at(sx, sy) : 99;
        const int want = p == c.key ? before.at(i, j) : p;
        ASSERT_EQ(dst.at(i, j), want) << c.x << "," << c.w << " at " << i << "," << j;
      }
    }
  }
}

TEST_F(RotationTest, AreaOffTheTopLeftSamplesAsIfItWereWhole) {
  HostScreen src(32, 32), big(64, 64), small(40, 40);
  src.FillRandom(4);
  lib().tavi_rotset(12, 14, 100, 0);
  lib().tavi_rotpos(4, 6, 20, 18);
  lib().tavi_rotclip(2, 2, 28, 26);
  big.SetCursor(10, 10);
  Select(src, big);
  lib().tavi_rotcopy(30, 25, 9, -1);
  small.SetCursor(-7, -5);
  Select(src, small);
  lib().tavi_rotcopy(30, 25, 9, -1);
  EXPECT_TRUE(SameWindow(small, big, 10 + 7, 10 + 5, 23, 20));
}

using ZoomTest = ExportTest;

// Rows long enough for the vector loops and their ends: 100 from 50 and 25 from 50.
TEST_F(ZoomTest, DoubleWidthRepeatsColumnsAndHalfWidthTakesEverySecond) {
  HostScreen src(96, 8), dst(128, 8);
  src.FillRandom(2);
  Select(src, dst, 3, 1, 50, 4);
  dst.Fill(0);
  dst.SetCursor(0, 0);
  lib().tavi_zoomcopy(100, 4, -1, -1);
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 100; ++i)
      ASSERT_EQ(dst.at(i, j), src.at(3 + i / 2, 1 + j)) << i << "," << j;
  }
  dst.Fill(0);
  lib().tavi_zoomcopy(25, 4, -1, -1);
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 25; ++i)
      ASSERT_EQ(dst.at(i, j), src.at(3 + 2 * i, 1 + j)) << i << "," << j;
    ASSERT_EQ(dst.at(25, j), 0);
  }
}

TEST_F(ZoomTest, SamplesOffTheSourceTakeTheFillOrStayAsTheyWere) {
  HostScreen src(16, 16), dst(16, 16);
  src.FillRandom(4);
  Select(src, dst, -4, 10, 16, 12);  // hangs off the left and the bottom of the source
  dst.SetCursor(0, 0);
  for (const int fill : {-1, 0, 0x1FF}) {
    dst.Fill(0xEE);
    lib().tavi_zoomcopy(16, 12, fill, -1);
    for (int j = 0; j < 12; ++j) {
      for (int i = 0; i < 16; ++i) {
        const int sx = i - 4, sy = 10 + j;
        const bool on = sx >= 0 && sy < 16;
        const uint8_t want = on ? src.at(sx, sy) : fill < 0 ? 0xEE : static_cast<uint8_t>(fill);
        ASSERT_EQ(dst.at(i, j), want) << fill << ": " << i << "," << j;
      }
    }
  }
}

TEST_F(ZoomTest, AreaOffTheTargetSamplesAsIfItWereWhole) {
  HostScreen src(40, 40), big(80, 80), small(30, 30);
  src.FillRandom(5);
  big.Fill(0);
  small.Fill(0);
  Select(src, big, 3, 4, 29, 31);
  big.SetCursor(20, 20);
  lib().tavi_zoomcopy(37, 23, 7, -1);
  Select(src, small, 3, 4, 29, 31);
  small.SetCursor(-9, -6);
  lib().tavi_zoomcopy(37, 23, 7, -1);
  EXPECT_TRUE(SameWindow(small, big, 20 + 9, 20 + 6, 28, 17));
}

// W 100, T0 50, H 50: the rows widen by 128/256 of a pixel each, so the copy rectangle spans 50
// pixels in rows 0 and 1, 51 in rows 2 and 3, ... 74 in row 49, centred in the 100.
TEST_F(ZoomTest, PolycopyRowsWidenByHalfTheMarginOverTheRows) {
  HostScreen src(64, 50), dst(100, 50);
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 64; ++x)
      src.at(x, y) = static_cast<uint8_t>(1 + x + y);
  }
  dst.Fill(0xEE);
  dst.SetCursor(0, 0);
  Select(src, dst, 0, 0, 64, 50);  // the whole source: samples beside the span are off it
  lib().tavi_polycopy(100, 50, 50, 0);
  const auto rowWidth = [](int j) { return 50 + j / 2; };
  EXPECT_EQ(rowWidth(49), 74);
  for (int j = 0; j < 50; ++j) {
    const int rw = rowWidth(j), margin = (100 - rw) / 2, stepX = 64 * 256 / rw;
    for (int i = 0; i < margin; ++i)
      ASSERT_EQ(dst.at(i, j), 0) << i << "," << j;
    for (int k = 0; k < rw; ++k)
      ASSERT_EQ(dst.at(margin + k, j), src.at((k * stepX) >> 8, j)) << k << "," << j;
  }
}

}  // namespace
}  // namespace tavitest
