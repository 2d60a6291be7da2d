// Block copies, row by row.
#include "surface/raster_blit.hpp"

#include <cstring>

#include "surface/raster_span.hpp"

namespace surf::raster {

Rect blit_box(const Rect& clip, Point p, const Canvas& src) noexcept {
  if (clip.empty() || !p.finite() || src.width <= 0 || src.height <= 0) return {};
  const double x0 = std::max(p.x, static_cast<double>(clip.x0));
  const double y0 = std::max(p.y, static_cast<double>(clip.y0));
  const double x1 = std::min(p.x + src.width - 1, static_cast<double>(clip.x1));
  const double y1 = std::min(p.y + src.height - 1, static_cast<double>(clip.y1));
  if (x0 > x1 || y0 > y1) return {};
  return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)};
}

void blit(Canvas& dst, const Rect& clip, Point p, const Canvas& src, Rows& rows) noexcept {
  const Rect box = blit_box(clip, p, src);
  if (box.empty()) return;
  const int dx0 = box.x0, dy0 = box.y0, dx1 = box.x1, dy1 = box.y1;
  const int sx0 = static_cast<int>(dx0 - p.x), sy0 = static_cast<int>(dy0 - p.y);
  const std::size_t bytes = static_cast<std::size_t>(dx1 - dx0 + 1) * sizeof(std::uint32_t);
  const int n = dy1 - dy0 + 1;
  // Within one buffer a downward move must copy the lowest row first.
  const bool bottom_up = src.px == dst.px && dy0 > sy0;
  for (int j = 0; j < n; ++j) {
    const int r = bottom_up ? n - 1 - j : j;
    std::memmove(row_ptr(dst, dy0 + r) + dx0, src.px + static_cast<std::ptrdiff_t>(sy0 + r) * src.pitch + sx0, bytes);
  }
  rows.add(dy0, dy1, dx0, dx1);
}

}  // namespace surf::raster
