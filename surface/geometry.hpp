#pragma once
// The value types of drawing: pixel blocks, positions, rectangles, the viewport and the drawing
// state, and the band of rows a primitive wrote. The rasterisers need nothing else of the
// surface, so they can be tested on a plain pixel buffer.
#include <cmath>
#include <cstdint>

namespace surf {

// A block of 32-bit pixels: `pitch` pixels from one row to the next.
struct Canvas {
  std::uint32_t* px = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
};

// A pixel position; either coordinate may be NaN, infinite or far outside any canvas.
struct Point {
  double x = 0, y = 0;
  bool finite() const noexcept { return std::isfinite(x) && std::isfinite(y); }
};

// Inclusive pixel rectangle; empty when x1 < x0 or y1 < y0.
struct Rect {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  bool empty() const noexcept { return x1 < x0 || y1 < y0; }
  bool contains(double x, double y) const noexcept { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
  bool contains(Point p) const noexcept { return contains(p.x, p.y); }
  bool operator==(const Rect&) const = default;
};

// The viewport in surface pixels; `screen`: primitive coordinates are absolute.
struct Viewport {
  int left = 0, top = 0, width = 0, height = 0;
  bool screen = false;
  bool user_set = false;  // set by SCREEN_SET_VIEW and not reset since
};

// Logical coordinates laid over the viewport.
struct LogicalWindow {
  float x = 0, y = 0, w = 0, h = 0;
  bool active = false;
  bool screen = false;  // screen-oriented: logical y grows downward
};

// Everything a primitive needs besides its target.
struct DrawState {
  std::uint32_t fore = 0xFFFFFFFFu;
  std::uint32_t back = 0xFF000000u;
  Viewport view;
  LogicalWindow win;
  int font_height = 8;  // 8, 14 or 16
  int cursor_row = 0, cursor_col = 0;
};

// The rows a primitive wrote and the columns it wrote them in, for marking them changed.
struct Rows {
  int y0 = 1 << 30, y1 = -(1 << 30);
  int x0 = 1 << 30, x1 = -(1 << 30);
  // Widens the band to rows a..b, columns left..right.
  void add(int a, int b, int left, int right) noexcept {
    if (a < y0) y0 = a;
    if (b > y1) y1 = b;
    if (left < x0) x0 = left;
    if (right > x1) x1 = right;
  }
  bool any() const noexcept { return y0 <= y1; }
};

}  // namespace surf
