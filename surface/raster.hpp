#pragma once
// Drawing primitives on explicit state: a Canvas, a DrawState and a clip rectangle.
// Nothing here touches the global surface, so every primitive can be tested on a plain
// pixel buffer. Coordinates handed in are pixels as doubles (already transformed); NaN,
// infinite and huge values are accepted and never cause work outside the clip rectangle.
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

// The viewport of `s` as a rectangle, intersected with the canvas.
Rect viewport_rect(const DrawState& s, const Canvas& c) noexcept;

// Coordinate transform of a primitive's point to a canvas pixel:
// logical -> (v - win) * view / win_size, round half away from zero, flip y unless
// screen-oriented, add the viewport origin unless view-screen.
Point to_pixel(const DrawState& s, double x, double y) noexcept;

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
