// Elliptic arcs, point by point along the angle.
#include "surface/raster_arc.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "surface/raster_line.hpp"
#include "surface/raster_span.hpp"

namespace surf::raster {

namespace {

// Arcs with more points than this are limited to the angle ranges that can be visible.
constexpr i64 kArcDirect = 1 << 16;
// Upper bound of arc points computed per visible angle range (reached only for radii far
// beyond any canvas, where consecutive angles are no longer distinct doubles).
constexpr i64 kArcMaxPoints = 1 << 20;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

bool finite(double v) noexcept { return std::isfinite(v); }

// The last integer n >= -1 with n = -1 or start + n·Δ < stop, searched from the guess n0 >= 0
// (stop finite, Δ > 0). The sum is monotone in n, so galloping finds a bracket
// [lo, hi] with the sum below stop at lo and not below at hi in O(log |n − n0|) steps.
double last_before(double start, double delta, double stop, double n0) noexcept {
  const auto below = [&](double n) { return n < 0 || start + n * delta < stop; };
  double lo = n0, hi = n0;
  if (below(n0)) {
    for (double step = 1;; step *= 2) {
      hi = lo + step;
      if (!below(hi)) break;
      lo = hi;
    }
  } else {
    for (double step = 1;; step *= 2) {
      lo = std::max(-1.0, hi - step);
      if (below(lo)) break;
      hi = lo;
    }
  }
  // Bisection; the midpoint stops being distinct only beyond 2^53, where n0 never lies.
  while (hi - lo > 1) {
    const double mid = std::floor(lo + (hi - lo) / 2);
    if (mid <= lo || mid >= hi) break;
    (below(mid) ? lo : hi) = mid;
  }
  return lo;
}

}  // namespace

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
  // Last index with start + i·Δ < stop. The estimate can miss it by up to ulp(start)/Δ indices,
  // billions for huge radii, since the sum rounds to start's precision. The sum never falls as
  // i grows, so gallop from the estimate to a bracket and bisect it.
  double n_last = std::ceil((stop - start) / delta) - 1;
  if (!(n_last >= 0)) return;
  if (n_last < 9.0e15) n_last = last_before(start, delta, stop, n_last);
  // Indices i0, i0 + step, … up to i1. They stay doubles: past 2^63 they no longer fit an
  // integer, and past 2^53 neighbouring indices give the same angle anyway. The count of
  // points, not the index, bounds the loop.
  const auto plot = [&](double i0, double i1, double step) {
    const auto count = static_cast<i64>(std::floor((i1 - i0) / step)) + 1;  // ≤ kArcMaxPoints + 1
    for (i64 k = 0; k < count; ++k)
      pset(c, clip, at(start + (i0 + static_cast<double>(k) * step) * delta), colour, rows);
  };
  if (n_last < static_cast<double>(kArcDirect)) {
    plot(0, n_last, 1);
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
          const double max_points = static_cast<double>(kArcMaxPoints);
          plot(i0, i1, count > max_points ? std::ceil(count / max_points) : 1.0);
        }
      }
    }
  }
}

}  // namespace surf::raster
