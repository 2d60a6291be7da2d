// Push buttons, check boxes, radio buttons and labels.
#include "Inc/GUI/detail.hpp"

namespace {

// The bracket marker in front of a check box or radio button caption; empty for other states.
String check_marker(Integer state) { return state == 0 ? "[ ] " : state == 1 ? "[X] " : String{}; }
String radio_marker(Integer state) { return state == 0 ? "( ) " : state == 1 ? String{"(\xFE) "} : String{}; }

// Redraws a marked text cell; states without a marker leave the picture alone.
void draw_marked(Integer x, Integer y, Integer w, Integer h, const String& marker, const String& caption) {
  if (marker.empty()) return;
  SETTEXT(x, y, w, h, marker + caption, MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
}

// Scans group members 0..upper on one mouse sample; the first strict hit wins, the others are cleared.
template <class At>
Boolean radio_event(Integer upper, At&& at, Integer& index) {
  index = -1;
  Boolean result = false;
  const gui::Click c = gui::Click::poll();
  for (long long i = 0; i <= upper; ++i) {
    RADIOBUTTON& member = at(static_cast<Integer>(i));
    if (!c.hits({member.X, member.Y, member.W, member.H}, gui::Edges::Strict)) continue;
    const bool marked = member.CHECKED == 0;
    if (marked) RADIOBUTTON_SETCHECK(member, 1);
    if (!gui::Click::wait_release()) {
      if (marked) RADIOBUTTON_SETCHECK(member, 0);  // a cancelled click leaves the group as it was
      break;
    }
    index = static_cast<Integer>(i);
    result = true;
    break;
  }
  if (index >= 0) {
    for (long long j = 0; j <= upper; ++j) {
      if (j == index) continue;
      RADIOBUTTON& other = at(static_cast<Integer>(j));
      if (other.CHECKED == 1) RADIOBUTTON_SETCHECK(other, 0);
    }
  }
  if (upper >= 0) {
    const RADIOBUTTON& first = at(0);
    for (long long i = 0; i <= upper; ++i) gui::offer(at(static_cast<Integer>(i)), first);
  }
  return result;
}

}  // namespace

void DRAWBUTTON(BUTTON& button) {
  const ErrorContext ctx{"Inc/GUI", "DRAWBUTTON"};
  const double x = button.X, y = button.Y, w = button.W, h = button.H;
  gui::box(x, y, x + w, y + h, COLOR_BORDER, false);
  if (button.PRESSED == 0 || button.PRESSED == 1) {
    const Integer face = button.PRESSED == 0 ? COLOR_BUTTON_FACE : COLOR_BUTTON_PRESSED;
    gui::box(x + 1, y + 1, x + w - 1, y + h - 1, face, true);
  }
  // Centred, not shortened: (X + (W - 8n) / 2, Y + (H - 16) / 2).
  const double n = static_cast<double>(button.CAPTION.size());
  const double cx = x + (w - 8.0 * n) / 2.0;
  const double cy = y + (h - 16.0) / 2.0;
  RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, static_cast<Single>(cx), static_cast<Single>(cy), 4, button.CAPTION,
                                 COLOR_TEXT));
}

BUTTON BUTTON_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption) {
  const ErrorContext ctx{"Inc/GUI", "BUTTON_NEW"};
  BUTTON button{x, y, w, h, caption, 0};
  DRAWBUTTON(button);
  return button;
}

Boolean BUTTON_GETEVENT(BUTTON& button) {
  const ErrorContext ctx{"Inc/GUI", "BUTTON_GETEVENT"};
  gui::offer(button);
  bool whole_screen = false;
  const auto released = [&] {
    button.PRESSED = 0;
    if (whole_screen) DRAWBUTTON(button);
  };
  return gui::click_event(
      {button.X, button.Y, button.W, button.H}, gui::Edges::Inclusive,
      [&](const gui::Click&) {
        // Read once for both redraws: a narrowed viewport (a plot in progress) would clip the face.
        Integer width = 0, height = 0, unused1 = 0, unused2 = 0;
        Integer x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        SCREEN_QUERY(4, width, height, unused1, unused2);
        SCREEN_QUERY(11, x1, y1, x2, y2);
        whole_screen = x1 == 0 && y1 == 0 && x2 == width - 1 && y2 == height - 1;
        button.PRESSED = 1;
        if (whole_screen) DRAWBUTTON(button);
      },
      released, released);
}

CHECKBOX CHECKBOX_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption) {
  const ErrorContext ctx{"Inc/GUI", "CHECKBOX_NEW"};
  draw_marked(x, y, w, h, check_marker(0), caption);
  return CHECKBOX{x, y, w, h, caption, 0};
}

void CHECKBOX_SETCHECK(CHECKBOX& box, Integer state) {
  const ErrorContext ctx{"Inc/GUI", "CHECKBOX_SETCHECK"};
  box.CHECKED = state;
  draw_marked(box.X, box.Y, box.W, box.H, check_marker(state), box.CAPTION);
}

Boolean CHECKBOX_GETEVENT(CHECKBOX& box) {
  const ErrorContext ctx{"Inc/GUI", "CHECKBOX_GETEVENT"};
  const Boolean clicked = gui::click_event(
      {box.X, box.Y, box.W, box.H}, gui::Edges::Strict,
      [&](const gui::Click&) { CHECKBOX_SETCHECK(box, box.CHECKED ^ 1); }, [] {},
      [&] { CHECKBOX_SETCHECK(box, box.CHECKED ^ 1); });
  gui::offer(box);
  return clicked;
}

Integer CHECKBOX_GETCHECK(CHECKBOX& box) {
  const ErrorContext ctx{"Inc/GUI", "CHECKBOX_GETCHECK"};
  return box.CHECKED;
}

RADIOBUTTON RADIOBUTTON_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption) {
  const ErrorContext ctx{"Inc/GUI", "RADIOBUTTON_NEW"};
  draw_marked(x, y, w, h, radio_marker(0), caption);
  return RADIOBUTTON{x, y, w, h, caption, 0};
}

void RADIOBUTTON_SETCHECK(RADIOBUTTON& button, Integer state) {
  const ErrorContext ctx{"Inc/GUI", "RADIOBUTTON_SETCHECK"};
  button.CHECKED = state;
  draw_marked(button.X, button.Y, button.W, button.H, radio_marker(state), button.CAPTION);
}

Boolean RADIOBUTTON_GETEVENT(std::span<RADIOBUTTON> group, Integer& index) {
  const ErrorContext ctx{"Inc/GUI", "RADIOBUTTON_GETEVENT"};
  const Integer upper = gui::saturate(static_cast<long long>(group.size()) - 1);
  return radio_event(
      upper,
      [group](Integer i, std::source_location where = std::source_location::current()) -> RADIOBUTTON& {
        if (i < 0 || static_cast<std::size_t>(i) >= group.size()) rt::out_of_bounds(where);
        return group[static_cast<std::size_t>(i)];
      },
      index);
}

Boolean RADIOBUTTON_GETEVENT(Array<RADIOBUTTON>& group, Integer& index) {
  const ErrorContext ctx{"Inc/GUI", "RADIOBUTTON_GETEVENT"};
  // The scan starts at 0 whatever the lower bound: an array that does not start there ends in
  // the out-of-bounds report for this line.
  return radio_event(group.upper(), [&group](Integer i) -> RADIOBUTTON& { return group[i]; }, index);
}

LABEL LABEL_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption) {
  const ErrorContext ctx{"Inc/GUI", "LABEL_NEW"};
  SETTEXT(x, y, w, h, caption, MODE_TEXT, COLOR_TEXT, COLOR_BACKGROUND);
  const LABEL label{x, y, w, h, caption};
  gui::offer(label);
  return label;
}
