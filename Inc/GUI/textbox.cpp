// The one-line text field and its modal line editor.
#include <algorithm>

#include "Inc/GUI.hpp"

namespace {

constexpr const char* kLeft = "\xFF" "K";
constexpr const char* kRight = "\xFF" "M";
constexpr const char* kHome = "\xFF" "G";
constexpr const char* kEnd = "\xFF" "O";
constexpr const char* kDelete = "\xFF" "S";

long long length(const String& s) { return static_cast<long long>(s.size()); }

// text = first `keep_front` bytes + middle + last `keep_back` bytes, each count clamped to 0..n
// like STR_LEFT / STR_RIGHT. Done in place so a long text is not copied for a one-byte edit.
void splice(String& text, long long keep_front, const String& middle, long long keep_back) {
  const long long n = length(text);
  const long long a = std::clamp(keep_front, 0LL, n);
  const long long b = std::clamp(keep_back, 0LL, n);
  if (a <= n - b) {
    text.erase(static_cast<std::size_t>(a), static_cast<std::size_t>(n - b - a));
    text.insert(static_cast<std::size_t>(a), middle);
  } else {  // the kept parts overlap: build the result from the two ends
    text = text.substr(0, static_cast<std::size_t>(a)) + middle + text.substr(static_cast<std::size_t>(n - b));
  }
}

// The characters shown from index `start`: at most `count`, none outside the text.
String window_of(const String& text, long long start, long long count) {
  if (start < 0 || start >= length(text) || count <= 0) return {};
  return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

// Cursor column x = X + 4 + 8 (CURSOR - v); kept far outside any surface but finite.
Single cursor_x(const TEXTBOX& box, long long start) {
  const double x = static_cast<double>(box.X) + 4.0 + 8.0 * (static_cast<double>(box.CURSOR) - static_cast<double>(start));
  return static_cast<Single>(std::clamp(x, -1.0e7, 1.0e7));
}

}  // namespace

namespace gui {

void edit_key(TEXTBOX& box, EditView& view, const String& key) {
  String& text = box.TEXT;
  const long long n = length(text);
  const long long c = view.columns;
  long long cur = box.CURSOR;
  long long& v = view.start;
  const bool writable = box.READONLY == 0;

  if (key == kLeft) {
    if (cur > 0) --cur;
    if (cur < v && v > 0) --v;  // v never goes below the first character
  } else if (key == kRight) {
    if (cur < n) ++cur;
    if (cur > v + c - 1) ++v;
  } else if (key == kHome) {
    cur = 0;
    v = 0;
  } else if (key == kEnd) {
    cur = n;
    if (n > c) v = n - c;  // cursor ends in column c, right of the field's last column
  } else if (key == kDelete) {
    if (writable && n > 0 && cur < n) splice(text, cur, {}, n - cur - 1);
  } else if (key.size() == 1 && key[0] == '\b') {
    if (writable && n > 0 && cur > 0) {
      splice(text, cur - 1, {}, n - cur);
      --cur;
      if (v > 0) --v;  // scrolls back whenever the view is scrolled, wherever the cursor is
    }
  } else if (key.size() == 1 && static_cast<unsigned char>(key[0]) > 30) {
    const char ch = key[0];
    const bool accepted = box.MODE == MODE_TEXT || box.MODE == MODE_MASKED ||
                          (box.MODE == MODE_DIGITS && ch >= '0' && ch <= '9');
    if (writable && accepted) {
      splice(text, cur, key, n - cur);
      ++cur;
    }
    if (cur > v + c - 1) ++v;
  }
  box.CURSOR = saturate(cur);
}

void edit_click(TEXTBOX& box, const EditView& view, Integer x) {
  // (x - X - 4) \ 8 + v, limited to the text length.
  const long long col = (static_cast<long long>(x) - box.X - 4) / 8 + view.start;
  box.CURSOR = saturate(std::min(col, length(box.TEXT)));
}

}  // namespace gui

TEXTBOX TEXTBOX_NEW(Integer x, Integer y, Integer w, Integer h, const String& text, Integer readonly,
                    Integer mode) {
  const ErrorContext ctx{"Inc/GUI", "TEXTBOX_NEW"};
  const double x0 = x, y0 = y;
  gui::box(x0, y0, x0 + w, y0 + h, COLOR_BORDER, false);
  SETTEXT(x, y, w, h, text, mode, COLOR_TEXT, COLOR_FIELD);
  return TEXTBOX{x, y, w, h, text, readonly, mode, 0};
}

void TEXTBOX_SETTEXT(TEXTBOX& box, const String& text) {
  const ErrorContext ctx{"Inc/GUI", "TEXTBOX_SETTEXT"};
  SETTEXT(box.X, box.Y, box.W, box.H, text, box.MODE, COLOR_TEXT, COLOR_FIELD);
  box.TEXT = text;
}

String TEXTBOX_GETTEXT(TEXTBOX& box) {
  const ErrorContext ctx{"Inc/GUI", "TEXTBOX_GETTEXT"};
  return box.TEXT;
}

Boolean TEXTBOX_GETEVENT(TEXTBOX& box) {
  const ErrorContext ctx{"Inc/GUI", "TEXTBOX_GETEVENT"};
  return gui::click_event(
      {box.X, box.Y, box.W, box.H}, gui::Edges::Inclusive,
      [&](const gui::Click& c) {
        // Counted from the text's start, where the passive field shows it.
        gui::edit_click(box, gui::EditView{0, 0}, c.x);
      },
      [] {});
}

void TEXTBOX_EDIT(TEXTBOX& box) {
  const ErrorContext ctx{"Inc/GUI", "TEXTBOX_EDIT"};
  const gui::Rect field{box.X, box.Y, box.W, box.H};
  gui::EditView view{box.W / 8};
  const Single text_y = static_cast<Single>(static_cast<double>(box.Y) + (static_cast<double>(box.H) - 16.0) / 2.0);

  for (;;) {
    // One whole frame per pass, shown at once: only the c visible characters are handed on.
    SCREEN_LOCK();
    SETTEXT(box.X, box.Y, box.W, box.H, window_of(box.TEXT, view.start, view.columns), box.MODE, COLOR_TEXT,
            COLOR_FIELD);
    RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, cursor_x(box, view.start), text_y, 4, "_", COLOR_CURSOR));
    SCREEN_UNLOCK(-1, -1);

    const gui::Click mouse = gui::Click::poll();
    TIME_SLEEP(1);
    // Edges excluded: a click on the outline neither moves the cursor nor ends editing.
    if (mouse.hits(field, gui::Edges::Strict)) gui::edit_click(box, view, mouse.x);

    const String key = INPUT_KEY();
    gui::edit_key(box, view, key);

    const bool outside_click = mouse.status == 0 && mouse.buttons == 1 && !mouse.inside(field, gui::Edges::Inclusive);
    if (key == "\r" || outside_click) break;
  }

  SCREEN_LOCK();
  SETTEXT(box.X, box.Y, box.W, box.H, box.TEXT, box.MODE, COLOR_TEXT, COLOR_FIELD);
  SCREEN_UNLOCK(-1, -1);
}
