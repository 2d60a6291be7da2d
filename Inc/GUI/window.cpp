// Opening the window, the close test, the shared text cell and the click protocol.
#include <algorithm>
#include <limits>

#include "Inc/GUI/detail.hpp"
#include "surface/text_window.hpp"

namespace gui {

Integer saturate(long long v) noexcept {
  return static_cast<Integer>(std::clamp<long long>(v, std::numeric_limits<Integer>::min(),
                                                    std::numeric_limits<Integer>::max()));
}

void box(double x1, double y1, double x2, double y2, Integer colour, bool filled) {
  SCREEN_LINE(nullptr, static_cast<Single>(x1), static_cast<Single>(y1), static_cast<Single>(x2),
              static_cast<Single>(y2), colour, filled ? 2 : 1);
}

Click Click::poll() {
  Click c;
  Integer clip = 0;
  c.status = INPUT_MOUSE(c.x, c.y, c.wheel, c.buttons, clip);
  return c;
}

bool Click::inside(const Rect& r, Edges edges) const noexcept {
  // A failed poll reports -1 everywhere, which must not count as a position.
  if (status != 0) return false;
  const long long left = r.X, top = r.Y;
  const long long right = left + r.W, bottom = top + r.H;
  if (edges == Edges::Inclusive) return left <= x && x <= right && top <= y && y <= bottom;
  return left < x && x < right && top < y && y < bottom;
}

bool Click::wait_release() {
  // A request already waiting stays for the program; only a new one ends the wait (a run's Stop
  // button must still work while the close request waits for the run to end).
  const Integer closes = INPUT_CLOSE_REQUESTS();
  for (;;) {
    const Click c = poll();
    TIME_SLEEP(1);
    // Asked after every poll: one outside the window reads -1, and one inside may still report
    // a short press that came up outside.
    const Integer release = INPUT_MOUSE_RELEASE();
    if (release == 2) return false;
    if (c.buttons == 0) return true;
    // A button let go already (a short press shown a little longer) still ends as a click.
    if (release == 0 && INPUT_CLOSE_REQUESTS() > closes) return false;
  }
}

}  // namespace gui

void OPENWINDOW(Integer width, Integer height, const String& title) {
  const ErrorContext ctx{"Inc/GUI", "OPENWINDOW"};
  surf::open_text_window(width, height, title, COLOR_TEXT, COLOR_BACKGROUND);
}

Boolean WINDOW_EVENT_CLOSE() {
  const ErrorContext ctx{"Inc/GUI", "WINDOW_EVENT_CLOSE"};
  return IS_CLOSE_KEY(INPUT_KEY());
}

void SETTEXT(Integer x, Integer y, Integer w, Integer h, const String& text, Integer mode, Integer fore,
             Integer back) {
  const ErrorContext ctx{"Inc/GUI", "SETTEXT"};
  if (mode != MODE_TEXT && mode != MODE_DIGITS && mode != MODE_MASKED) return;
  if (mode == MODE_DIGITS && !std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
    return;

  // Interior (x+1, y+1)-(x+w-1, y+h-1); wide arithmetic keeps huge sizes defined.
  const double x0 = x, y0 = y;
  gui::box(x0 + 1, y0 + 1, x0 + w - 1, y0 + h - 1, back, true);

  // Shown characters: min(len, (w - 8) \ 8), none below w = 16.
  const long long fit = std::max<long long>(0, (static_cast<long long>(w) - 8) / 8);
  const auto shown = static_cast<std::size_t>(std::min<long long>(fit, static_cast<long long>(text.size())));
  if (shown == 0) return;
  const String cell = mode == MODE_MASKED ? String(shown, '*') : text.substr(0, shown);
  // Top row y + (h - 16) / 2 in floating point; the surface rounds halves away from zero.
  const double ty = y0 + (static_cast<double>(h) - 16.0) / 2.0;
  RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, static_cast<Single>(x0 + 4), static_cast<Single>(ty), 4, cell, fore));
}
