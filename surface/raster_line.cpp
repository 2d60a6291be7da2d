// Lines by exact integer steps, solved directly for the visible part, and rectangles.
#include "surface/raster_line.hpp"

#include <algorithm>
#include <cmath>

#include "surface/raster_span.hpp"

namespace surf::raster {

namespace {

// End points up to this magnitude are drawn by exact integer steps: differences stay within
// 2^63 and every product below within 2^127.
constexpr double kExactLimit = 4611686018427387904.0;  // 2^62

// ceil(n / d) for d > 0.
inline i128 ceil_div(i128 n, i128 d) noexcept {
  i128 q = n / d;
  if ((n % d != 0) && (n > 0)) ++q;
  return q;
}

// Sets count + 1 pixels from p, one major step apart; the remainder grows by 2e per step and
// each time it reaches 2n it wraps and the next pixel also takes a minor step. Pixel j uses
// style bit 15 − ((phase + j) mod 16). Returns the number of minor steps taken. T holds
// rem + 2e without overflow.
template <class T>
i64 walk(std::uint32_t* p, std::ptrdiff_t major, std::ptrdiff_t minor, i64 count, T rem, T two_e, T two_n,
         std::uint32_t colour, std::uint16_t style, int phase) noexcept {
  i64 minor_steps = 0;
  const bool solid = style == 0xFFFF;
  for (i64 j = 0;; ++j) {
    if (solid || ((style >> (15 - ((phase + j) & 15))) & 1)) *p = colour;
    if (j == count) break;  // p never leaves the visible pixels
    p += major;
    rem += two_e;
    if (rem >= two_n) {
      rem -= two_n;
      p += minor;
      ++minor_steps;
    }
  }
  return minor_steps;
}

// Bresenham line between integer end points within ±2^62. Along the major axis step
// i = 0..n the minor offset is k(i) = floor((2·i·e + n − 1) / (2·n)), n = |major difference|,
// e = |minor difference|, which is the classic error-term walk (ties stay on the current
// minor coordinate). The visible steps are solved for directly, so the work is proportional
// to the visible pixels. The first pixel takes style bit 15 − phase.
void exact_line(Canvas& c, const Rect& clip, i64 x1, i64 y1, i64 x2, i64 y2, std::uint32_t colour,
                std::uint16_t style, int phase, Rows& rows) noexcept {
  const i128 dx = static_cast<i128>(x2) - x1, dy = static_cast<i128>(y2) - y1;
  const bool x_major = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  // Major axis (m) and minor axis (s): start, direction, length and clip range.
  const i64 m0 = x_major ? x1 : y1, s0 = x_major ? y1 : x1;
  const i128 dm = x_major ? dx : dy, ds = x_major ? dy : dx;
  const i128 n = dm < 0 ? -dm : dm, e = ds < 0 ? -ds : ds;  // up to 2^63
  const int sm = dm < 0 ? -1 : 1, ss = ds < 0 ? -1 : 1;
  const i64 mlo = x_major ? clip.x0 : clip.y0, mhi = x_major ? clip.x1 : clip.y1;
  const i64 slo = x_major ? clip.y0 : clip.x0, shi = x_major ? clip.y1 : clip.x1;

  // Steps whose major coordinate is visible.
  i128 ilo = sm > 0 ? static_cast<i128>(mlo) - m0 : static_cast<i128>(m0) - mhi;
  i128 ihi = sm > 0 ? static_cast<i128>(mhi) - m0 : static_cast<i128>(m0) - mlo;
  // Minor offsets k whose minor coordinate is visible.
  const i128 klo = ss > 0 ? static_cast<i128>(slo) - s0 : static_cast<i128>(s0) - shi;
  const i128 khi = ss > 0 ? static_cast<i128>(shi) - s0 : static_cast<i128>(s0) - slo;
  if (e == 0) {
    if (klo > 0 || khi < 0) return;
  } else {
    // k(i) >= m  <=>  i >= ceil((2·n·m − n + 1) / (2·e));  k(i) <= M  <=>  i < ceil((2·n·(M+1) − n + 1) / (2·e)).
    ilo = std::max(ilo, ceil_div(2 * n * klo - n + 1, 2 * e));
    ihi = std::min(ihi, ceil_div(2 * n * (khi + 1) - n + 1, 2 * e) - 1);
  }
  ilo = std::max<i128>(ilo, 0);
  ihi = std::min<i128>(ihi, n);
  if (ilo > ihi) return;

  // Minor offset and remainder at the first visible step: 2·ilo·e + n − 1 = k·2n + rem.
  u128 k = 0, rem = 0;
  if (n > 0) {
    const u128 num = 2 * static_cast<u128>(ilo) * static_cast<u128>(e) + static_cast<u128>(n) - 1;
    k = num / (2 * static_cast<u128>(n));
    rem = num % (2 * static_cast<u128>(n));
  }
  const int pm = static_cast<int>(m0 + sm * ilo), ps = static_cast<int>(s0 + ss * static_cast<i128>(k));
  const i64 count = static_cast<i64>(ihi - ilo);
  const int x = x_major ? pm : ps, y = x_major ? ps : pm;
  const std::ptrdiff_t step_x = x_major ? sm : ss, step_y = static_cast<std::ptrdiff_t>(x_major ? ss : sm) * c.pitch;
  std::uint32_t* p = row_ptr(c, y) + x;
  const std::ptrdiff_t major = x_major ? step_x : step_y, minor = x_major ? step_y : step_x;
  const int first_phase = static_cast<int>((static_cast<u128>(ilo) + static_cast<unsigned>(phase)) & 15);
  i64 minor_steps;
  if (n <= (i64{1} << 60)) {
    minor_steps = walk<i64>(p, major, minor, count, static_cast<i64>(rem), static_cast<i64>(2 * e),
                            static_cast<i64>(2 * n), colour, style, first_phase);
  } else {
    minor_steps = walk<i128>(p, major, minor, count, static_cast<i128>(rem), 2 * e, 2 * n, colour, style, first_phase);
  }
  // Rows and columns are monotone along the line: the first and last pixel bound them.
  const i64 y_last = x_major ? y + ss * minor_steps : y + sm * count;
  const i64 x_last = x_major ? x + sm * count : x + ss * minor_steps;
  rows.add(static_cast<int>(std::min<i64>(y, y_last)), static_cast<int>(std::max<i64>(y, y_last)),
           static_cast<int>(std::min<i64>(x, x_last)), static_cast<int>(std::max<i64>(x, x_last)));
}

// a + b = s + err and a · b = p + err exactly (round to nearest).
inline void two_sum(double a, double b, double& s, double& err) noexcept {
  s = a + b;
  const double bv = s - a;
  err = (a - (s - bv)) + (b - bv);
}
inline void two_prod(double a, double b, double& p, double& err) noexcept {
  p = a * b;
  err = std::fma(a, b, -p);
}

// The coordinate v at which the line through (pu, pv) and (qu, qv) crosses u = cut,
// rounded to the nearest integer (halves away from zero); false when |v| > 2^62. All
// arguments are integers and pu != qu. In
//   v = (cut · (qv − pv) + pv · qu − pu · qv) / (qu − pu)
// the numerator is summed exactly from its exact differences and products, so that no
// cancellation of far end points loses the line's position; the quotient is formed in
// double-double precision, good to far below a pixel within ±2^62.
bool crossing(double pu, double pv, double qu, double qv, double cut, i64& v) noexcept {
  // Beyond 2^480 the products would overflow: scale by a power of two (exact), and back.
  const double big = std::max({std::fabs(pu), std::fabs(pv), std::fabs(qu), std::fabs(qv)});
  const int shift = big > 0x1p480 ? 480 - std::ilogb(big) : 0;
  if (shift != 0) {
    pu = std::ldexp(pu, shift), pv = std::ldexp(pv, shift), qu = std::ldexp(qu, shift), qv = std::ldexp(qv, shift);
    cut = std::ldexp(cut, shift);
  }
  double du, du_lo, dv, dv_lo;
  two_sum(qu, -pu, du, du_lo);
  two_sum(qv, -pv, dv, dv_lo);
  double terms[8];
  two_prod(cut, dv, terms[0], terms[1]);
  two_prod(cut, dv_lo, terms[2], terms[3]);
  two_prod(pv, qu, terms[4], terms[5]);
  two_prod(-pu, qv, terms[6], terms[7]);
  // The numerator as an exact expansion: nonoverlapping parts by increasing magnitude.
  double parts[9];
  int n = 0;
  for (double t : terms) {
    double q = t;
    int m = 0;
    for (int i = 0; i < n; ++i) {
      double sum, err;
      two_sum(q, parts[i], sum, err);
      q = sum;
      if (err != 0) parts[m++] = err;
    }
    if (q != 0) parts[m++] = q;
    n = m;
  }
  double num = 0, num_lo = 0;
  for (int i = 0; i < n; ++i) {
    double sum, err;
    two_sum(num, parts[i], sum, err);
    num = sum;
    num_lo += err;
  }
  // (num + num_lo) / (du + du_lo) = q1 + q2.
  const double q1 = num / du;
  double pr, pr_err;
  two_prod(q1, du, pr, pr_err);
  const double q2 = (((num - pr) - pr_err) + num_lo - q1 * du_lo) / du;
  double hi = std::ldexp(q1, -shift), lo = std::ldexp(q2, -shift);
  if (!(std::fabs(hi) <= 2 * kExactLimit) || !(std::fabs(lo) <= kExactLimit)) return false;
  const bool negative = hi < 0;
  if (negative) hi = -hi, lo = -lo;
  const double whole = std::floor(hi);
  const i128 r = static_cast<i128>(whole) + static_cast<i128>(std::floor((hi - whole) + lo + 0.5));
  if (r > static_cast<i128>(kExactLimit)) return false;
  v = static_cast<i64>(negative ? -r : r);
  return true;
}

// Moves end point p, which lies outside the box |x|, |y| <= 2^62, along the line towards q
// onto the box; false when the segment misses the box.
bool onto_box(Point p, Point q, i64& x, i64& y) noexcept {
  const auto beyond_same_side = [](double pv, double qv) {
    return std::fabs(qv) > kExactLimit && (qv > 0) == (pv > 0);
  };
  // The segment enters through an edge p lies beyond, at the crossing whose other
  // coordinate lies on the box.
  if (std::fabs(p.x) > kExactLimit) {
    if (beyond_same_side(p.x, q.x)) return false;
    const double cut = std::copysign(kExactLimit, p.x);
    if (crossing(p.x, p.y, q.x, q.y, cut, y)) {
      x = static_cast<i64>(cut);
      return true;
    }
  }
  if (std::fabs(p.y) > kExactLimit) {
    if (beyond_same_side(p.y, q.y)) return false;
    const double cut = std::copysign(kExactLimit, p.y);
    if (crossing(p.y, p.x, q.y, q.x, cut, x)) {
      y = static_cast<i64>(cut);
      return true;
    }
  }
  return false;
}

}  // namespace

// End points beyond ±2^62 are first moved along the line onto the box |x|, |y| <= 2^62 and
// rounded to pixels, and the line between them is drawn exactly. The box holds every canvas
// many times over and does not depend on the clip rectangle, so neither do the pixels: they
// lie within half a pixel of the true line.
void line(Canvas& c, const Rect& clip, Point a, Point b, std::uint32_t colour, std::uint16_t style,
          Rows& rows) noexcept {
  if (clip.empty() || !a.finite() || !b.finite()) return;
  const auto within = [](const Point& p) { return std::fabs(p.x) <= kExactLimit && std::fabs(p.y) <= kExactLimit; };
  const bool a_in = within(a), b_in = within(b);
  if (a_in && b_in) {
    exact_line(c, clip, static_cast<i64>(a.x), static_cast<i64>(a.y), static_cast<i64>(b.x), static_cast<i64>(b.y),
               colour, style, 0, rows);
    return;
  }
  a = {std::trunc(a.x), std::trunc(a.y)};
  b = {std::trunc(b.x), std::trunc(b.y)};
  i64 x1 = static_cast<i64>(a_in ? a.x : 0), y1 = static_cast<i64>(a_in ? a.y : 0);
  i64 x2 = static_cast<i64>(b_in ? b.x : 0), y2 = static_cast<i64>(b_in ? b.y : 0);
  if (!a_in && !onto_box(a, b, x1, y1)) return;
  if (!b_in && !onto_box(b, a, x2, y2)) return;
  // The style phase of the moved start: its distance from a along the major axis, mod 16
  // (fmod is exact, and every double beyond 2^57 is a multiple of 16).
  const bool x_major = std::fabs(b.x - a.x) >= std::fabs(b.y - a.y);
  const double from = x_major ? a.x : a.y, to = x_major ? b.x : b.y;
  const i64 moved = x_major ? x1 : y1;
  const double travelled = (to < from ? -1.0 : 1.0) * (static_cast<double>(moved % 16) - std::fmod(from, 16.0));
  const int phase = (static_cast<int>(travelled) % 16 + 16) % 16;
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
  for (int y = y0; y <= y1; ++y) {
    // Rows narrower than the canvas start on a new page each, where the processor's own
    // prefetching stops: asking for the start of a row two ahead takes about a quarter off
    // the fill of a large viewport that is not in the cache.
    if (y + 2 <= y1) __builtin_prefetch(row_ptr(c, y + 2) + x0, 1);
    run(c, y, x0, x1, colour);
  }
  rows.add(y0, y1, x0, x1);
}

}  // namespace surf::raster
