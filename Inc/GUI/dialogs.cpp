// The modal input box and message box. Each saves the picture on page 1, draws itself over
// it, polls only its own widgets until answered and then puts the picture back.
#include <algorithm>
#include <cmath>
#include <limits>

#include "Inc/GUI/detail.hpp"

namespace {

// x + d as a widget coordinate; wide arithmetic so huge arguments cannot overflow.
Integer at(Integer x, long long d) noexcept { return gui::saturate(static_cast<long long>(x) + d); }

// Width of a message box button: 8 * len + 16.
Integer button_width(const String& caption) noexcept {
  return gui::saturate(8 * static_cast<long long>(caption.size()) + 16);
}

void save_picture() { SCREEN_COPY_PAGE(0, 1); }
void restore_picture() { SCREEN_COPY_PAGE(1, 0); }

}  // namespace

namespace gui {

MsgboxLayout msgbox_layout(Integer x, const String& button1, const String& button2, const String& button3) noexcept {
  MsgboxLayout l;
  l.shown[1] = !button2.empty();
  l.shown[2] = !button3.empty();
  l.w[0] = button_width(button1);
  l.w[1] = l.shown[1] ? button_width(button2) : 0;
  l.w[2] = l.shown[2] ? button_width(button3) : 0;
  // Button 1 at x+10, button 2 ten pixels after it, button 3 twenty pixels after button 2.
  l.x[0] = at(x, 10);
  l.x[1] = l.shown[1] ? at(x, static_cast<long long>(l.w[0]) + 20) : 0;
  l.x[2] = l.shown[2] ? at(x, static_cast<long long>(l.w[0]) + l.w[1] + 40) : 0;
  return l;
}

Integer inputbox_ok_x(Integer x, Integer w) noexcept {
  // x + w/2 - 30 in double, rounded to nearest with halves to even.
  const double p = rt::round_half_even(static_cast<double>(x) + static_cast<double>(w) / 2.0 - 30.0);
  return static_cast<Integer>(std::clamp<double>(p, std::numeric_limits<Integer>::min(),
                                                 std::numeric_limits<Integer>::max()));
}

}  // namespace gui

String INPUTBOX(Integer x, Integer y, Integer w, const String& title, const String& prompt, const String& text,
                Integer readonly) {
  const ErrorContext ctx{"Inc/GUI", "INPUTBOX"};
  save_picture();
  PANEL_NEW(x, y, w, 120, title);
  const Integer inner = at(w, -20);
  SCREEN_STATUS_TEXT(title);
  LABEL_NEW(at(x, 10), at(y, 30), inner, 20, prompt);
  TEXTBOX field = TEXTBOX_NEW(at(x, 10), at(y, 60), inner, 20, text, readonly, MODE_TEXT);
  BUTTON ok = BUTTON_NEW(gui::inputbox_ok_x(x, w), at(y, 90), 60, 20, "Ok");
  // No cancel: only "Ok" ends the dialog. A click that ends editing outside the field is still
  // down when "Ok" is polled, so clicking "Ok" while editing answers at once.
  for (;;) {
    if (TEXTBOX_GETEVENT(field)) TEXTBOX_EDIT(field);
    TIME_SLEEP(1);
    if (BUTTON_GETEVENT(ok)) break;
  }
  restore_picture();
  return TEXTBOX_GETTEXT(field);
}

Integer MSGBOX(Integer x, Integer y, Integer w, const String& title, const String& message, const String& button1,
               const String& button2, const String& button3) {
  const ErrorContext ctx{"Inc/GUI", "MSGBOX"};
  save_picture();
  PANEL_NEW(x, y, w, 90, title);
  LABEL_NEW(at(x, 10), at(y, 30), at(w, -20), 20, message);
  // Said once as it opens: its buttons alone do not tell what they answer.
  SCREEN_STATUS_TEXT(title + ": " + message);
  const gui::MsgboxLayout layout = gui::msgbox_layout(x, button1, button2, button3);
  const String* captions[3] = {&button1, &button2, &button3};
  BUTTON buttons[3];
  for (int i = 0; i < 3; ++i)
    if (layout.shown[i]) buttons[i] = BUTTON_NEW(layout.x[i], at(y, 60), layout.w[i], 20, *captions[i]);
  Integer result = -1;
  while (result < 0) {
    // Polled in order 1, 2, 3; when two report a click in one pass the later one wins.
    for (int i = 0; i < 3; ++i)
      if (layout.shown[i] && BUTTON_GETEVENT(buttons[i])) result = i;
    TIME_SLEEP(1);
  }
  restore_picture();
  return result;
}
