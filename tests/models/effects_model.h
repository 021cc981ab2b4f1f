// Plain models of the effect copies, written straight from their definitions: one pixel at a
// time, in the defined order, with every bound tested where the definition tests it.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "host/host_screen.h"

namespace tavitest {

using tavihost::HostScreen;

struct Rect {
  int x, y, w, h;
};

inline int CursorX(HostScreen& s) { return static_cast<int>(s.word(TAVI_REC_CURSOR_X)); }
inline int CursorY(HostScreen& s) { return static_cast<int>(s.word(TAVI_REC_CURSOR_Y)); }

inline bool OnScreen(const HostScreen& s, int x, int y) {
  return x >= 0 && y >= 0 && x < s.width() && y < s.height();
}

// The copy rectangle scaled to W x H at the target's cursor.
inline void ModelZoom(HostScreen& dst, const HostScreen& src, Rect r, int W, int H, int fill,
                      int key) {
  const int stepX = r.w * 256 / W, stepY = r.h * 256 / H;
  int fy = r.y * 256;
  for (int ty = CursorY(dst); ty < CursorY(dst) + H; ++ty) {
    const int sy = fy >> 8;
    if (ty >= 0 && ty < dst.height()) {
      int fx = r.x * 256;
      for (int tx = CursorX(dst); tx < CursorX(dst) + W; ++tx) {
        const int sx = fx >> 8;
        if (tx >= 0 && tx < dst.width()) {
          if (OnScreen(src, sx, sy)) {
            const int p = src.at(sx, sy);
            if (!(key >= 0 && p == key)) dst.at(tx, ty) = static_cast<uint8_t>(p);
          } else if (fill >= 0) {
            dst.at(tx, ty) = static_cast<uint8_t>(fill);
          }
        }
        fx += stepX;
      }
    }
    fy += stepY;
  }
}

// The trapezoid: row j shows the rectangle rw_j wide, centred in W pixels.
inline void ModelPoly(HostScreen& dst, const HostScreen& src, Rect r, int W, int H, int T0,
                      int fill) {
  const int stepY = r.h * 256 / H;
  const int margin0 = (W - T0) / 2;
  const int dWidth = margin0 * 256 / H;
  int rowWidth = T0 * 256, fy = r.y * 256;
  for (int j = 0; j < H; ++j) {
    const int rw = rowWidth >> 8;
    const int stepX = r.w * 256 / rw;
    const int sy = fy >> 8;
    int fx = r.x * 256 - ((W - rw) / 2) * stepX;
    for (int i = 0; i < W; ++i) {
      const int sx = fx >> 8;
      if (OnScreen(src, sx, sy)) {
        dst.at(CursorX(dst) + i, CursorY(dst) + j) = src.at(sx, sy);
      } else if (fill >= 0) {
        dst.at(CursorX(dst) + i, CursorY(dst) + j) = static_cast<uint8_t>(fill);
      }
      fx += stepX;
    }
    rowWidth += dWidth;
    fy += stepY;
  }
}

// The angle tables from their definition.
inline int Sine256(int i) {
  return static_cast<int>(256 * std::sin(2 * std::numbers::pi * i / 256));
}
inline int NegCosine256(int i) {
  return static_cast<int>(-256 * std::cos(2 * std::numbers::pi * i / 256));
}

struct RotParams {
  int centreX = 0, centreY = 0, angle = 0;
  Rect frame{0, 0, 0, 0};
  Rect clip{0, 0, 0, 0};
};

// The rotated frame drawn by inverse mapping into W x H at the target's cursor.
inline void ModelRotate(HostScreen& dst, const HostScreen& src, const RotParams& p, int W, int H,
                        int fill, int key) {
  const int cx = p.centreX >= 0 ? p.centreX - p.frame.x : p.frame.w / 2;
  const int cy = p.centreY >= 0 ? p.centreY - p.frame.y : p.frame.h / 2;
  const int s = Sine256(p.angle & 255), c = NegCosine256(p.angle & 255);
  const auto tx = [&](int u, int v) { return ((c * (u - cx) - s * (v - cy)) >> 8) + cx; };
  const auto ty = [&](int u, int v) { return ((c * (v - cy) + s * (u - cx)) >> 8) + cy; };
  const int X0 = tx(0, 0), Y0 = ty(0, 0);
  const int X1 = tx(p.frame.w, 0), Y1 = ty(p.frame.w, 0);
  const int X2 = tx(0, p.frame.h), Y2 = ty(0, p.frame.h);
  const int dXx = (X1 - X0 + 1) * 256 / W, dXy = (Y1 - Y0 + 1) * 256 / W;
  const int dYx = (X2 - X0 + 1) * 256 / H, dYy = (Y2 - Y0 + 1) * 256 / H;
  int left = p.clip.x, top = p.clip.y, right = p.clip.x + p.clip.w, bottom = p.clip.y + p.clip.h;
  if (p.clip.x < 0) left = 0, top = 0, right = src.width(), bottom = src.height();
  int rx = (X0 + p.frame.x) * 256, ry = (Y0 + p.frame.y) * 256;
  for (int y = CursorY(dst); y < CursorY(dst) + H; ++y) {
    if (y >= 0 && y < dst.height()) {
      int px = rx, py = ry;
      for (int x = CursorX(dst); x < CursorX(dst) + W; ++x) {
        px += dXx;
        py += dXy;
        const int sx = px >> 8, sy = py >> 8;
        if (x < 0 || x >= dst.width()) continue;
        if (sx >= left && sx < right && sy >= top && sy < bottom) {
          const int v = src.at(sx, sy);
          if (v != key) dst.at(x, y) = static_cast<uint8_t>(v);
        } else if (fill >= 0) {
          dst.at(x, y) = static_cast<uint8_t>(fill);
        }
      }
    }
    rx += dYx;
    ry += dYy;
  }
}

// The copy rectangle one to one, pixel by pixel in order, optionally clipped to the target.
inline void ModelKeyedCopy(HostScreen& dst, const HostScreen& src, Rect r, int key, bool clipped) {
  for (int j = 0; j < r.h; ++j) {
    for (int i = 0; i < r.w; ++i) {
      const int x = CursorX(dst) + i, y = CursorY(dst) + j;
      if (clipped && !OnScreen(dst, x, y)) continue;
      const int p = src.at(r.x + i, r.y + j);
      if (!(key >= 0 && p == key)) dst.at(x, y) = static_cast<uint8_t>(p);
    }
  }
}

}  // namespace tavitest
