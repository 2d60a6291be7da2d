// The two static containers: the panel with its title bar and the frame with its caption.
#include "Inc/GUI/detail.hpp"

PANEL PANEL_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption) {
  const ErrorContext ctx{"Inc/GUI", "PANEL_NEW"};
  const double x0 = x, y0 = y;
  const double x1 = x0 + w, y1 = y0 + h;
  gui::box(x0, y0, x1, y1, COLOR_TITLE, false);
  gui::box(x0 + 1, y0 + 1, x1 - 1, y1 - 1, COLOR_BACKGROUND, true);
  // Title bar: 21 rows (y..y+20) over the whole width, covering the top border.
  gui::box(x0, y0, x1, y0 + 20, COLOR_TITLE, true);
  // The caption is not cut to the panel's width.
  RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, static_cast<Single>(x0 + 10), static_cast<Single>(y0 + 2), 4, caption,
                                 COLOR_FIELD));
  return PANEL{x, y, w, h, caption};
}

FRAME FRAME_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption) {
  const ErrorContext ctx{"Inc/GUI", "FRAME_NEW"};
  const double x0 = x, y0 = y;
  gui::box(x0, y0, x0 + w, y0 + h, COLOR_BORDER, false);
  // Caption cell (x+8, y-8), 8*len + 8 wide and 16 high: wide enough for the whole caption, its
  // background interrupts the top edge from x+9 to x+8*len+15 and the text starts at x+12.
  const long long len = static_cast<long long>(caption.size());
  SETTEXT(gui::saturate(static_cast<long long>(x) + 8), gui::saturate(static_cast<long long>(y) - 8),
          gui::saturate(8 * len + 8), 16, caption, MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  return FRAME{x, y, w, h, caption};
}
