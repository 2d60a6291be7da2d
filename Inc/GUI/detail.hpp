#pragma once
// The widgets' shared internals: the rectangle and click rules, the line editor's key rules, the
// list box's paging and the geometry of bars and dialogs. Used by the toolkit's sources and its
// tests; not installed, not part of the toolkit's interface.
#include <cstdint>

#include "Inc/GUI.hpp"

namespace gui {

// Saturates a wide intermediate result into the Integer range.
Integer saturate(long long v) noexcept;

// The solid rectangle (x1, y1)-(x2, y2), corners inclusive, in surface pixels: filled or outline.
void box(double x1, double y1, double x2, double y2, Integer colour, bool filled);

// A widget rectangle with inclusive corners (X, Y)-(X+W, Y+H).
struct Rect {
  Integer X, Y, W, H;
};

// Inclusive: edges count as inside; Strict: only the interior does.
enum class Edges { Inclusive, Strict };

// One mouse sample and the click rules applied to it.
struct Click {
  Integer status = 1;  // INPUT_MOUSE's result: 0, or 1 when the pointer is not in the window
  Integer x = -1, y = -1, wheel = -1, buttons = -1;

  // Polls the mouse once.
  static Click poll();
  // True when the poll succeeded and (x, y) lies in r under the edge rule.
  bool inside(const Rect& r, Edges edges) const noexcept;
  // A hit: inside r with the left button alone held.
  bool hits(const Rect& r, Edges edges) const noexcept { return buttons == 1 && inside(r, edges); }
  // Polls, sleeping 1 ms after each poll, until no button is held: true. False as soon as the
  // button came up away from the window (outside it, or while it was inactive), or a close
  // request came in while it is still held (the request stays queued for the program's close
  // test): releasing away cancels, and the program's loop must get to its close test.
  static bool wait_release();
};

// The click protocol: poll once; on a hit run press(sample) and wait for the release. Released in
// the window: run release() and return true. Cancelled: run cancel() and return false. No hit:
// change nothing and return false.
template <class Press, class Release, class Cancel>
Boolean click_event(const Rect& r, Edges edges, Press&& press, Release&& release, Cancel&& cancel) {
  const Click c = Click::poll();
  if (!c.hits(r, edges)) return false;
  press(c);
  if (!Click::wait_release()) {
    cancel();
    return false;
  }
  release();
  return true;
}

// The line editor's scroll state for one TEXTBOX_EDIT call.
struct EditView {
  long long columns;   // c = W \ 8
  long long start = 0; // v: index of the first character shown
};

// Applies one key of the line editor to box.TEXT / box.CURSOR and the view.
void edit_key(TEXTBOX& box, EditView& view, const String& key);
// Moves the cursor for a click at x inside the field while editing.
void edit_click(TEXTBOX& box, const EditView& view, Integer x);
// Scrolls one page up (by ROWS, not below 0).
void page_up(LISTBOX& list) noexcept;
// Scrolls one page down so that the last item ends in the last row; false when nothing lay below.
bool page_down(LISTBOX& list) noexcept;


// Records the widget just polled among the controls the program offers (surface/controls.hpp);
// a radio button with its group's first member, a text box with whether its editor runs.
void offer(const BUTTON& button);
void offer(const CHECKBOX& box);
void offer(const RADIOBUTTON& button, const RADIOBUTTON& first);
void offer(const LISTBOX& list);
void offer(const TRACKBAR& bar);
void offer(const TEXTBOX& box, bool editing);
// Records a label as drawn: it names the field beside it, and a new text is news.
void offer(const LABEL& label);

// Integer subtraction and product as 32-bit two's complement: overflow wraps instead of being undefined.
constexpr Integer wrap_sub(Integer a, Integer b) noexcept {
  return static_cast<Integer>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
constexpr Integer wrap_mul(Integer a, Integer b) noexcept {
  return static_cast<Integer>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// Knob centre of a track bar at `value`: X + 5 + (value - MIN)*(W - 10) / (MAX - MIN), halves to even.
// Degenerate bars (MIN = MAX or W <= 10) put the knob at its left end X + 5.
long long trackbar_knob(const TRACKBAR& bar, Integer value) noexcept;
// Value under pointer column mx: MIN + (mx - X - 5)*(MAX - MIN) / (W - 10), halves to even,
// saturated to the Integer range; MIN on a degenerate bar.
Integer trackbar_value_at(const TRACKBAR& bar, Integer mx) noexcept;
// Right end of a progress bar at `value`: X + 2 + (value - MIN)*(W - 4) / (MAX - MIN), halves to even.
// Degenerate bars (MIN = MAX or W <= 4) end at X + 2.
long long progress_end(const PROGRESSBAR& bar, Integer value) noexcept;

// The message box buttons: button 1 always, 2 and 3 only with a caption; widths 8*len + 16,
// left edges x+10, x+b1+20 and x+b1+b2+40 (b2 = 0 without button 2), saturated.
struct MsgboxLayout {
  bool shown[3] = {true, false, false};
  Integer x[3] = {};  // left edge of button 1, 2, 3
  Integer w[3] = {};  // width of button 1, 2, 3 (0 when absent)
};
MsgboxLayout msgbox_layout(Integer x, const String& button1, const String& button2, const String& button3) noexcept;
// Left edge of the input box's "Ok" button: x + w/2 - 30, halves to even, saturated.
Integer inputbox_ok_x(Integer x, Integer w) noexcept;

}  // namespace gui
