// Whole diagrams drawn with one call: rotated text, coordinate grids, curves, function graphs,
// bar and pie charts and colour maps.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "Inc/Graphik/detail.hpp"

namespace {

constexpr const char* kModule = "Inc/Graphik";
constexpr Double kPi = std::numbers::pi;

using graphik::round_even;
using graphik::single_ok;
using rt::to_single;

// The current foreground colour, as the colour query reports it.
Integer foreground() { return SCREEN_SET_COLOR(0, 0, 3); }

// Writes a label with its top-left corner at (x, y); a failure is reported for the caller's line.
void text_at(Double x, Double y, const String& text, Integer colour,
             std::source_location where = std::source_location::current()) {
  if (!single_ok(x) || !single_ok(y)) return;
  RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, to_single(x), to_single(y), 4, text, colour), where);
}

// A line (type 0) or filled box (type 2) in the current coordinates; skipped when a coordinate
// is not a finite Single.
void segment(Double x1, Double y1, Double x2, Double y2, Integer colour, Integer type = 0) {
  if (!single_ok(x1) || !single_ok(y1) || !single_ok(x2) || !single_ok(y2)) return;
  SCREEN_LINE(nullptr, to_single(x1), to_single(y1), to_single(x2), to_single(y2), colour, type, 0xFFFF, 0);
}

// The y-axis name: horizontal and right-aligned in the margin when shorter than m characters,
// otherwise turned by 90 degrees and centred on the middle of the left edge.
void y_axis_name(const String& name, const graphik::PlotArea& a, const graphik::Metrics& mt, Integer fore) {
  const Double middle = (a.top + a.bottom) / 2.0;
  if (static_cast<Integer>(name.size()) < a.m) {
    text_at(a.left - mt.tw(name), middle - mt.th / 2, name, fore);
  } else {
    // x = round(left - CW - TH), y = round((top + bottom)/2 + TW(name)/2)
    DRAWROTATEDSTRING(round_even(a.left - mt.cw - mt.th), round_even(middle + mt.tw(name) / 2), name, fore, 90);
  }
}

// Makes the plot area the viewport, with a border one pixel outside it in the foreground colour.
void enter_plot_area(const graphik::PlotArea& a, Integer fore) {
  Integer vx = 0, vy = 0, vx2 = 0, vy2 = 0;
  SCREEN_QUERY(11, vx, vy, vx2, vy2);
  SCREEN_SET_VIEW(a.left + vx, a.top + vy, a.right + vx, a.bottom + vy, 0, fore, SCREEN_VIEW_NO_FILL);
}

// n + 1 lines at lo + i*(hi - lo)/n across from..to (vertical when `vertical`). With more lines
// than pixel columns (rows) every column (row) of the viewport is hit, so one filled box draws
// exactly the same pixels without looping n times.
void grid_lines(bool vertical, Double lo, Double hi, Integer n, Double from, Double to, Integer fore) {
  if (n <= 0) return;
  const Integer pixels = vertical ? OUTPUTWIDTH() + 1 : OUTPUTHEIGHT() + 1;
  if (n > pixels) {
    if (vertical)
      segment(lo, from, hi, to, fore, 2);
    else
      segment(from, lo, to, hi, fore, 2);
    return;
  }
  const Double step = (hi - lo) / n;  // d = (hi - lo)/n
  for (Integer i = 0; i <= n; ++i) {
    const Double v = lo + i * step;
    if (vertical)
      segment(v, from, v, to, fore);
    else
      segment(from, v, to, v, fore);
  }
}

// One axis of PLOTFKT's range scan: the points lo + i*step (i counting from 0) while i < count
// and the point is at most hi. Computing each point from its counter keeps a scan far from 0,
// where lo + 1 may equal lo, from standing still.
struct ScanAxis {
  Double lo = 0, hi = 0, step = 1, count = 0;
};

// The scan follows the unit grid whenever it has at most kScanPoints points; beyond that the
// axis with more points gets a coarser, evenly spaced lattice (both axes when both have more
// than its square root), so that the scan stays bounded and always gives the same points.
constexpr Double kScanSide = 2048;
constexpr Double kScanPoints = kScanSide * kScanSide;  // 4,194,304

void scan_axes(Double x1, Double x2, Double y1, Double y2, ScanAxis& ax, ScanAxis& ay) {
  ax = {std::min(x1, x2), std::max(x1, x2)};
  ay = {std::min(y1, y2), std::max(y1, y2)};
  // Unit grid points per axis: floor(hi - lo) + 1. The extra point allowed below absorbs a
  // difference rounded down past a whole number; the test point <= hi still decides.
  const Double nx = std::floor(ax.hi - ax.lo) + 1, ny = std::floor(ay.hi - ay.lo) + 1;
  ax.count = nx + 1;
  ay.count = ny + 1;
  if (nx * ny <= kScanPoints) return;
  // Coarsen: m points spaced (hi - lo)/(m - 1), the ends included.
  const auto coarse = [](ScanAxis& a, Double m) {
    a.count = m;
    a.step = (a.hi - a.lo) / (m - 1);
  };
  if (nx <= kScanSide) {
    coarse(ay, std::floor(kScanPoints / nx));
  } else if (ny <= kScanSide) {
    coarse(ax, std::floor(kScanPoints / ny));
  } else {
    coarse(ax, kScanSide);
    coarse(ay, kScanSide);
  }
}

}  // namespace

namespace graphik {

PlotArea axes_area(const Metrics& mt, const String& sx1, const String& sx2, const String& sy1, const String& sy2) {
  PlotArea a;
  const Integer half_sx1 = round_even(static_cast<Double>(sx1.size()) / 2);
  a.m = 1 + std::max({static_cast<Integer>(sy1.size()), static_cast<Integer>(sy2.size()), half_sx1});
  a.left = round_even(mt.cw * a.m);
  a.top = round_even(mt.th);
  a.right = round_even(mt.ow - mt.tw(sx2 + "  ") / 2);
  a.bottom = round_even(mt.oh - 4 * mt.th);
  return a;
}

PlotArea bars_area(const Metrics& mt, const String& smin, const String& smax) {
  PlotArea a;
  a.m = 1 + std::max(static_cast<Integer>(smin.size()), static_cast<Integer>(smax.size()));
  a.left = round_even(mt.cw * a.m);
  a.top = round_even(mt.th);
  a.right = round_even(mt.ow - 5 * mt.cw);
  a.bottom = round_even(mt.oh - 4 * mt.th);
  return a;
}

PieGeometry pie_geometry(Double ow, Double oh) {
  return PieGeometry{round_even(ow * 0.5), round_even(oh * 0.45), round_even(oh * 0.35)};
}

bool pie_angles(const Array<Double>& values, Integer n, Array<Double>& ends) {
  if (n < 0) return false;
  Double total = 0;
  for (Integer i = 0; i <= n; ++i) total += values[i];
  if (total == 0 || !std::isfinite(total)) return false;
  Array<Double> a(0, n);
  for (Integer i = 0; i <= n; ++i) {
    // A(i) = A(i-1) + 2 pi values(i) / total, A(-1) = 0
    a[i] = (i == 0 ? 0.0 : a[i - 1]) + 2 * kPi * values[i] / total;
    if (!std::isfinite(a[i])) return false;
  }
  ends = std::move(a);
  return true;
}

}  // namespace graphik

void DRAWROTATEDSTRING(Integer x, Integer y, const String& text, Integer colour, Double angle) {
  const ErrorContext ctx{kModule, "DRAWROTATEDSTRING"};
  if (text.empty() || !std::isfinite(angle)) return;
  const Double r = -kPi * angle / 180;  // screen y grows downwards
  const Double c = std::cos(r), s = std::sin(r);

  // A background that differs from the text colour, so that only ink pixels match it.
  Integer back = 0;
  do {
    const auto red = static_cast<std::uint32_t>(round_even(255 * MATH_RANDOM(1)));
    const auto green = static_cast<std::uint32_t>(round_even(255 * MATH_RANDOM(1)));
    const auto blue = static_cast<std::uint32_t>(round_even(255 * MATH_RANDOM(1)));
    back = static_cast<Integer>(0xFF000000u | red << 16 | green << 8 | blue);
  } while (back == colour);

  // The image is sized in pixels (one 8 x 16 cell per character) whatever mapping is current.
  if (text.size() > static_cast<std::size_t>(1 << 24)) return;
  const Integer w = 8 * static_cast<Integer>(text.size()), h = 16;
  Image* img = SCREEN_IMAGE_CREATE(w, h, back);
  if (img == nullptr) return;
  RUNTIME_CHECK(SCREEN_DRAW_TEXT(img, 0, 0, 4, text, colour));
  for (Integer i = 0; i <= w; ++i) {
    for (Integer j = 0; j <= h; ++j) {
      if (SCREEN_POINT(img, static_cast<Single>(i), static_cast<Single>(j)) != colour) continue;
      // (x + round(i cos r - j sin r), y + round(i sin r + j cos r))
      const Double px = static_cast<Double>(x) + round_even(i * c - j * s);
      const Double py = static_cast<Double>(y) + round_even(i * s + j * c);
      SCREEN_PSET(nullptr, static_cast<Single>(px), static_cast<Single>(py), colour, 4);
    }
  }
  SCREEN_IMAGE_DESTROY(img);
}

void KOORDINATEN(Double x1, Double y1, Double x2, Double y2, Integer nx, Integer ny, const String& xname,
                 const String& yname, const String& caption) {
  const ErrorContext ctx{kModule, "KOORDINATEN"};
  const Integer fore = foreground();
  const graphik::Metrics mt = graphik::current_metrics();
  const String sx1 = STR_FROM_SINGLE(to_single(x1));
  const String sx2 = STR_FROM_SINGLE(to_single(x2));
  const String sy1 = STR_FROM_SINGLE(to_single(y1)) + " ";
  const String sy2 = STR_FROM_SINGLE(to_single(y2)) + " ";
  const String yn = yname + " ";  // a copy: the caller's name stays as it is
  const graphik::PlotArea a = graphik::axes_area(mt, sx1, sx2, sy1, sy2);

  const Double mid = (a.right + a.left) / 2.0;
  text_at(a.left - mt.tw(sy2), a.top - mt.th / 2, sy2, fore);
  text_at(a.left - mt.tw(sy1), a.bottom - mt.th / 2, sy1, fore);
  y_axis_name(yn, a, mt, fore);
  text_at(a.left - mt.tw(sx1) / 2, a.bottom + mt.th / 2, sx1, fore);
  text_at(a.right - mt.tw(sx2) / 2, a.bottom + mt.th / 2, sx2, fore);
  text_at(mid - mt.tw(xname) / 2, a.bottom + mt.th / 2, xname, fore);
  text_at(mid - mt.tw(caption) / 2, a.bottom + 1.5 * mt.th, caption, fore);

  enter_plot_area(a, fore);
  if (!graphik::range_ok(x1, x2) || !graphik::range_ok(y1, y2)) {
    // No usable mapping: switch it off rather than leave a stale one on the new viewport.
    SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
    return;
  }
  SCREEN_SET_WINDOW(to_single(x1), to_single(y1), to_single(x2), to_single(y2), 0);
  grid_lines(true, x1, x2, nx, y1, y2, fore);
  grid_lines(false, y1, y2, ny, x1, x2, fore);
}

void ZEICHNEKURVE(const Array<Double>& xs, const Array<Double>& ys, Integer colour) {
  const ErrorContext ctx{kModule, "ZEICHNEKURVE"};
  for (Integer i = 1; i <= xs.upper(); ++i) segment(xs[i - 1], ys[i - 1], xs[i], ys[i], colour);
}

void ZEICHNEFKT(GRAPHIK_FKT1 f, Double a, Double b, Integer colour) {
  const ErrorContext ctx{kModule, "ZEICHNEFKT"};
  const GRAPHIK_FKT1 fn = checked(f);
  const Double h = (b - a) / 300;  // h = (b - a)/300
  if (h == 0 || !std::isfinite(h)) return;
  const Double last = b - h;
  // The running x accumulates rounding, so the count is bounded as well as the range.
  Double x = a;
  for (Integer count = 0; count <= 300 && (h > 0 ? x <= last : x >= last); ++count) {
    const Double next = x + h;
    if (next == x) break;  // h is below the spacing of Doubles at x
    const Double f_next = fn(next);
    const Double f_x = fn(x);
    segment(x, f_x, next, f_next, colour);
    x = next;
  }
}

void BALKENDIAGRAMM(const Array<String>& names, const Array<Double>& values, Double ymin, Double ymax, Integer ny,
                    const String& xname, const String& yname, const String& caption, const Array<Integer>& colours) {
  const ErrorContext ctx{kModule, "BALKENDIAGRAMM"};
  const Integer n = names.upper();
  const Integer fore = foreground();
  const graphik::Metrics mt = graphik::current_metrics();
  const String smin = STR_FROM_SINGLE(to_single(ymin)) + " ";
  const String smax = STR_FROM_SINGLE(to_single(ymax)) + " ";
  const String yn = yname + " ";  // a copy: the caller's name stays as it is
  const graphik::PlotArea a = graphik::bars_area(mt, smin, smax);

  const Double mid = (a.right + a.left) / 2.0;
  text_at(a.left - mt.tw(smax), a.top - mt.th / 2, smax, fore);
  text_at(a.left - mt.tw(smin), a.bottom - mt.th / 2, smin, fore);
  y_axis_name(yn, a, mt, fore);
  for (Integer i = 0; i <= n; ++i) {
    // centred under slot i: left + (right - left)(i + 0.5)/(n + 1)
    const Double centre = a.left + (a.right - a.left) * (i + 0.5) / (static_cast<Double>(n) + 1);
    text_at(centre - mt.tw(names[i]) / 2, a.bottom + mt.th / 2, names[i], fore);
  }
  text_at(mid - mt.tw(xname) / 2, a.bottom + 1.5 * mt.th, xname, fore);
  text_at(mid - mt.tw(caption) / 2, a.bottom + 2.5 * mt.th, caption, fore);

  enter_plot_area(a, fore);
  if (n < 0 || !graphik::range_ok(ymin, ymax)) {
    SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
    return;
  }
  const Double right = static_cast<Double>(n) + 0.5;
  SCREEN_SET_WINDOW(-0.5f, to_single(ymin), to_single(right), to_single(ymax), 0);
  grid_lines(false, ymin, ymax, ny, -0.5, right, fore);

  // Bar ends far outside the scale are pulled in to one scale height beyond it: the viewport
  // cuts them off either way, and the surface never sees an infinite or huge coordinate.
  const Double lo = std::min(ymin, ymax), hi = std::max(ymin, ymax), span = hi - lo;
  const Double floor_y = std::max(lo - span, -static_cast<Double>(FLT_MAX));
  const Double ceil_y = std::min(hi + span, static_cast<Double>(FLT_MAX));
  for (Integer i = 0; i <= n; ++i) {
    const Double v = values[i];
    const Integer colour = colours[i];
    if (std::isnan(v)) continue;
    segment(i - 0.4, std::clamp(0.0, floor_y, ceil_y), i + 0.4, std::clamp(v, floor_y, ceil_y), colour, 2);
  }
}

void KREISDIAGRAMM(const Array<String>& names, const Array<Double>& values, const Array<Integer>& colours,
                   const String& caption) {
  const ErrorContext ctx{kModule, "KREISDIAGRAMM"};
  const Integer n = names.upper();
  const Integer fore = foreground();
  const Double th = TEXTHEIGHT();
  const graphik::PieGeometry g = graphik::pie_geometry(OUTPUTWIDTH(), OUTPUTHEIGHT());
  const Double cx = g.cx, cy = g.cy, r = g.r;

  Array<Double> ends;  // the temporary angle array; failing to get it is a runtime error
  const bool slices = graphik::pie_angles(values, n, ends);

  SCREEN_CIRCLE(nullptr, to_single(cx), to_single(cy), to_single(r), fore, 0, 0, SCREEN_FULL_CIRCLE, 0, 4);
  if (slices) {
    for (Integer i = 0; i <= n; ++i)  // radius line to (cx + r cos A(i), cy - r sin A(i))
      segment(cx, cy, cx + r * std::cos(ends[i]), cy - r * std::sin(ends[i]), fore);
    for (Integer i = 0; i <= n; ++i) {
      const Double mu = i == 0 ? ends[0] / 2 : (ends[i - 1] + ends[i]) / 2;  // the slice's middle angle
      // The fill stops at the colour that drew the outline and the radius lines.
      SCREEN_PAINT(nullptr, to_single(cx + 0.5 * r * std::cos(mu)), to_single(cy - 0.5 * r * std::sin(mu)),
                   colours[i], fore, String(), 0, 4);
      const Double lx = cx + 1.1 * r * std::cos(mu), ly = cy - 1.1 * r * std::sin(mu);
      const bool left_half = kPi / 2 <= mu && mu <= 3 * kPi / 2;
      text_at(left_half ? lx - TEXTWIDTH(names[i]) : lx, ly - th / 2, names[i], fore);
    }
  }
  text_at(cx - TEXTWIDTH(caption) / 2, cy + 1.3 * r - th, caption, fore);
}

void PLOTFKT(GRAPHIK_FKT2 f, Double x1, Double y1, Double x2, Double y2, Integer steps) {
  const ErrorContext ctx{kModule, "PLOTFKT"};
  const GRAPHIK_FKT2 fn = checked(f);
  if (!graphik::range_ok(x1, x2) || !graphik::range_ok(y1, y2)) return;
  SCREEN_SET_WINDOW(to_single(x1), to_single(y1), to_single(x2), to_single(y2), 0);
  const Integer ow = OUTPUTWIDTH(), oh = OUTPUTHEIGHT();

  // Range of f on the lattice of whole logical units, always including 0. The lattice runs from
  // the lower to the upper end whichever way round the range is given.
  ScanAxis ax, ay;
  scan_axes(x1, x2, y1, y2, ax, ay);
  Double fmin = 0, fmax = 0;
  for (Double i = 0; i < ax.count; ++i) {
    const Double x = ax.lo + i * ax.step;
    if (x > ax.hi) break;
    for (Double j = 0; j < ay.count; ++j) {
      const Double y = ay.lo + j * ay.step;
      if (y > ay.hi) break;
      const Double v = fn(x, y);
      if (v < fmin) fmin = v;
      if (v > fmax) fmax = v;
    }
  }
  if (fmax == fmin) return;  // no scale to map onto

  // One step per pixel: dx = (x2 - x1)/(OW + 1), dy = (y2 - y1)/(OH + 1).
  const Double dx = (x2 - x1) / (ow + 1.0), dy = (y2 - y1) / (oh + 1.0);
  if (x1 + dx == x1 || x2 - dx == x2 || y2 - dy == y2 || y1 + dy == y1) return;  // too narrow for one step
  const Double range = fmax - fmin;
  // x = x1 + k dx and y = y2 - j dy are computed from their counters rather than summed, so
  // that the last column and row are not lost to accumulated rounding.
  for (Integer k = 0; k <= ow + 2; ++k) {
    const Double x = x1 + k * dx;
    if (dx > 0 ? x > x2 : x < x2) break;
    for (Integer j = 0; j <= oh + 2; ++j) {
      const Double y = y2 - j * dy;
      if (dy > 0 ? y < y1 : y > y1) break;
      const Double v = fn(x, y);
      SCREEN_PSET(nullptr, to_single(x), to_single(y), RGBWERT((v - fmin) / range, steps), 4);  // t = (v - fmin)/(fmax - fmin)
    }
  }
}
