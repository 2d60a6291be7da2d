// The one-line text field and its modal line editor.
#include <algorithm>
#include <array>
#include <cmath>

#include "Inc/GUI/detail.hpp"

namespace {

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

bool is_digit(char ch) { return ch >= '0' && ch <= '9'; }

// Whether text with `key` put in at `at` is still the beginning of a decimal number: checked on
// the whole text, so that a second sign or point anywhere is refused, not only next to the cursor.
bool decimal_with(const String& text, long long at, const String& key) {
  String t = text;
  splice(t, at, key, length(text) - at);
  std::size_t i = 0;
  const std::size_t n = t.size();
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  bool digit = false;
  for (; i < n && is_digit(t[i]); ++i) digit = true;
  if (i < n && (t[i] == '.' || t[i] == ',')) ++i;
  for (; i < n && is_digit(t[i]); ++i) digit = true;
  if (digit && i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    while (i < n && is_digit(t[i])) ++i;
  }
  return i == n;
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

// What the cursor's character cell covers outside the field's interior. The editor repaints
// only the interior, so a cursor in the last column or after End (columns c - 1 and c reach
// over the right border) or in a field lower than a text row would leave its mark on the
// border and beyond. The cell is saved before the cursor is first drawn there and put back
// when the cursor moves elsewhere and when editing ends: the cursor shows wherever the editor
// puts it, and nothing outside the interior keeps a trace of it.
class CursorBacking {
 public:
  // Makes the 8 x 16 cell whose top-left corner is (x, y), rounded as the text primitive
  // rounds it, the saved one: when it is not already, the previous cell is put back first.
  void place(const TEXTBOX& box, Single x, Single y) {
    const double left = std::round(static_cast<double>(x)), top = std::round(static_cast<double>(y));
    if (placed_ && left == left_ && top == top_) return;  // its pixels are saved and unchanged
    restore();
    placed_ = true;
    left_ = left;
    top_ = top;
    save(box);
  }
  // Writes the saved pixels back; the next place() saves afresh.
  void restore() {
    for (int k = 0; k < count_; ++k) SCREEN_PSET(nullptr, saved_[k].x, saved_[k].y, saved_[k].value, 4);
    count_ = 0;
    placed_ = false;
  }

 private:
  // Saves the cell's pixels that lie outside the interior (X+1, Y+1)-(X+W-1, Y+H-1).
  void save(const TEXTBOX& box) {
    const double x1 = static_cast<double>(box.X) + 1, x2 = static_cast<double>(box.X) + box.W - 1;
    const double y1 = static_cast<double>(box.Y) + 1, y2 = static_cast<double>(box.Y) + box.H - 1;
    for (int j = 0; j < kRows; ++j)
      for (int i = 0; i < kColumns; ++i) {
        const double px = left_ + i, py = top_ + j;
        if (x1 <= px && px <= x2 && y1 <= py && py <= y2) continue;
        const auto sx = static_cast<Single>(px), sy = static_cast<Single>(py);
        // -1 also stands for "outside the viewport"; writing it back there is clipped away.
        saved_[count_++] = {sx, sy, SCREEN_POINT(nullptr, sx, sy)};
      }
  }

  static constexpr int kColumns = 8, kRows = 16;  // the widest and tallest text cell
  struct Pixel {
    Single x, y;
    Integer value;
  };
  std::array<Pixel, kColumns * kRows> saved_{};
  int count_ = 0;
  bool placed_ = false;
  double left_ = 0, top_ = 0;
};

}  // namespace

namespace gui {

void edit_key(TEXTBOX& box, EditView& view, const String& key) {
  String& text = box.TEXT;
  const long long n = length(text);
  const long long c = view.columns;
  long long cur = box.CURSOR;
  long long& v = view.start;
  const bool writable = box.READONLY == 0;

  if (key == KEY_LEFT) {
    if (cur > 0) --cur;
    if (cur < v && v > 0) --v;  // v never goes below the first character
  } else if (key == KEY_RIGHT) {
    if (cur < n) ++cur;
    if (cur > v + c - 1) ++v;
  } else if (key == KEY_HOME) {
    cur = 0;
    v = 0;
  } else if (key == KEY_END) {
    cur = n;
    if (n > c) v = n - c;  // cursor ends in column c, right of the field's last column
  } else if (key == KEY_DELETE) {
    if (writable && n > 0 && cur < n) splice(text, cur, {}, n - cur - 1);
  } else if (key == KEY_BACKSPACE) {
    if (writable && n > 0 && cur > 0) {
      splice(text, cur - 1, {}, n - cur);
      --cur;
      if (v > 0) --v;  // scrolls back whenever the view is scrolled, wherever the cursor is
    }
  } else if (key.size() == 1 && static_cast<unsigned char>(key[0]) > 30) {
    const char ch = key[0];
    const bool accepted = box.MODE == MODE_TEXT || box.MODE == MODE_MASKED ||
                          (box.MODE == MODE_DIGITS && ch >= '0' && ch <= '9') ||
                          (box.MODE == MODE_DECIMAL && decimal_with(text, cur, key));
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
  gui::offer(box, false);
  return gui::click_event(
      {box.X, box.Y, box.W, box.H}, gui::Edges::Inclusive,
      [&](const gui::Click& c) {
        // Counted from the text's start, where the passive field shows it.
        gui::edit_click(box, gui::EditView{0, 0}, c.x);
      },
      [] {}, [] {});
}

void TEXTBOX_EDIT(TEXTBOX& box) {
  const ErrorContext ctx{"Inc/GUI", "TEXTBOX_EDIT"};
  const gui::Rect field{box.X, box.Y, box.W, box.H};
  gui::EditView view{box.W / 8};
  const Single text_y = static_cast<Single>(static_cast<double>(box.Y) + (static_cast<double>(box.H) - 16.0) / 2.0);
  CursorBacking backing;
  SCREEN_TEXT_INPUT(box.X, box.Y, box.W, box.H);

  for (;;) {
    // One whole frame per pass, shown at once: only the c visible characters are handed on.
    SCREEN_LOCK();
    const Single x = cursor_x(box, view.start);
    backing.place(box, x, text_y);
    SETTEXT(box.X, box.Y, box.W, box.H, window_of(box.TEXT, view.start, view.columns), box.MODE, COLOR_TEXT,
            COLOR_FIELD);
    RUNTIME_CHECK(SCREEN_DRAW_TEXT(nullptr, x, text_y, 4, "_", COLOR_CURSOR));
    SCREEN_UNLOCK(-1, -1);
    gui::offer(box, true);

    const gui::Click mouse = gui::Click::poll();
    TIME_SLEEP(1);
    // Edges excluded: a click on the outline neither moves the cursor nor ends editing.
    if (mouse.hits(field, gui::Edges::Strict)) gui::edit_click(box, view, mouse.x);

    // Every waiting key before the next frame: a pass lasts a presenter interval, and one key a
    // pass would let a fast burst overflow the queue. Enter and the window's close request end
    // editing; keys behind them stay queued, and the close request stays for the program's close test.
    bool done = mouse.status == 0 && mouse.buttons == 1 && !mouse.inside(field, gui::Edges::Inclusive);
    for (;;) {
      const String key = INPUT_KEY_KEEP_CLOSE();
      if (key.empty()) break;
      gui::edit_key(box, view, key);
      if (key == KEY_ENTER || IS_CLOSE_KEY(key)) {
        done = true;
        break;
      }
    }
    if (done) break;
  }
  SCREEN_TEXT_INPUT_END();

  SCREEN_LOCK();
  backing.restore();
  SETTEXT(box.X, box.Y, box.W, box.H, box.TEXT, box.MODE, COLOR_TEXT, COLOR_FIELD);
  SCREEN_UNLOCK(-1, -1);
}
