// The plot window, output metrics in logical units and the colour scale.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "Inc/Graphik/detail.hpp"
#include "surface/text_window.hpp"

namespace graphik {

Integer round_even(Double v) noexcept {
  constexpr Double kLimit = 1073741824.0;  // 2^30: leaves room for adding a viewport offset
  if (std::isnan(v)) return 0;
  return static_cast<Integer>(std::clamp(rt::round_half_even(v), -kLimit, kLimit));
}

bool single_ok(Double v) noexcept { return std::isfinite(rt::to_single(v)); }

bool range_ok(Double lo, Double hi) noexcept {
  if (!single_ok(lo) || !single_ok(hi)) return false;
  const Single span = std::fabs(rt::to_single(hi) - rt::to_single(lo));
  return std::isfinite(span) && span >= FLT_MIN;
}

Metrics current_metrics() {
  Metrics mt;
  mt.ow = OUTPUTWIDTH();
  mt.oh = OUTPUTHEIGHT();
  mt.cw = TEXTWIDTH(" ");
  mt.th = TEXTHEIGHT();
  mt.tw = [](const String& s) { return TEXTWIDTH(s); };
  return mt;
}

}  // namespace graphik

void INITGFX(const String& title, Integer width, Integer height, Integer foreground, Integer background) {
  const ErrorContext ctx{"Inc/Graphik", "INITGFX"};
  surf::open_text_window(width, height, title, foreground, background);
}

Integer OUTPUTWIDTH() {
  const ErrorContext ctx{"Inc/Graphik", "OUTPUTWIDTH"};
  Integer x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  SCREEN_QUERY(11, x1, y1, x2, y2);
  return x2 - x1;
}

Integer OUTPUTHEIGHT() {
  const ErrorContext ctx{"Inc/Graphik", "OUTPUTHEIGHT"};
  Integer x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  SCREEN_QUERY(11, x1, y1, x2, y2);
  return y2 - y1;
}

Double TEXTWIDTH(const String& text) {
  const ErrorContext ctx{"Inc/Graphik", "TEXTWIDTH"};
  // TW = map_x(8 * len) - map_x(0), pixel -> logical x
  const Single pixels = static_cast<Single>(8.0 * static_cast<Double>(text.size()));
  return static_cast<Double>(SCREEN_MAP_COORD(pixels, 2)) - static_cast<Double>(SCREEN_MAP_COORD(0.0f, 2));
}

Double TEXTHEIGHT(const String& /*text*/) {
  const ErrorContext ctx{"Inc/Graphik", "TEXTHEIGHT"};
  // TH = |map_y(16) - map_y(0)|, pixel -> logical y; logical y usually grows upwards
  return std::fabs(static_cast<Double>(SCREEN_MAP_COORD(16.0f, 3)) - static_cast<Double>(SCREEN_MAP_COORD(0.0f, 3)));
}

Integer RGBWERT(Double t, Integer steps) {
  const ErrorContext ctx{"Inc/Graphik", "RGBWERT"};
  // t = round(steps * t) / steps: steps + 1 distinct colours on 0..1
  if (steps != 0) t = rt::round_half_even(static_cast<Double>(steps) * t) / static_cast<Double>(steps);
  std::uint32_t c;
  if (!(t >= 0)) {  // below 0, and NaN
    c = 0xFF0000FAu;
  } else if (t < 0.25) {  // green = round(1000 t)
    c = 0xFF000000u + static_cast<std::uint32_t>(rt::round_half_even(1000 * t)) * 256u + 250u;
  } else if (t < 0.5) {  // blue = round(500 - 1000 t)
    c = 0xFF00FA00u + static_cast<std::uint32_t>(rt::round_half_even(500 - 1000 * t));
  } else if (t < 0.75) {  // red = round(1000 t - 500)
    c = 0xFF00FA00u + static_cast<std::uint32_t>(rt::round_half_even(1000 * t - 500)) * 65536u;
  } else if (t < 1) {  // green = round(1000 - 1000 t)
    c = 0xFFFA0000u + static_cast<std::uint32_t>(rt::round_half_even(1000 - 1000 * t)) * 256u;
  } else {
    c = 0xFFFA0000u;
  }
  return static_cast<Integer>(c);
}
