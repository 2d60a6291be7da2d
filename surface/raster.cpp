// The coordinate queries and the single pixel.
#include "surface/raster.hpp"

#include "surface/raster_span.hpp"

namespace surf::raster {

double map_coord(const DrawState& s, double v, int func) noexcept {
  const LogicalWindow& w = s.win;
  if (!w.active) return v;
  const double vw = s.view.width, vh = s.view.height;
  switch (func) {
    case 0: return (v - w.x) * vw / w.w;
    case 1: {
      const double p = (v - w.y) * vh / w.h;
      return w.screen ? p : vh - 1 - p;
    }
    case 2: return w.x + v * w.w / vw;
    case 3: return w.y + w.h * (w.screen ? v : vh - 1 - v) / vh;
    default: return 0;
  }
}

double radius_scale(const DrawState& s) noexcept {
  return s.win.active ? static_cast<double>(s.view.width) / s.win.w : 1.0;
}

void pset(Canvas& c, const Rect& clip, Point p, std::uint32_t colour, Rows& rows) noexcept {
  if (!clip.contains(p)) return;  // also rejects NaN
  const int x = static_cast<int>(p.x), y = static_cast<int>(p.y);
  row_ptr(c, y)[x] = colour;
  rows.add(y, y, x, x);
}

}  // namespace surf::raster
