#include "effects/rotation.h"

#include <algorithm>
#include <cstring>

#include "common/rect.h"

#include "common/int32.h"
#include "effects/stepped_span.h"

namespace tavikit {
namespace {

struct Point {
  int32_t x;
  int32_t y;
};

// A source rectangle, right and bottom exclusive.
struct SourceClip {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;

  bool Contains(int32_t x, int32_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
};

// The stored clip, or the whole source screen for a negative clipX. Kept inside the source
// screen, so that a clip reaching past the screen takes the fill colour there instead of reading
// outside the pixels.
SourceClip ClipOf(const RotationParams& rot, const Screen& source) {
  SourceClip clip{0, 0, source.width, source.height};
  if (rot.clip.x < 0) return clip;
  clip.left = std::max(rot.clip.x, 0);
  clip.top = std::max(rot.clip.y, 0);
  clip.right = static_cast<int32_t>(
      std::min<int64_t>(static_cast<int64_t>(rot.clip.x) + rot.clip.w, source.width));
  clip.bottom = static_cast<int32_t>(
      std::min<int64_t>(static_cast<int64_t>(rot.clip.y) + rot.clip.h, source.height));
  return clip;
}

// ((a - b + 1) x 256) / n: the fixed-point step that spreads a - b + 1 pixels over n.
int32_t StepOver(int32_t a, int32_t b, int32_t n) {
  return TruncDiv(WrapMul(WrapAdd(WrapSub(a, b), 1), 256), n);
}

// The target rows of one call. A row steps its source position before each sample; the samples
// that land inside the clip form one run of the row, found once, and the pixels before and after
// it take the fill colour.
struct RotatedRows {
  const Screen& source;
  SourceClip clip;
  int32_t fill;
  int32_t key;

  void Fill(uint8_t* dst, int32_t first, int32_t end) const {
    if (fill >= 0 && end > first)
      std::memset(dst + first, static_cast<uint8_t>(fill), static_cast<size_t>(end - first));
  }

  // Pixels first .. first+count-1 of the run, sampled from position (px, py) on, one step each.
  template <bool kKeyed>
  void Sample(uint8_t* dst, int32_t count, int32_t px, int32_t py, int32_t dx, int32_t dy) const {
    const uint8_t* top = source.Row(0);
    const intptr_t down = source.DownStep();
    auto x = static_cast<uint32_t>(px);
    auto y = static_cast<uint32_t>(py);
    const auto kx = static_cast<uint8_t>(key);
    for (int32_t i = 0; i < count; ++i) {
      const uint8_t p =
          top[Sar(static_cast<int32_t>(y), 8) * down + Sar(static_cast<int32_t>(x), 8)];
      if constexpr (kKeyed) {
        dst[i] = KeyedPick(p, dst[i], kx);
      } else {
        dst[i] = p;
      }
      x += static_cast<uint32_t>(dx);
      y += static_cast<uint32_t>(dy);
    }
  }

  // One row of count pixels whose first sample lies one step (dx, dy) past (px, py).
  void Draw(uint8_t* dst, int32_t count, int32_t px, int32_t py, int32_t dx, int32_t dy) const {
    if (!StepsWithoutWrap(px, dx, count) || !StepsWithoutWrap(py, dy, count)) {
      DrawWrapping(dst, count, px, py, dx, dy);
      return;
    }
    const int64_t x1 = int64_t{px} + dx;
    const int64_t y1 = int64_t{py} + dy;
    const Span across =
        SpanInside(x1, dx, count, int64_t{clip.left} * 256, int64_t{clip.right} * 256);
    const Span down =
        SpanInside(y1, dy, count, int64_t{clip.top} * 256, int64_t{clip.bottom} * 256);
    const int32_t first = std::max(across.first, down.first);
    const int32_t end = std::min(across.end, down.end);
    if (end <= first) {
      Fill(dst, 0, count);
      return;
    }
    Fill(dst, 0, first);
    const auto sx = static_cast<int32_t>(x1 + int64_t{first} * dx);
    const auto sy = static_cast<int32_t>(y1 + int64_t{first} * dy);
    if (key >= 0 && key <= 255) {
      Sample<true>(dst + first, end - first, sx, sy, dx, dy);
    } else {
      Sample<false>(dst + first, end - first, sx, sy, dx, dy);
    }
    Fill(dst, end, count);
  }

  // The per-pixel tests, for rows whose positions wrap around the 32-bit range.
  void DrawWrapping(uint8_t* dst, int32_t count, int32_t px, int32_t py, int32_t dx,
                    int32_t dy) const {
    for (int32_t i = 0; i < count; ++i) {
      px = WrapAdd(px, dx);
      py = WrapAdd(py, dy);
      const int32_t sx = Sar(px, 8);
      const int32_t sy = Sar(py, 8);
      if (clip.Contains(sx, sy)) {
        const uint8_t p = *source.At(sx, sy);
        if (p != key) dst[i] = p;
      } else if (fill >= 0) {
        dst[i] = static_cast<uint8_t>(fill);
      }
    }
  }
};

}  // namespace

void RotateCopy(const Selection& sel, const RotationParams& rot, int32_t W, int32_t H, int32_t fill,
                int32_t key) {
  if (W < 1 || H < 1) return;
  const Screen source = sel.Source();
  const Screen target = sel.Target();

  // The centre relative to the frame's top-left.
  const int32_t cx =
      rot.centreX >= 0 ? WrapSub(rot.centreX, rot.frame.x) : TruncDiv(rot.frame.w, 2);
  const int32_t cy =
      rot.centreY >= 0 ? WrapSub(rot.centreY, rot.frame.y) : TruncDiv(rot.frame.h, 2);
  const int32_t s = kRotationSine[rot.angle];
  const int32_t c = kRotationNegCosine[rot.angle];
  const auto turn = [&](int32_t u, int32_t v) {
    const int32_t du = WrapSub(u, cx);
    const int32_t dv = WrapSub(v, cy);
    return Point{WrapAdd(Sar(WrapSub(WrapMul(c, du), WrapMul(s, dv)), 8), cx),
                 WrapAdd(Sar(WrapAdd(WrapMul(c, dv), WrapMul(s, du)), 8), cy)};
  };
  const Point p0 = turn(0, 0);
  const Point p1 = turn(rot.frame.w, 0);
  const Point p2 = turn(0, rot.frame.h);
  const int32_t dXx = StepOver(p1.x, p0.x, W);
  const int32_t dXy = StepOver(p1.y, p0.y, W);
  const int32_t dYx = StepOver(p2.x, p0.x, H);
  const int32_t dYy = StepOver(p2.y, p0.y, H);
  const SourceClip clip = ClipOf(rot, source);

  // Only the part of the area on the target is drawn, from the positions the whole area samples.
  const Span cols = VisibleSpan(target.cursorX, W, target.width);
  const Span rows = VisibleSpan(target.cursorY, H, target.height);
  if (cols.Empty() || rows.Empty()) return;
  int32_t rx = WrapAdd(WrapMul(WrapAdd(p0.x, rot.frame.x), 256), WrapMul(rows.first, dYx));
  int32_t ry = WrapAdd(WrapMul(WrapAdd(p0.y, rot.frame.y), 256), WrapMul(rows.first, dYy));
  const RotatedRows plan{source, clip, fill, key};
  for (int32_t j = rows.first; j < rows.end; ++j) {
    uint8_t* dst = target.At(target.cursorX + cols.first, target.cursorY + j);
    plan.Draw(dst, cols.Size(), WrapAdd(rx, WrapMul(cols.first, dXx)),
              WrapAdd(ry, WrapMul(cols.first, dXy)), dXx, dXy);
    rx = WrapAdd(rx, dYx);
    ry = WrapAdd(ry, dYy);
  }
}

}  // namespace tavikit
