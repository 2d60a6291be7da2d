// The track bar: a knob dragged along a horizontal track.
#include <algorithm>
#include <cmath>
#include <limits>

#include "Inc/GUI/detail.hpp"

namespace gui {

long long trackbar_knob(const TRACKBAR& bar, Integer value) noexcept {
  const Integer span = wrap_sub(bar.MAX, bar.MIN);
  const double left = static_cast<double>(bar.X) + 5.0;
  // A zero divisor or a track without length: the knob rests at the left end.
  if (span == 0 || bar.W <= 10) return static_cast<long long>(left);
  // p = X + 5 + (v - MIN)*(W - 10) / (MAX - MIN); the product is 32-bit, the rest in double.
  const Integer product = wrap_mul(wrap_sub(value, bar.MIN), bar.W - 10);
  // |product / span| <= 2^31 and |left| < 2^32, so the rounded sum fits a long long.
  return static_cast<long long>(rt::round_half_even(left + static_cast<double>(product) / span));
}

Integer trackbar_value_at(const TRACKBAR& bar, Integer mx) noexcept {
  const Integer span = wrap_sub(bar.MAX, bar.MIN);
  if (span == 0 || bar.W <= 10) return bar.MIN;
  // v = MIN + (mx - X - 5)*(MAX - MIN) / (W - 10); the product is 32-bit, the rest in double.
  const Integer offset = wrap_sub(wrap_sub(mx, bar.X), 5);
  const Integer product = wrap_mul(offset, span);
  const double v = rt::round_half_even(static_cast<double>(bar.MIN) + static_cast<double>(product) / (bar.W - 10));
  return static_cast<Integer>(std::clamp<double>(v, std::numeric_limits<Integer>::min(),
                                                 std::numeric_limits<Integer>::max()));
}

}  // namespace gui

void DRAWTRACKBAR(TRACKBAR& bar) {
  const ErrorContext ctx{"Inc/GUI", "DRAWTRACKBAR"};
  const double x = bar.X, y = bar.Y, w = bar.W, h = bar.H;
  const double p = static_cast<double>(gui::trackbar_knob(bar, bar.VALUE));
  gui::box(x, y, x + w, y + h, COLOR_BORDER, false);
  // The field wipes the old knob.
  gui::box(x + 1, y + 1, x + w - 1, y + h - 1, COLOR_FIELD, true);
  // Knob: 9 pixels wide over the full inner height, a one-pixel border round its face.
  gui::box(p - 4, y + 1, p + 4, y + h - 1, COLOR_BORDER, false);
  gui::box(p - 3, y + 2, p + 3, y + h - 2, COLOR_BUTTON_FACE, true);
}

TRACKBAR TRACKBAR_NEW(Integer x, Integer y, Integer w, Integer h) {
  const ErrorContext ctx{"Inc/GUI", "TRACKBAR_NEW"};
  TRACKBAR bar{x, y, w, h, 0, 100, 0};
  DRAWTRACKBAR(bar);
  return bar;
}

void TRACKBAR_SETRANGE(TRACKBAR& bar, Integer min, Integer max) {
  const ErrorContext ctx{"Inc/GUI", "TRACKBAR_SETRANGE"};
  bar.MIN = min;
  bar.MAX = max;
}

void TRACKBAR_SETVALUE(TRACKBAR& bar, Integer value) {
  const ErrorContext ctx{"Inc/GUI", "TRACKBAR_SETVALUE"};
  bar.VALUE = value;
  // An out-of-range value (always so for a reversed range) is kept but not drawn.
  if (bar.MIN <= value && value <= bar.MAX) DRAWTRACKBAR(bar);
}

Integer TRACKBAR_GETVALUE(TRACKBAR& bar) {
  const ErrorContext ctx{"Inc/GUI", "TRACKBAR_GETVALUE"};
  return bar.VALUE;
}

Boolean TRACKBAR_GETEVENT(TRACKBAR& bar) {
  const ErrorContext ctx{"Inc/GUI", "TRACKBAR_GETEVENT"};
  const gui::Click c = gui::Click::poll();
  // The track is inset 5 pixels on either side: X+5 <= x <= X+W-5, Y <= y <= Y+H.
  const gui::Rect track{gui::saturate(static_cast<long long>(bar.X) + 5), bar.Y,
                        gui::saturate(static_cast<long long>(bar.W) - 10), bar.H};
  const bool held = c.hits(track, gui::Edges::Inclusive);
  if (held) {
    // No release wait: a held button is reported on every call, so a drag moves the knob each pass.
    SCREEN_LOCK();
    TRACKBAR_SETVALUE(bar, gui::trackbar_value_at(bar, c.x));
    SCREEN_UNLOCK(-1, -1);
  }
  gui::offer(bar);
  return held;
}
