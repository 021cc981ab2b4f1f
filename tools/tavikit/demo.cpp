// tavikit demo: a small host that keeps screens the way a script runtime does, drives the
// library through its exports and writes what it drew as a PNG.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands.h"
#include "file_io.h"
#include "host/host_screen.h"
#include "indexed_image.h"
#include "tavikit.h"
#include "tools/writer/formats.h"

namespace tavitool {
namespace {

using tavihost::HostScreen;

// A palette of four ramps: blues, greens, reds and greys, 64 steps each.
void RampPalette(HostScreen& screen) {
  for (int i = 0; i < 256; ++i) {
    const int level = (i % 64) * 4 + 3;
    switch (i / 64) {
      case 0:
        screen.SetColour(i, 0, level / 2, level);
        break;
      case 1:
        screen.SetColour(i, level / 3, level, level / 3);
        break;
      case 2:
        screen.SetColour(i, level, level / 3, level / 4);
        break;
      default:
        screen.SetColour(i, level, level, level);
        break;
    }
  }
}

// Concentric rings in the blue ramp and a diagonal band of greens: something whose roll and
// tiling are easy to see.
void PaintSource(HostScreen& screen) {
  for (int y = 0; y < screen.height(); ++y) {
    for (int x = 0; x < screen.width(); ++x) {
      const double d = std::hypot(x - 320.0, y - 240.0);
      uint8_t index = static_cast<uint8_t>(static_cast<int>(d / 3) % 64);
      if (((x + y) / 40) % 6 == 0) index = static_cast<uint8_t>(64 + (x / 10) % 64);
      screen.at(x, y) = index;
    }
  }
}

void PaintTile(HostScreen& screen, int x0, int y0) {
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const bool edge = x == 0 || y == 0 || x == 31 || y == 31;
      const bool diagonal = x == y || x == 31 - y;
      screen.at(x0 + x, y0 + y) = static_cast<uint8_t>(edge       ? 255
                                                       : diagonal ? 128 + 63
                                                                  : 192 + (x + y) / 2);
    }
  }
}

// A 48 x 48 sprite on index 0: a diamond with a bright rim, for a cell drawn with transparency.
void PaintSprite(HostScreen& sprite) {
  sprite.Fill(0);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      const int d = std::abs(x - 24) + std::abs(y - 24);
      if (d < 22) sprite.at(x, y) = static_cast<uint8_t>(d > 18 ? 255 : 128 + 2 * d);
    }
  }
}

// What the other subsystems add to the scene: a translucent panel blended through the colour
// cube, a mosaic, a rotated tile and a sprite cell drawn with transparency.
void DrawEffects(HostScreen& art, HostScreen& display) {
  tavi_AlphaInit(display.record(), 256, 0, 0);

  // A band of the picture blended over the display at three eighths.
  tavi_fset(art.record(), 0, 0, 0);
  tavi_copyset(0, 300, 200, 90);
  display.SetCursor(420, 330);
  tavi_gcopyf(display.record(), 96, 0, 0);

  // A mosaic of 8 x 4 blocks of 12 pixels, each the cube colour of its block's mean.
  display.SetCursor(440, 40);
  tavi_gmozicn(display.record(), 8, 4, 12);

  // The border tile turned by an eighth of a turn and scaled up.
  tavi_rotpos(0, 480, 32, 32);
  tavi_rotclip(0, 480, 32, 32);
  tavi_rotset(-1, -1, 160, 0);
  display.SetCursor(40, 360);
  tavi_rotcopy(72, 72, -1, -1);

  // One sprite captured into a cell and drawn three times, index 0 left out.
  HostScreen sprite(48, 48);
  PaintSprite(sprite);
  sprite.SetCursor(0, 0);
  chibi_Get(sprite.record(), 1, 48, 48);
  for (int i = 0; i < 3; ++i) {
    display.SetCursor(140 + 56 * i, 372 + 8 * i);
    chibi_Put(display.record(), 1, 1, 0);
  }
  chibi_Free(1, 1, 0, 0);
}

IndexedImage ToImage(const HostScreen& screen, const std::vector<uint8_t>& palette) {
  IndexedImage image;
  image.width = screen.width();
  image.height = screen.height();
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x)
      image.at(x, y) = screen.at(x, y);
  }
  std::memcpy(image.palette.data(), palette.data(), 1024);
  return image;
}

// A 64 x 64 badge (a ring on transparent corners) encoded with skip records, packed into a
// file of its own, opened as a pack and drawn from it at (x, y).
bool DrawPackedBadge(HostScreen& display, int32_t x, int32_t y, std::string& error) {
  std::vector<uint8_t> badge(64 * 64);
  for (int32_t py = 0; py < 64; ++py) {
    for (int32_t px = 0; px < 64; ++px) {
      const double d = std::hypot(px - 31.5, py - 31.5);
      badge[py * 64 + px] = d > 31 ? 0 : static_cast<uint8_t>(d > 26 ? 255 : 128 + px / 2);
    }
  }
  const auto picture =
      *taviwriter::EncodePicture({64, 64, badge}, taviwriter::PictureKind::kTK10, 0);
  const std::string path = "tavikit-demo.dpm";
  if (!WriteFile(path, taviwriter::BuildPack({{"badge.tk", picture}}), error)) return false;
  std::string text = path + ",0";
  tavi_dpminit(0, 0, 0, reinterpret_cast<tavi_word>(text.data()));
  display.SetCursor(x, y);
  tavi_PCP2Load(display.record(), reinterpret_cast<tavi_word>("BADGE.TK"), 0,
                reinterpret_cast<tavi_word>(text.data()));
  std::remove(path.c_str());
  return true;
}

}  // namespace

int RunDemo(int argc, char** argv) {
  if (WantsHelp(argc, argv)) {
    std::printf(
        "usage: tavikit demo [-o OUT.png]\n\n"
        "Draws a scene into a 640 x 480 screen through the library's exports (rolled window,\n"
        "tiled border, framed panel, a picture loaded from a data pack, a blended band, a\n"
        "mosaic, a rotated tile and sprite cells) and writes it to OUT.png (default demo.png).\n");
    return 0;
  }
  std::string out = "demo.png";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
      out = argv[++i];
    } else {
      std::fprintf(stderr, "tavikit demo: unexpected argument '%s'\n", argv[i]);
      return 2;
    }
  }

  char version[12];
  tavi_GetTaviVER(0, 0, 0, reinterpret_cast<tavi_word>(version));

  HostScreen art(640, 512), display(640, 480);
  RampPalette(display);
  PaintSource(art);
  PaintTile(art, 0, 480);
  display.Fill(0);

  tavi_fset(art.record(), 0, 0, 0);
  tavi_tset(display.record(), 0, 0, 0);

  // The whole picture, rolled 200 right and 120 down inside the window.
  display.SetCursor(0, 0);
  tavi_fillcopy(200, 120, 0, 0);

  // A border of tiles along the top and the bottom.
  tavi_copyset(0, 480, 32, 32);
  display.SetCursor(0, 0);
  tavi_tilecopy(640, 24, 0, 4);
  display.SetCursor(0, 456);
  tavi_tilecopy(640, 24, 0, 4);

  // The centre of the unrolled picture as a framed panel.
  display.SetCursor(236, 176);
  tavi_tilecopy(168, 128, 0, 0);
  display.SetCursor(240, 180);
  tavi_gcopy(260, 180, 160, 120);

  // A picture from a data pack, its corners left to what was drawn before.
  std::string error;
  if (!DrawPackedBadge(display, 40, 60, error)) {
    std::fprintf(stderr, "tavikit demo: %s\n", error.c_str());
    return 1;
  }

  DrawEffects(art, display);

  if (!WriteIndexedPng(out, ToImage(display, display.palette()), error)) {
    std::fprintf(stderr, "tavikit demo: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s: drew 640 x 480 with %s, wrote %s\n", "tavikit demo", version, out.c_str());
  return 0;
}

}  // namespace tavitool
