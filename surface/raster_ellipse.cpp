// Whole ellipses by the integer recurrence: step by step for small radii, row by row
// (solving for the visible rows) for large ones, and by the continuous half-width beyond the
// recurrence's exact range.
#include "surface/raster_ellipse.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "surface/raster_span.hpp"

namespace surf::raster {

namespace {

// Radii up to this size run the ellipse recurrence exactly (its terms stay below 2^126).
constexpr double kExactRadius = 1073741824.0;  // 2^30
// Radii up to this size run the ellipse recurrence step by step: the walk costs O(a + b)
// cheap steps and its terms stay below 2^40.
constexpr double kWalkRadius = 4096.0;
// Centres beyond the Integer range draw nothing.
constexpr double kIntRange = 2147483648.0;

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
  i64 left = lo, right = hi;                                                           // columns written
  const auto span = [&](i64 y, i64 l, i64 r) {
    if (y < clip.y0 || y > clip.y1) return;
    l = std::max<i64>(l, clip.x0);
    r = std::min<i64>(r, clip.x1);
    if (l > r) return;
    fill_px(row_ptr(c, static_cast<int>(y)) + l, r - l + 1, colour);
    lo = std::min(lo, y);
    hi = std::max(hi, y);
    left = std::min(left, l);
    right = std::max(right, r);
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
      left = std::min(left, in_l ? l : r);
      right = std::max(right, in_r ? r : l);
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
  if (lo <= hi) rows.add(static_cast<int>(lo), static_cast<int>(hi), static_cast<int>(left), static_cast<int>(right));
}

}  // namespace


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
  if (clip.empty() || !centre.finite() || !std::isfinite(a) || !std::isfinite(b) || a < 0) return;
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

}  // namespace surf::raster
