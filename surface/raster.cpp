// Drawing primitives on explicit state. Every primitive bounds its work by the clip
// rectangle: geometry that reaches far outside it is cut analytically first.
#include "surface/raster.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <limits>
#include <new>
#include <numbers>
#include <vector>

namespace surf::raster {

namespace {

__extension__ typedef __int128 i128;
using i64 = std::int64_t;

// Pixel coordinates up to this magnitude are drawn by exact integer arithmetic; beyond it a
// line is first cut to the clip rectangle in floating point.
constexpr double kExactLimit = 1099511627776.0;  // 2^40
// Radii up to this size run the ellipse recurrence exactly (its terms stay below 2^126).
constexpr double kExactRadius = 1073741824.0;  // 2^30
// Radii up to this size run the ellipse recurrence step by step: the walk costs O(a + b)
// cheap steps and its terms stay below 2^40.
constexpr double kWalkRadius = 4096.0;
// Centres beyond the Integer range draw nothing.
constexpr double kIntRange = 2147483648.0;
// Arcs with more points than this are limited to the angle ranges that can be visible.
constexpr i64 kArcDirect = 1 << 16;
// Upper bound of arc points computed per visible angle range (reached only for radii far
// beyond any canvas, where consecutive angles are no longer distinct doubles).
constexpr i64 kArcMaxPoints = 1 << 20;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

inline std::uint32_t* row_ptr(Canvas& c, int y) noexcept {
  return c.px + static_cast<std::ptrdiff_t>(y) * c.pitch;
}

// floor(n / d) and ceil(n / d) for d > 0.
inline i128 floor_div(i128 n, i128 d) noexcept {
  i128 q = n / d;
  if ((n % d != 0) && (n < 0)) --q;
  return q;
}
inline i128 ceil_div(i128 n, i128 d) noexcept {
  i128 q = n / d;
  if ((n % d != 0) && (n > 0)) ++q;
  return q;
}

// Stores n copies of colour from p. Long runs go to the C library's wide fill, which picks
// the widest stores the processor offers at run time (the build targets the baseline
// instruction set): about 1.7 times the speed of 16-byte stores on rows that are not in the
// cache. Short runs stay inline, 16 bytes at a time: plain loops of 32-bit stores are not
// vectorised at the project's optimisation level.
void fill_px(std::uint32_t* p, std::ptrdiff_t n, std::uint32_t colour) noexcept {
  static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
  if (n >= 64) {
    // An opaque library call: the compiler cannot see wchar_t stores to reorder against
    // later uint32_t reads.
    std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(colour), static_cast<std::size_t>(n));
    return;
  }
  typedef std::uint32_t v4 __attribute__((vector_size(16)));
  const v4 v = {colour, colour, colour, colour};
  for (; n >= 16; n -= 16, p += 16) {
    std::memcpy(p, &v, 16);
    std::memcpy(p + 4, &v, 16);
    std::memcpy(p + 8, &v, 16);
    std::memcpy(p + 12, &v, 16);
  }
  for (; n >= 4; n -= 4, p += 4) std::memcpy(p, &v, 16);
  for (; n > 0; --n) *p++ = colour;
}

// Fills x0..x1 of row y, both already inside the canvas.
inline void run(Canvas& c, int y, int x0, int x1, std::uint32_t colour) noexcept {
  fill_px(row_ptr(c, y) + x0, x1 - x0 + 1, colour);
}

// Fills the part of x0..x1 (any magnitude) on row y that lies in clip.
void clipped_run(Canvas& c, const Rect& clip, i64 y, double x0, double x1, std::uint32_t colour,
                 Rows& rows) noexcept {
  if (y < clip.y0 || y > clip.y1) return;
  x0 = std::max(x0, static_cast<double>(clip.x0));
  x1 = std::min(x1, static_cast<double>(clip.x1));
  if (!(x0 <= x1)) return;
  run(c, static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1), colour);
  rows.add(static_cast<int>(y), static_cast<int>(y));
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

bool finite(double v) noexcept { return std::isfinite(v); }

// The ellipse recurrence transcribed step by step around the integer centre (cx, cy):
//   x1 = trunc(cx − a), x2 = trunc(cx + a); A = trunc(a²), B = trunc(b²), r = trunc(a·B),
//   rx = 2·r, ry = 0, x = trunc(a); while x > 0: if r > 0 { y1++, y2--, ry += 2·A, r −= ry };
//   if r <= 0 { x--, x1++, x2--, rx −= 2·B, r += rx }; draw rows y1 and y2 from x1 to x2.
// Spans only narrow, so when filling, a row's first draw (the step that moved y) is its
// widest and the only one that can reach into clip: later draws of the row do nothing.
void walk_ellipse(Canvas& c, const Rect& clip, i64 cx, i64 cy, double a, double b, std::uint32_t colour, bool fill,
                  Rows& rows) noexcept {
  i64 x1 = static_cast<i64>(static_cast<double>(cx) - a), x2 = static_cast<i64>(static_cast<double>(cx) + a);
  i64 lo = std::numeric_limits<i64>::max(), hi = std::numeric_limits<i64>::min();  // rows written
  const auto span = [&](i64 y, i64 l, i64 r) {
    if (y < clip.y0 || y > clip.y1) return;
    l = std::max<i64>(l, clip.x0);
    r = std::min<i64>(r, clip.x1);
    if (l > r) return;
    fill_px(row_ptr(c, static_cast<int>(y)) + l, r - l + 1, colour);
    lo = std::min(lo, y);
    hi = std::max(hi, y);
  };
  const auto ends = [&](i64 y, i64 l, i64 r) {
    if (y < clip.y0 || y > clip.y1) return;
    std::uint32_t* row = row_ptr(c, static_cast<int>(y));
    const bool in_l = l >= clip.x0 && l <= clip.x1, in_r = r >= clip.x0 && r <= clip.x1;
    if (in_l) row[l] = colour;
    if (in_r) row[r] = colour;
    if (in_l || in_r) {
      lo = std::min(lo, y);
      hi = std::max(hi, y);
    }
  };
  if (b == 0 || fill) span(cy, x1, x2);
  else ends(cy, x1, x2);
  if (b != 0) {
    const i64 A = static_cast<i64>(a * a), B = static_cast<i64>(b * b);
    i64 r = static_cast<i64>(a * static_cast<double>(B)), rx = 2 * r, ry = 0;
    i64 x = static_cast<i64>(a), y1 = cy, y2 = cy;
    while (x > 0) {
      bool moved = false;
      if (r > 0) {
        ++y1, --y2, ry += 2 * A, r -= ry;
        moved = true;
      }
      if (r <= 0) --x, ++x1, --x2, rx -= 2 * B, r += rx;
      if (fill) {
        if (moved) {
          span(y1, x1, x2);
          span(y2, x1, x2);
        }
      } else {
        ends(y1, x1, x2);
        ends(y2, x1, x2);
      }
      if (y1 > clip.y1 && y2 < clip.y0) break;  // every later row lies outside clip
    }
  }
  if (lo <= hi) rows.add(static_cast<int>(lo), static_cast<int>(hi));
}

}  // namespace

const std::uint8_t* font_for(int height) noexcept {
  switch (height) {
    case 14: return kFont8x14;
    case 16: return kFont8x16;
    default: return kFont8x8;
  }
}

bool Point::finite() const noexcept { return std::isfinite(x) && std::isfinite(y); }

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
  if (!clip.contains(p.x, p.y)) return;  // also rejects NaN
  const int x = static_cast<int>(p.x), y = static_cast<int>(p.y);
  row_ptr(c, y)[x] = colour;
  rows.add(y, y);
}

std::int64_t point(const Canvas& c, const Rect& clip, Point p) noexcept {
  if (!clip.contains(p.x, p.y)) return -1;
  return c.px[static_cast<std::ptrdiff_t>(p.y) * c.pitch + static_cast<std::ptrdiff_t>(p.x)];
}

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

// The ellipse recurrence, with half-axes a, b around (cx, cy) and 64-bit-style integers
//   A = trunc(a²), B = trunc(b²), r0 = trunc(a·B), x0 = trunc(a):
// after yd vertical and k horizontal steps its residual is
//   r(yd, k) = r0 − A·yd·(yd + 1) + 2·r0·k − B·k·(k + 1),
// which falls with yd and rises with k for k < x0 (r0 >= B·x0). Hence row cy ± yd is drawn
// for k from kf(yd) to kl(yd) = g(yd), where g(yd) is the least k < x0 with r(yd, k) > 0 (x0 when
// none), kf(0) = 0 and kf(yd) = g(yd − 1) + [g(yd − 1) < g(yd)]; the walk ends at the first yd
// with g(yd) = x0. Only rows that can be visible are evaluated, so huge radii cost no more
// than small ones.
void ellipse(Canvas& c, const Rect& clip, Point centre, double a, double b, std::uint32_t colour, bool fill,
             Rows& rows) noexcept {
  if (clip.empty() || !centre.finite() || !finite(a) || !finite(b) || a < 0) return;
  if (std::fabs(centre.x) >= kIntRange || std::fabs(centre.y) >= kIntRange) return;
  const i64 cx = static_cast<i64>(centre.x), cy = static_cast<i64>(centre.y);
  if (a <= kWalkRadius && std::fabs(b) <= kWalkRadius) {
    walk_ellipse(c, clip, cx, cy, a, b, colour, fill, rows);
    return;
  }

  // Draws row cy ± yd for the horizontal steps kf..kl: the span at kf when filling (later,
  // narrower spans of the same row draw nothing), else the end pixels of every step.
  const auto draw_rows = [&](i64 yd, double x1, double x2, double kf, double kl) {
    const i64 ys[2] = {cy + yd, cy - yd};
    for (int j = 0; j < (yd == 0 ? 1 : 2); ++j) {
      if (fill) {
        clipped_run(c, clip, ys[j], x1 + kf, x2 - kf, colour, rows);
      } else {
        clipped_run(c, clip, ys[j], x1 + kf, x1 + kl, colour, rows);
        clipped_run(c, clip, ys[j], x2 - kl, x2 - kf, colour, rows);
      }
    }
  };
  // Offsets yd for which row cy + yd or cy − yd is inside the clip rows.
  i64 yd_lo, yd_hi;
  if (cy < clip.y0) yd_lo = clip.y0 - cy, yd_hi = clip.y1 - cy;
  else if (cy > clip.y1) yd_lo = cy - clip.y1, yd_hi = cy - clip.y0;
  else yd_lo = 0, yd_hi = std::max<i64>(clip.y1 - cy, cy - clip.y0);

  if (a > kExactRadius || std::fabs(b) > kExactRadius) {
    // Beyond the exact range: the half-width of row yd is round(a·√(1 − (yd/b)²)); end pixels
    // run down to the next row's half-width so that the outline stays closed.
    const double bb = std::fabs(b);
    const auto half = [&](i64 yd) {
      const double u = static_cast<double>(yd) / bb;
      return u > 1 ? -1.0 : std::round(a * std::sqrt(std::max(0.0, 1 - u * u)));
    };
    const double fx = static_cast<double>(cx);
    for (i64 yd = yd_lo; yd <= yd_hi; ++yd) {
      const double h = half(yd);
      if (h < 0) break;
      const double inner = std::min(h, half(yd + 1) + 1);
      draw_rows(yd, fx - h, fx + h, 0, h - inner);
    }
    return;
  }

  const double fx1 = std::trunc(static_cast<double>(cx) - a), fx2 = std::trunc(static_cast<double>(cx) + a);
  if (b == 0) {
    clipped_run(c, clip, cy, fx1, fx2, colour, rows);
    return;
  }
  const i64 A = static_cast<i64>(a * a), B = static_cast<i64>(b * b);
  const i128 r0 = static_cast<i128>(a * static_cast<double>(B));  // up to 2^90
  const i64 x0 = static_cast<i64>(a);
  const auto r = [&](i64 yd, i64 k) -> i128 {
    return r0 - static_cast<i128>(A) * yd * (yd + 1) + 2 * r0 * k -
           static_cast<i128>(B) * k * (k + 1);
  };
  // g(yd), searched from `from` upward (g never decreases with yd): doubling steps, then bisection.
  const auto g = [&](i64 yd, i64 from) -> i64 {
    if (from >= x0) return x0;
    if (r(yd, from) > 0) return from;
    i64 lo = from, hi = from, step = 1;  // r(yd, lo) <= 0 < r(yd, hi) once found
    for (;;) {
      hi = std::min(lo + step, x0 - 1);
      if (r(yd, hi) > 0) break;
      if (hi == x0 - 1) return x0;  // no k < x0 qualifies
      lo = hi;
      step *= 2;
    }
    while (hi - lo > 1) {
      const i64 mid = lo + (hi - lo) / 2;
      if (r(yd, mid) > 0) hi = mid;
      else lo = mid;
    }
    return hi;
  };
  if (x0 == 0) {  // the walk never starts: only the centre row
    draw_rows(0, fx1, fx2, 0, 0);
    return;
  }
  i64 g_prev = yd_lo > 0 ? g(yd_lo - 1, 0) : 0;
  for (i64 yd = yd_lo; yd <= yd_hi; ++yd) {
    if (yd > 0 && g_prev >= x0) break;  // the walk ended on the previous row
    const i64 g_here = g(yd, yd > 0 ? g_prev : 0);
    const i64 kf = yd == 0 ? 0 : g_prev + (g_prev < g_here ? 1 : 0);
    draw_rows(yd, fx1, fx2, static_cast<double>(kf), static_cast<double>(g_here));
    g_prev = g_here;
  }
}

// Arc points are (cx + round(a·cos t), cy − round(b·sin t)) for t = start + i·Δ while
// t < end + Δ/2, Δ = 1 / (1.5·√a·√b). Long arcs are restricted to the angles at which the
// point can fall into the clip rectangle.
void arc(Canvas& c, const Rect& clip, Point centre, double a, double b, double start, double end,
         std::uint32_t colour, Rows& rows) noexcept {
  if (clip.empty() || !centre.finite() || !finite(a) || !finite(b) || !finite(start) || !finite(end)) return;
  const double cx = centre.x, cy = centre.y;
  const auto at = [&](double t) { return Point{cx + std::round(a * std::cos(t)), cy - std::round(b * std::sin(t))}; };
  if (start < 0) {
    start = -start;
    line(c, clip, centre, at(start), colour, 0xFFFF, rows);
  }
  if (end < 0) {
    end = -end;
    line(c, clip, centre, at(end), colour, 0xFFFF, rows);
  }
  // Points depend on t only modulo 2π: move start into [0, 2π) so the steps below stay exact.
  const double turns = std::floor(start / kTwoPi);
  if (turns != 0) {
    start -= turns * kTwoPi;
    end -= turns * kTwoPi;
  }
  // While end < start add 2π to end; while end − start > 2π add 2π to start.
  if (end < start) end += std::ceil((start - end) / kTwoPi) * kTwoPi;
  if (end < start) end = start;
  if (end - start > kTwoPi) start += std::ceil((end - start - kTwoPi) / kTwoPi) * kTwoPi;
  if (end - start > kTwoPi || start > end) start = end - kTwoPi;

  const double delta = 1.0 / (1.5 * std::sqrt(std::fabs(a)) * std::sqrt(std::fabs(b)));  // Δ
  if (!(delta > 0) || !finite(delta)) return;
  const double stop = end + delta / 2;
  // Last index with start + i·Δ < stop.
  double n_last = std::ceil((stop - start) / delta) - 1;
  if (!(n_last >= 0)) return;
  if (n_last < 9.0e15) {
    while (n_last >= 0 && start + n_last * delta >= stop) n_last -= 1;
    while (start + (n_last + 1) * delta < stop) n_last += 1;
  }
  const auto plot = [&](i64 i0, i64 i1, i64 step) {
    for (i64 i = i0; i <= i1; i += step) pset(c, clip, at(start + static_cast<double>(i) * delta), colour, rows);
  };
  if (n_last < static_cast<double>(kArcDirect)) {
    plot(0, static_cast<i64>(n_last), 1);
    return;
  }

  // Angle ranges where the point can be visible (with 1.5 pixels to spare for rounding):
  // cos t ∈ [p, q] and sin t ∈ [s0, s1].
  const double fa = std::fabs(a), fb = std::fabs(b);
  if (fa == 0 || fb == 0) return;
  double p = (clip.x0 - cx - 1.5) / fa, q = (clip.x1 - cx + 1.5) / fa;
  if (a < 0) {  // cos t = −(a·cos t)/|a|
    const double np = -q;
    q = -p;
    p = np;
  }
  double s0 = (cy - clip.y1 - 1.5) / fb, s1 = (cy - clip.y0 + 1.5) / fb;
  if (b < 0) {
    const double ns0 = -s1;
    s1 = -s0;
    s0 = ns0;
  }
  if (q < -1 || p > 1 || s1 < -1 || s0 > 1) return;
  p = std::max(p, -1.0), q = std::min(q, 1.0), s0 = std::max(s0, -1.0), s1 = std::min(s1, 1.0);
  struct Span {
    double lo, hi;
  };
  const Span xs[2] = {{std::acos(q), std::acos(p)}, {-std::acos(p), -std::acos(q)}};
  const Span ys[2] = {{std::asin(s0), std::asin(s1)}, {std::numbers::pi - std::asin(s1), std::numbers::pi - std::asin(s0)}};
  // start ∈ [0, 2π) and stop < start + 2π + Δ, so shifts of −1..3 turns cover the arc.
  for (int kx = -1; kx <= 3; ++kx) {
    for (const Span& x : xs) {
      for (int ky = -1; ky <= 3; ++ky) {
        for (const Span& y : ys) {
          const double lo = std::max({x.lo + kx * kTwoPi, y.lo + ky * kTwoPi, start});
          const double hi = std::min({x.hi + kx * kTwoPi, y.hi + ky * kTwoPi, stop});
          if (lo > hi) continue;
          const double i0 = std::max(0.0, std::floor((lo - start) / delta) - 1);
          const double i1 = std::min(n_last, std::ceil((hi - start) / delta) + 1);
          if (i0 > i1) continue;
          const double count = i1 - i0 + 1;
          const i64 step = count > static_cast<double>(kArcMaxPoints)
                               ? static_cast<i64>(std::ceil(count / static_cast<double>(kArcMaxPoints)))
                               : 1;
          plot(static_cast<i64>(i0), static_cast<i64>(i1), step);
        }
      }
    }
  }
}

bool paint(Canvas& c, const Rect& clip, Point p, std::uint32_t colour, std::uint32_t border, Rows& rows) noexcept {
  if (clip.empty() || !clip.contains(p.x, p.y)) return true;
  const int sx = static_cast<int>(p.x), sy = static_cast<int>(p.y);
  if (row_ptr(c, sy)[sx] == border) return true;
  const int w = clip.x1 - clip.x0 + 1, h = clip.y1 - clip.y0 + 1;
  struct Span {
    int y, x0, x1;
  };
  struct Seed {
    int x, y;
  };
  try {
    // One bit per clip pixel: part of a span already found.
    std::vector<std::uint64_t> seen((static_cast<std::size_t>(w) * static_cast<std::size_t>(h) + 63) / 64, 0);
    const auto bit = [&](int x, int y) {
      return static_cast<std::size_t>(y - clip.y0) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x - clip.x0);
    };
    const auto is_seen = [&](int x, int y) {
      const std::size_t i = bit(x, y);
      return (seen[i >> 6] >> (i & 63)) & 1u;
    };
    std::vector<Span> found;
    std::vector<Seed> stack{{sx, sy}};
    while (!stack.empty()) {
      const Seed s = stack.back();
      stack.pop_back();
      const std::uint32_t* row = row_ptr(c, s.y);
      if (row[s.x] == border || is_seen(s.x, s.y)) continue;
      // A span reaches left and right until the border colour or the clip edge.
      int x0 = s.x, x1 = s.x;
      while (x0 > clip.x0 && row[x0 - 1] != border) --x0;
      while (x1 < clip.x1 && row[x1 + 1] != border) ++x1;
      for (int x = x0; x <= x1; ++x) {
        const std::size_t i = bit(x, s.y);
        seen[i >> 6] |= std::uint64_t{1} << (i & 63);
      }
      found.push_back({s.y, x0, x1});
      // Queue one seed per run of open pixels in the rows above and below, over this span.
      for (int ny : {s.y - 1, s.y + 1}) {
        if (ny < clip.y0 || ny > clip.y1) continue;
        const std::uint32_t* nrow = row_ptr(c, ny);
        bool in_run = false;
        for (int x = x0; x <= x1; ++x) {
          const bool open = nrow[x] != border && !is_seen(x, ny);
          if (open && !in_run) stack.push_back({x, ny});
          in_run = open;
        }
      }
    }
    for (const Span& s : found) {
      run(c, s.y, s.x0, s.x1, colour);
      rows.add(s.y, s.y);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void text(Canvas& c, const Rect& clip, Point p, const std::string& s, const std::uint8_t* font, int font_height,
          std::uint32_t colour, Rows& rows) noexcept {
  if (clip.empty() || s.empty() || !p.finite()) return;
  const double width = 8.0 * static_cast<double>(s.size());
  // The whole text outside the clip rectangle draws nothing.
  if (p.x > clip.x1 || p.x + width - 1 < clip.x0 || p.y > clip.y1 || p.y + font_height - 1 < clip.y0) return;
  const i64 x = static_cast<i64>(p.x), y = static_cast<i64>(p.y);
  // Characters whose cell lies wholly left of the clip (x + 8·i + 7 < x0) are skipped.
  const i64 first = clip.x0 > x ? (clip.x0 - x) / 8 : 0;
  const i64 last = std::min<i64>(static_cast<i64>(s.size()) - 1, (clip.x1 - x) / 8);
  const int gy0 = static_cast<int>(std::max<i64>(0, clip.y0 - y));
  const int gy1 = static_cast<int>(std::min<i64>(font_height - 1, clip.y1 - y));
  for (i64 i = first; i <= last; ++i) {
    const std::uint8_t* glyph = font + static_cast<std::size_t>(static_cast<unsigned char>(s[static_cast<std::size_t>(i)])) * font_height;
    const i64 cell = x + 8 * i;
    for (int gy = gy0; gy <= gy1; ++gy) {
      unsigned bits = glyph[gy];
      if (!bits) continue;
      std::uint32_t* row = row_ptr(c, static_cast<int>(y + gy));
      for (int bx = 0; bits; ++bx, bits >>= 1) {
        const i64 px = cell + bx;
        if ((bits & 1u) && px >= clip.x0 && px <= clip.x1) row[px] = colour;
      }
    }
  }
  rows.add(static_cast<int>(y + gy0), static_cast<int>(y + gy1));
}

void text_cells(Canvas& c, const Rect& clip, int x, int y, const std::string& s, const std::uint8_t* font,
                int font_height, std::uint32_t fore, std::uint32_t back, Rows& rows) noexcept {
  if (clip.empty()) return;
  const i64 n = static_cast<i64>(s.size());
  const i64 first = clip.x0 > x ? (static_cast<i64>(clip.x0) - x) / 8 : 0;
  const i64 last = std::min<i64>(n - 1, (static_cast<i64>(clip.x1) - x) / 8);
  for (int gy = 0; gy < font_height; ++gy) {
    const i64 py = static_cast<i64>(y) + gy;
    if (py < clip.y0 || py > clip.y1) continue;
    std::uint32_t* row = row_ptr(c, static_cast<int>(py));
    for (i64 i = first; i <= last; ++i) {
      const unsigned bits = font[static_cast<std::size_t>(static_cast<unsigned char>(s[static_cast<std::size_t>(i)])) * font_height + gy];
      for (int bx = 0; bx < 8; ++bx) {
        const i64 px = x + 8 * i + bx;
        if (px >= clip.x0 && px <= clip.x1) row[px] = (bits >> bx) & 1u ? fore : back;
      }
    }
    rows.add(static_cast<int>(py), static_cast<int>(py));
  }
}

void scroll_up(Canvas& c, int by, std::uint32_t colour, Rows& rows) noexcept {
  if (c.height <= 0 || by <= 0) return;
  by = std::min(by, c.height);
  const std::size_t row_bytes = static_cast<std::size_t>(c.width) * sizeof(std::uint32_t);
  for (int y = 0; y + by < c.height; ++y) std::memmove(row_ptr(c, y), row_ptr(c, y + by), row_bytes);
  for (int y = c.height - by; y < c.height; ++y) run(c, y, 0, c.width - 1, colour);
  rows.add(0, c.height - 1);
}

void blit(Canvas& dst, const Rect& clip, Point p, const Canvas& src, Rows& rows) noexcept {
  if (clip.empty() || !p.finite() || src.width <= 0 || src.height <= 0) return;
  const double x0 = std::max(p.x, static_cast<double>(clip.x0));
  const double y0 = std::max(p.y, static_cast<double>(clip.y0));
  const double x1 = std::min(p.x + src.width - 1, static_cast<double>(clip.x1));
  const double y1 = std::min(p.y + src.height - 1, static_cast<double>(clip.y1));
  if (x0 > x1 || y0 > y1) return;
  const int dx0 = static_cast<int>(x0), dy0 = static_cast<int>(y0), dx1 = static_cast<int>(x1), dy1 = static_cast<int>(y1);
  const int sx0 = static_cast<int>(x0 - p.x), sy0 = static_cast<int>(y0 - p.y);
  const std::size_t bytes = static_cast<std::size_t>(dx1 - dx0 + 1) * sizeof(std::uint32_t);
  const int n = dy1 - dy0 + 1;
  // Within one buffer a downward move must copy the lowest row first.
  const bool bottom_up = src.px == dst.px && dy0 > sy0;
  for (int j = 0; j < n; ++j) {
    const int r = bottom_up ? n - 1 - j : j;
    std::memmove(row_ptr(dst, dy0 + r) + dx0, src.px + static_cast<std::ptrdiff_t>(sy0 + r) * src.pitch + sx0, bytes);
  }
  rows.add(dy0, dy1);
}

}  // namespace surf::raster
