// The progress bar: a bar that fills from the left as the program sets its value.
#include <cmath>

#include "Inc/GUI/detail.hpp"

namespace gui {

long long progress_end(const PROGRESSBAR& bar, Integer value) noexcept {
  const Integer span = wrap_sub(bar.MAX, bar.MIN);
  const double left = static_cast<double>(bar.X) + 2.0;
  // A zero divisor or a field without length: the bar stays the one column at the left end.
  if (span == 0 || bar.W <= 4) return static_cast<long long>(left);
  // p = X + 2 + (v - MIN)*(W - 4) / (MAX - MIN); the product is 32-bit, the rest in double.
  const Integer product = wrap_mul(wrap_sub(value, bar.MIN), bar.W - 4);
  return static_cast<long long>(rt::round_half_even(left + static_cast<double>(product) / span));
}

}  // namespace gui

namespace {

// Fills the inside of the frame, (X+1, Y+1)-(X+W-1, Y+H-1), with the field colour.
void clear_field(const PROGRESSBAR& bar) {
  const double x = bar.X, y = bar.Y, w = bar.W, h = bar.H;
  gui::box(x + 1, y + 1, x + w - 1, y + h - 1, COLOR_FIELD, true);
}

}  // namespace

void DRAWPROGRESSBAR(PROGRESSBAR& bar) {
  const ErrorContext ctx{"Inc/GUI", "DRAWPROGRESSBAR"};
  const double x = bar.X, y = bar.Y, w = bar.W, h = bar.H;
  const double p = static_cast<double>(gui::progress_end(bar, bar.VALUE));
  gui::box(x, y, x + w, y + h, COLOR_BORDER, false);
  clear_field(bar);
  // The bar always covers column X+2, so the minimum shows as a one-pixel line.
  gui::box(x + 2, y + 2, p, y + h - 2, COLOR_SELECTION, true);
}

PROGRESSBAR PROGRESSBAR_NEW(Integer x, Integer y, Integer w, Integer h) {
  const ErrorContext ctx{"Inc/GUI", "PROGRESSBAR_NEW"};
  PROGRESSBAR bar{x, y, w, h, 0, 100, 0};
  DRAWPROGRESSBAR(bar);
  return bar;
}

void PROGRESSBAR_SETRANGE(PROGRESSBAR& bar, Integer min, Integer max) {
  const ErrorContext ctx{"Inc/GUI", "PROGRESSBAR_SETRANGE"};
  bar.MIN = min;
  bar.MAX = max;
}

void PROGRESSBAR_SETVALUE(PROGRESSBAR& bar, Integer value) {
  const ErrorContext ctx{"Inc/GUI", "PROGRESSBAR_SETVALUE"};
  // Out of range (always so for a reversed range): ignored, VALUE and picture stay.
  if (value < bar.MIN || value > bar.MAX) return;
  bar.VALUE = value;
  DRAWPROGRESSBAR(bar);
}

void PROGRESSBAR_CLEAR(PROGRESSBAR& bar) {
  const ErrorContext ctx{"Inc/GUI", "PROGRESSBAR_CLEAR"};
  clear_field(bar);
}
