#pragma once
// The plot helpers' internals: rounding, the ranges the surface accepts, the layout measures and
// the geometry of the charts, testable without a window. Used by the plot helpers' sources and
// tests; not installed, not part of their interface.
#include <functional>

#include "Inc/Graphik.hpp"

namespace graphik {

// Nearest integer, halves to even; NaN gives 0 and the result is clamped to +-2^30.
Integer round_even(Double v) noexcept;

// True when v can be handed to the surface as a finite Single (rt::to_single).
bool single_ok(Double v) noexcept;

// True when lo..hi can be a logical range: both finite Singles whose Single difference is a
// finite normal number, so that the surface's scale factors stay finite.
bool range_ok(Double lo, Double hi) noexcept;

// The measures a layout depends on: OW, OH, one character cell CW, TH and TW(s).
struct Metrics {
  Double ow = 0, oh = 0, cw = 0, th = 0;
  std::function<Double(const String&)> tw;
};

// Metrics of the current viewport and mapping.
Metrics current_metrics();

// A plot area in pixels relative to the viewport, and the left margin m in characters.
struct PlotArea {
  Integer m = 0, left = 0, top = 0, right = 0, bottom = 0;
};

// Grid layout: m = 1 + max(len sy1, len sy2, round(len sx1 / 2)); left = round(CW*m), top = round(TH),
// right = round(OW - TW(sx2 + "  ")/2), bottom = round(OH - 4*TH).
PlotArea axes_area(const Metrics& mt, const String& sx1, const String& sx2, const String& sy1, const String& sy2);

// Bar chart layout: m = 1 + max(len smin, len smax); right = round(OW - 5*CW), the rest as axes_area.
PlotArea bars_area(const Metrics& mt, const String& smin, const String& smax);

// Pie centre and radius in viewport pixels: round(OW/2), round(0.45*OH), round(0.35*OH).
struct PieGeometry {
  Integer cx = 0, cy = 0, r = 0;
};
PieGeometry pie_geometry(Double ow, Double oh);

// Cumulative end angles A(0..n) of the slices; false (A untouched) when the total is 0 or not finite.
bool pie_angles(const Array<Double>& values, Integer n, Array<Double>& ends);

}  // namespace graphik
