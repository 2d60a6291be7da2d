// The list box: a framed column of one-line items, chosen by click, paged by wheel and arrows.
#include <algorithm>

#include "Inc/GUI/detail.hpp"
#include "surface/reset.hpp"

Integer LASTWHEEL = 0;

namespace {
void reset_wheel() { LASTWHEEL = 0; }
const rt::ResetHook reset_hook{reset_wheel};
}  // namespace

namespace gui {

void page_up(LISTBOX& list) noexcept {
  const long long top = list.TOPINDEX, rows = list.ROWS;
  list.TOPINDEX = top > rows ? saturate(std::max(0LL, top - rows)) : 0;
}

bool page_down(LISTBOX& list) noexcept {
  const long long top = list.TOPINDEX, rows = list.ROWS, last = list.MAXINDEX;
  if (!(top + rows - 1 < last)) return false;  // nothing below the last visible row
  long long next = top + rows;
  if (last - next < rows) next = last - rows + 1;  // last item in the last row
  list.TOPINDEX = saturate(std::max(0LL, next));
  return true;
}

}  // namespace gui

LISTBOX LISTBOX_NEW(Integer x, Integer y, Integer w, Integer h) {
  const ErrorContext ctx{"Inc/GUI", "LISTBOX_NEW"};
  const double x0 = x, y0 = y;
  gui::box(x0, y0, x0 + w, y0 + h, COLOR_BORDER, false);
  gui::box(x0 + 1, y0 + 1, x0 + w - 1, y0 + h - 1, COLOR_FIELD, true);
  LISTBOX list;
  list.X = x;
  list.Y = y;
  list.W = w;
  list.H = h;
  list.MAXINDEX = -1;
  list.TOPINDEX = 0;
  list.ROWS = h / 16;
  list.INDEX = -1;
  return list;
}

void LISTBOX_ADD(LISTBOX& list, const String& text) {
  const ErrorContext ctx{"Inc/GUI", "LISTBOX_ADD"};
  if (list.MAXINDEX >= list.ITEMS.upper()) return;  // full: the item is dropped
  ++list.MAXINDEX;
  // Follow the newest item when it would fall below the last visible row.
  if (static_cast<long long>(list.MAXINDEX) - list.TOPINDEX > static_cast<long long>(list.ROWS) - 1)
    list.TOPINDEX = gui::saturate(static_cast<long long>(list.TOPINDEX) + 1);
  list.ITEMS[list.MAXINDEX] = text;
  DISPLAYITEMS(list);
}

void LISTBOX_CLEAR(LISTBOX& list) {
  const ErrorContext ctx{"Inc/GUI", "LISTBOX_CLEAR"};
  for (Integer i = 0; i <= list.MAXINDEX; ++i) list.ITEMS[i].clear();
  list.MAXINDEX = -1;
  list.TOPINDEX = 0;
  list.INDEX = -1;
  DISPLAYITEMS(list);
}

Integer LISTBOX_GETMAXINDEX(LISTBOX& list) {
  const ErrorContext ctx{"Inc/GUI", "LISTBOX_GETMAXINDEX"};
  return list.MAXINDEX;
}

Integer LISTBOX_GETINDEX(LISTBOX& list) {
  const ErrorContext ctx{"Inc/GUI", "LISTBOX_GETINDEX"};
  return list.INDEX;
}

void LISTBOX_SETINDEX(LISTBOX& list, Integer index) {
  const ErrorContext ctx{"Inc/GUI", "LISTBOX_SETINDEX"};
  if (index < 0 || index > list.MAXINDEX) return;
  list.INDEX = index;
  DISPLAYITEMS(list);
}

String LISTBOX_GETITEM(LISTBOX& list, Integer index) {
  const ErrorContext ctx{"Inc/GUI", "LISTBOX_GETITEM"};
  if (index < 0) return {};
  return list.ITEMS[index];
}

void DISPLAYITEMS(LISTBOX& list) {
  const ErrorContext ctx{"Inc/GUI", "DISPLAYITEMS"};
  for (long long i = 0; i < list.ROWS; ++i) {
    // Row i shows item TOPINDEX + i; past item 1000 the checked access ends the program.
    const Integer n = gui::saturate(list.TOPINDEX + i);
    const bool selected = n == list.INDEX;
    const String& item = list.ITEMS[n];
    SETTEXT(list.X, gui::saturate(list.Y + 16 * i), list.W, 16, item, MODE_TEXT,
            selected ? COLOR_FIELD : COLOR_TEXT, selected ? COLOR_SELECTION : COLOR_FIELD);
  }
}

namespace {

// One pass of LISTBOX_GETEVENT, before its record.
Boolean list_event(LISTBOX& list) {
  const Integer old = LASTWHEEL;
  const gui::Click mouse = gui::Click::poll();
  // A failed poll (pointer outside the window) reports -1 for the wheel too; storing it would
  // read as a wheel turn once the pointer comes back.
  if (mouse.status == 0) LASTWHEEL = mouse.wheel;
  TIME_SLEEP(50);

  const gui::Rect frame{list.X, list.Y, list.W, list.H};
  if (!mouse.inside(frame, gui::Edges::Inclusive)) return false;

  Boolean chosen = false;
  if (mouse.buttons == 1) {
    const long long row = (static_cast<long long>(mouse.y) - list.Y) / 16;
    // The strip below the last full row and the bottom border give row ROWS: not an item row.
    const long long n = row + list.TOPINDEX;
    if (row < list.ROWS && n >= 0 && n <= list.MAXINDEX) {
      list.INDEX = static_cast<Integer>(n);
      DISPLAYITEMS(list);
      // The row stays selected when the click is cancelled, but nothing is reported.
      chosen = gui::Click::wait_release();
    }
  }

  // The window's close request stays for the program's close test.
  const String key = INPUT_KEY_KEEP_CLOSE();
  const long long turn = static_cast<long long>(LASTWHEEL) - old;
  if (turn > 0 || key == KEY_UP) {
    gui::page_up(list);
    DISPLAYITEMS(list);
  } else if (turn < 0 || key == KEY_DOWN) {
    if (gui::page_down(list)) DISPLAYITEMS(list);
  }
  return chosen;
}

}  // namespace

Boolean LISTBOX_GETEVENT(LISTBOX& list) {
  const ErrorContext ctx{"Inc/GUI", "LISTBOX_GETEVENT"};
  const Boolean chosen = list_event(list);
  // Recorded as the pass leaves it: selected and scrolled.
  gui::offer(list);
  return chosen;
}
