#pragma once
// The vocabulary of the drawing primitives: viewport rectangles, rounding and the one
// coordinate transform from a primitive's point to a pixel. Each
// primitive lives in a raster_*.hpp / raster_*.cpp pair of its own and works on explicit
// state (a Canvas, a DrawState and a clip rectangle), so it can be tested on a plain pixel
// buffer. NaN, infinite and huge coordinates are accepted and never cause work outside the
// clip rectangle.
#include <cmath>
#include <cstdint>

#include "surface/geometry.hpp"

namespace surf::raster {

using surf::Point;
using surf::Rect;
using surf::Rows;

// The viewport of `s` as a rectangle, intersected with a canvas of width x height.
inline Rect viewport_rect(const DrawState& s, int width, int height) noexcept {
  const Viewport& v = s.view;
  Rect r;
  r.x0 = v.left > 0 ? v.left : 0;
  r.y0 = v.top > 0 ? v.top : 0;
  // In 64 bits: left + width may pass the Integer range.
  const std::int64_t x1 = std::int64_t{v.left} + v.width - 1, y1 = std::int64_t{v.top} + v.height - 1;
  r.x1 = static_cast<int>(x1 < width - 1 ? x1 : width - 1);
  r.y1 = static_cast<int>(y1 < height - 1 ? y1 : height - 1);
  return r;
}

// The viewport of `s` as a rectangle, intersected with the canvas.
inline Rect viewport_rect(const DrawState& s, const Canvas& c) noexcept {
  return viewport_rect(s, c.width, c.height);
}

// Largest double below one half. Adding it (with the sign of v) before truncating rounds
// halves away from zero, and unlike adding 0.5 it leaves 0.49999999999999994 at 0.
inline constexpr double kBelowHalf = 0.49999999999999994;

// Nearest integer to v, halves away from zero, into `out`; false (out untouched) for NaN,
// infinities and magnitudes of 2^52 and more, which are already integral.
inline bool round_to_int(double v, std::int64_t& out) noexcept {
  if (!(std::fabs(v) < 4503599627370496.0)) return false;  // 2^52
  out = static_cast<std::int64_t>(v + std::copysign(kBelowHalf, v));
  return true;
}

// Nearest integer, halves away from zero, as a double; NaN, infinities and magnitudes of
// 2^52 and more (already integral) come back unchanged. Inline and free of library calls:
// it runs once per coordinate of every primitive.
inline double round_half_away(double v) noexcept {
  std::int64_t i;
  return round_to_int(v, i) ? static_cast<double>(i) : v;
}

// With a logical window: x ← (x − win_x) · view_w / win_w, y ← (y − win_y) · view_h / win_h.
inline void to_view(const DrawState& s, double& x, double& y) noexcept {
  const LogicalWindow& w = s.win;
  if (!w.active) return;
  x = (x - w.x) * s.view.width / w.w;
  y = (y - w.y) * s.view.height / w.h;
}

// The coordinate transform of a primitive's point to a canvas pixel:
//   to_view;
//   round half away from zero; y ← view_h − 1 − y unless screen-oriented (logical y grows
//   upward); add the viewport origin unless view-screen.
inline Point to_pixel(const DrawState& s, double x, double y) noexcept {
  const Viewport& v = s.view;
  const LogicalWindow& w = s.win;
  to_view(s, x, y);
  x = round_half_away(x);
  y = round_half_away(y);
  if (w.active && !w.screen) y = v.height - 1 - y;
  if (!v.screen) {
    x += v.left;
    y += v.top;
  }
  return {x, y};
}

// to_pixel(s, x, y) when it lies in clip, as integers: the same rounding without the trip back
// through double, for the one-pixel primitive that runs on every integration step. False
// outside clip, and for NaN, infinite and huge coordinates, which no clip holds.
inline bool pixel_in(const DrawState& s, const Rect& clip, double x, double y, int& px, int& py) noexcept {
  const Viewport& v = s.view;
  const LogicalWindow& w = s.win;
  to_view(s, x, y);
  std::int64_t ix, iy;
  if (!round_to_int(x, ix) || !round_to_int(y, iy)) return false;
  if (w.active && !w.screen) iy = std::int64_t{v.height} - 1 - iy;
  if (!v.screen) {
    ix += v.left;
    iy += v.top;
  }
  if (ix < clip.x0 || ix > clip.x1 || iy < clip.y0 || iy > clip.y1) return false;
  px = static_cast<int>(ix);
  py = static_cast<int>(iy);
  return true;
}

// SCREEN_MAP_COORD: func 0/1 logical -> viewport pixel x/y, 2/3 back; unchanged without a
// logical window; other func values give 0.
double map_coord(const DrawState& s, double v, int func) noexcept;

// Radius scale of the logical window (view_w / win_w), 1 without one.
double radius_scale(const DrawState& s) noexcept;

// Sets pixel p when it lies in clip.
void pset(Canvas& c, const Rect& clip, Point p, std::uint32_t colour, Rows& rows) noexcept;

}  // namespace surf::raster
