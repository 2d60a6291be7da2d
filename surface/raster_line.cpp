// Lines by exact integer steps, solved directly for the visible part, and rectangles.
#include "surface/raster_line.hpp"

#include <algorithm>
#include <cmath>

#include "surface/raster_span.hpp"

namespace surf::raster {

namespace {

// Pixel coordinates up to this magnitude are drawn by exact integer arithmetic; beyond it a
// line is first cut to the clip rectangle in floating point.
constexpr double kExactLimit = 1099511627776.0;  // 2^40

// ceil(n / d) for d > 0.
inline i128 ceil_div(i128 n, i128 d) noexcept {
  i128 q = n / d;
  if ((n % d != 0) && (n > 0)) ++q;
  return q;
}

// Bresenham line between integer end points within ±kExactLimit. Along the major axis step
// i = 0..n the minor offset is k(i) = floor((2·i·dmin + n − 1) / (2·n)), n = dmaj, which is
// the classic error-term walk (ties stay on the current minor coordinate). The visible
// steps are solved for directly, so the work is proportional to the visible pixels.
void exact_line(Canvas& c, const Rect& clip, i64 x1, i64 y1, i64 x2, i64 y2, std::uint32_t colour,
                std::uint16_t style, int style_phase, Rows& rows) noexcept {
  const i64 dx = x2 - x1, dy = y2 - y1;
  const bool x_major = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  // Major axis (m) and minor axis (s): start, direction, length and clip range.
  const i64 m0 = x_major ? x1 : y1, s0 = x_major ? y1 : x1;
  const i64 dm = x_major ? dx : dy, ds = x_major ? dy : dx;
  const i64 n = dm < 0 ? -dm : dm, e = ds < 0 ? -ds : ds;
  const int sm = dm < 0 ? -1 : 1, ss = ds < 0 ? -1 : 1;
  const i64 mlo = x_major ? clip.x0 : clip.y0, mhi = x_major ? clip.x1 : clip.y1;
  const i64 slo = x_major ? clip.y0 : clip.x0, shi = x_major ? clip.y1 : clip.x1;

  // Steps whose major coordinate is visible.
  i128 ilo = sm > 0 ? mlo - m0 : m0 - mhi;
  i128 ihi = sm > 0 ? mhi - m0 : m0 - mlo;
  // Minor offsets k whose minor coordinate is visible.
  const i64 klo = ss > 0 ? slo - s0 : s0 - shi;
  const i64 khi = ss > 0 ? shi - s0 : s0 - slo;
  if (e == 0) {
    if (klo > 0 || khi < 0) return;
  } else {
    // k(i) >= m  <=>  i >= ceil((2·n·m − n + 1) / (2·e));  k(i) <= M  <=>  i < ceil((2·n·(M+1) − n + 1) / (2·e)).
    const i128 two_n = 2 * static_cast<i128>(n), two_e = 2 * static_cast<i128>(e);
    ilo = std::max(ilo, ceil_div(two_n * klo - n + 1, two_e));
    ihi = std::min(ihi, ceil_div(two_n * (static_cast<i128>(khi) + 1) - n + 1, two_e) - 1);
  }
  ilo = std::max<i128>(ilo, 0);
  ihi = std::min<i128>(ihi, n);
  if (ilo > ihi) return;

  const i64 first = static_cast<i64>(ilo), last = static_cast<i64>(ihi);
  i64 k = 0, rem = 0;
  const i64 two_n = 2 * n, two_e = 2 * e;
  if (n > 0) {
    const i128 num = 2 * static_cast<i128>(first) * e + n - 1;
    k = static_cast<i64>(num / two_n);
    rem = static_cast<i64>(num % two_n);
  }
  const bool solid = style == 0xFFFF;
  int ymin = 1 << 30, ymax = -(1 << 30);
  for (i64 i = first; i <= last; ++i) {
    const int pm = static_cast<int>(m0 + sm * i);
    const int ps = static_cast<int>(s0 + ss * k);
    const int x = x_major ? pm : ps, y = x_major ? ps : pm;
    if (solid || ((style >> (15 - ((i + style_phase) & 15))) & 1)) row_ptr(c, y)[x] = colour;
    ymin = std::min(ymin, y);
    ymax = std::max(ymax, y);
    rem += two_e;
    if (rem >= two_n) {
      rem -= two_n;
      ++k;
    }
  }
  rows.add(ymin, ymax);
}

// Rounds and bounds a cut end point so that it converts to an integer safely.
i64 settle(long double v, long double lo, long double hi) noexcept {
  return static_cast<i64>(std::llround(std::clamp(v, lo, hi)));
}

}  // namespace

void line(Canvas& c, const Rect& clip, Point a, Point b, std::uint32_t colour, std::uint16_t style,
          Rows& rows) noexcept {
  if (clip.empty() || !a.finite() || !b.finite()) return;
  const auto small = [](const Point& p) { return std::fabs(p.x) <= kExactLimit && std::fabs(p.y) <= kExactLimit; };
  if (small(a) && small(b)) {
    exact_line(c, clip, static_cast<i64>(a.x), static_cast<i64>(a.y), static_cast<i64>(b.x),
               static_cast<i64>(b.y), colour, style, 0, rows);
    return;
  }
  // Cut the segment to the clip rectangle widened by 2 pixels, moving each outside end point
  // along the line onto the edge it lies beyond (the slope comes from the original points),
  // then draw the remaining part exactly.
  using ld = long double;
  const ld bx0 = clip.x0 - 2.0L, bx1 = clip.x1 + 2.0L, by0 = clip.y0 - 2.0L, by1 = clip.y1 + 2.0L;
  const ld dx = static_cast<ld>(b.x) - a.x, dy = static_cast<ld>(b.y) - a.y;
  const auto outcode = [&](ld x, ld y) {
    return (x < bx0 ? 1 : x > bx1 ? 2 : 0) | (y < by0 ? 4 : y > by1 ? 8 : 0);
  };
  ld px[2] = {a.x, b.x}, py[2] = {a.y, b.y};
  for (int step = 0; step < 8; ++step) {
    const int c0 = outcode(px[0], py[0]), c1 = outcode(px[1], py[1]);
    if ((c0 | c1) == 0) break;
    if (c0 & c1) return;  // wholly beyond one edge
    const int j = c0 ? 0 : 1, code = c0 ? c0 : c1;
    if (code & 3) {
      const ld edge = (code & 1) ? bx0 : bx1;
      py[j] += (edge - px[j]) * dy / dx;
      px[j] = edge;
    } else {
      const ld edge = (code & 4) ? by0 : by1;
      px[j] += (edge - py[j]) * dx / dy;
      py[j] = edge;
    }
  }
  const ld lo_x = bx0 - 4, hi_x = bx1 + 4, lo_y = by0 - 4, hi_y = by1 + 4;
  if (!(std::isfinite(px[0]) && std::isfinite(py[0]) && std::isfinite(px[1]) && std::isfinite(py[1]))) return;
  const i64 x1 = settle(px[0], lo_x, hi_x), y1 = settle(py[0], lo_y, hi_y);
  const i64 x2 = settle(px[1], lo_x, hi_x), y2 = settle(py[1], lo_y, hi_y);
  // Keep the style pattern's phase where the cut start's distance along the major axis is known.
  const ld travelled = std::max(std::fabs(static_cast<ld>(x1) - a.x), std::fabs(static_cast<ld>(y1) - a.y));
  const int phase = travelled < 1e15L ? static_cast<int>(std::fmod(travelled, 16.0L)) : 0;
  exact_line(c, clip, x1, y1, x2, y2, colour, style, phase, rows);
}

void rect(Canvas& c, const Rect& clip, Point a, Point b, std::uint32_t colour, bool fill, std::uint16_t style,
          Rows& rows) noexcept {
  if (clip.empty() || !a.finite() || !b.finite()) return;
  const double x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
  const double y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
  if (!fill) {
    line(c, clip, {x0, y0}, {x1, y0}, colour, style, rows);
    line(c, clip, {x0, y1}, {x1, y1}, colour, style, rows);
    line(c, clip, {x0, y0}, {x0, y1}, colour, style, rows);
    line(c, clip, {x1, y0}, {x1, y1}, colour, style, rows);
    return;
  }
  // Wholly outside: nothing to fill, and the corners may not even fit in an int.
  if (x0 > clip.x1 || x1 < clip.x0 || y0 > clip.y1 || y1 < clip.y0) return;
  fill_rect(c, clip,
            Rect{static_cast<int>(std::max(x0, double(clip.x0))), static_cast<int>(std::max(y0, double(clip.y0))),
                 static_cast<int>(std::min(x1, double(clip.x1))), static_cast<int>(std::min(y1, double(clip.y1)))},
            colour, rows);
}

void fill_rect(Canvas& c, const Rect& clip, const Rect& r, std::uint32_t colour, Rows& rows) noexcept {
  const int x0 = std::max(r.x0, clip.x0), x1 = std::min(r.x1, clip.x1);
  const int y0 = std::max(r.y0, clip.y0), y1 = std::min(r.y1, clip.y1);
  if (x0 > x1 || y0 > y1) return;
  for (int y = y0; y <= y1; ++y) run(c, y, x0, x1, colour);
  rows.add(y0, y1);
}

}  // namespace surf::raster
