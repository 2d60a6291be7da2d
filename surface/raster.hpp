#pragma once
// Drawing primitives on explicit state: a Canvas, a DrawState and a clip rectangle.
// Nothing here touches the global surface, so every primitive can be tested on a plain
// pixel buffer. Coordinates handed in are pixels as doubles (already transformed); NaN,
// infinite and huge values are accepted and never cause work outside the clip rectangle.
#include <cmath>
#include <cstdint>
#include <string>

#include "surface/core.hpp"

namespace surf {

// The three code page 437 fonts, one byte per glyph row, bit 0 = leftmost pixel.
extern const std::uint8_t kFont8x8[256 * 8];
extern const std::uint8_t kFont8x14[256 * 14];
extern const std::uint8_t kFont8x16[256 * 16];

namespace raster {

// Glyph table for a font height of 8, 14 or 16 (anything else gives the 8x8 font).
const std::uint8_t* font_for(int height) noexcept;

// Inclusive pixel rectangle; empty when x1 < x0 or y1 < y0.
struct Rect {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  bool empty() const noexcept { return x1 < x0 || y1 < y0; }
  bool contains(double x, double y) const noexcept { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// The band of rows a primitive wrote, for marking them changed.
struct Rows {
  int y0 = 1 << 30, y1 = -(1 << 30);
  void add(int a, int b) noexcept {
    if (a < y0) y0 = a;
    if (b > y1) y1 = b;
  }
  bool any() const noexcept { return y0 <= y1; }
};

// A pixel position; either coordinate may be NaN, infinite or far outside any canvas.
struct Point {
  double x = 0, y = 0;
  bool finite() const noexcept;
};

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

// Nearest integer, halves away from zero, into `out`; false for NaN, infinities and
// magnitudes of 2^62 and more, which lie beyond every canvas. Inline and free of library
// calls: it runs once per coordinate of every primitive.
inline bool round_to_int(double v, std::int64_t& out) noexcept {
  if (!(std::fabs(v) < 4611686018427387904.0)) return false;  // 2^62
  out = static_cast<std::int64_t>(v + std::copysign(kBelowHalf, v));
  return true;
}

// Nearest integer, halves away from zero, as a double; NaN, infinities and magnitudes of
// 2^52 and more (already integral) come back unchanged.
inline double round_half_away(double v) noexcept {
  if (!(std::fabs(v) < 4503599627370496.0)) return v;  // 2^52
  return static_cast<double>(static_cast<std::int64_t>(v + std::copysign(kBelowHalf, v)));
}

// First stage of the transform: with an active logical window
// x ← (x − win_x) · view_w / win_w, y ← (y − win_y) · view_h / win_h; else unchanged.
inline void logical_to_view(const DrawState& s, double& x, double& y) noexcept {
  const LogicalWindow& w = s.win;
  if (!w.active) return;
  x = (x - w.x) * s.view.width / w.w;
  y = (y - w.y) * s.view.height / w.h;
}

// Coordinate transform of a primitive's point to a canvas pixel:
// logical -> (v - win) * view / win_size, round half away from zero, flip y unless
// screen-oriented, add the viewport origin unless view-screen.
inline Point to_pixel(const DrawState& s, double x, double y) noexcept {
  const Viewport& v = s.view;
  logical_to_view(s, x, y);
  x = round_half_away(x);
  y = round_half_away(y);
  if (s.win.active && !s.win.screen) y = v.height - 1 - y;  // logical y grows upward
  if (!v.screen) {
    x += v.left;
    y += v.top;
  }
  return {x, y};
}

// The same transform in integers for a single pixel: true with the pixel in (px, py) when
// it lies in clip; false otherwise, also for NaN and infinite coordinates.
inline bool pixel_in(const DrawState& s, const Rect& clip, double x, double y, int& px, int& py) noexcept {
  const Viewport& v = s.view;
  logical_to_view(s, x, y);
  std::int64_t ix, iy;
  if (!round_to_int(x, ix) || !round_to_int(y, iy)) return false;
  if (s.win.active && !s.win.screen) iy = v.height - 1 - iy;  // logical y grows upward
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

// The pixel at p, or -1 outside clip.
std::int64_t point(const Canvas& c, const Rect& clip, Point p) noexcept;

// Line with both end points, clipped to clip without changing the pixels the whole line
// would set; style bit 15 applies to the first pixel, one bit per pixel, repeating.
void line(Canvas& c, const Rect& clip, Point a, Point b, std::uint32_t colour, std::uint16_t style,
          Rows& rows) noexcept;

// Rectangle with corners a, b (any order): outline (style as for lines) or filled.
void rect(Canvas& c, const Rect& clip, Point a, Point b, std::uint32_t colour, bool fill, std::uint16_t style,
          Rows& rows) noexcept;

// The whole ellipse with radii a (horizontal) and b (vertical) around the integer centre.
void ellipse(Canvas& c, const Rect& clip, Point centre, double a, double b, std::uint32_t colour, bool fill,
             Rows& rows) noexcept;

// Arc from angle start to end (radians, counter-clockwise on screen); a negative angle also
// draws the radius line to that end.
void arc(Canvas& c, const Rect& clip, Point centre, double a, double b, double start, double end,
         std::uint32_t colour, Rows& rows) noexcept;

// Flood fill of the 4-connected region around p that does not have the border colour.
// Returns false when memory for the search ran out (nothing is drawn then).
bool paint(Canvas& c, const Rect& clip, Point p, std::uint32_t colour, std::uint32_t border, Rows& rows) noexcept;

// Ink pixels of text from the top-left corner p, cells 8 pixels apart.
void text(Canvas& c, const Rect& clip, Point p, const std::string& s, const std::uint8_t* font, int font_height,
          std::uint32_t colour, Rows& rows) noexcept;

// Text in opaque cells (ink in fore, the rest in back) from the pixel (x, y), clipped to clip.
void text_cells(Canvas& c, const Rect& clip, int x, int y, const std::string& s, const std::uint8_t* font,
                int font_height, std::uint32_t fore, std::uint32_t back, Rows& rows) noexcept;

// Fills r ∩ clip with colour.
void fill_rect(Canvas& c, const Rect& clip, const Rect& r, std::uint32_t colour, Rows& rows) noexcept;

// Moves rows `by` pixels up (whole canvas width) and fills the freed rows at the bottom with colour.
void scroll_up(Canvas& c, int by, std::uint32_t colour, Rows& rows) noexcept;

// Copies src (whole) with its top-left corner at p into dst, clipped to clip; src may be dst.
void blit(Canvas& dst, const Rect& clip, Point p, const Canvas& src, Rows& rows) noexcept;

}  // namespace raster
}  // namespace surf
