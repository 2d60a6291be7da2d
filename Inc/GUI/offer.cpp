// What the toolkit tells the surface about each widget it polls: the controls a page mirrors for
// keyboards and screen readers. A run loop polls its Stop button for every step, so a poll that
// changes nothing only compares and copies nothing.
#include <algorithm>

#include "Inc/GUI/detail.hpp"
#include "surface/controls.hpp"

namespace gui {

namespace {

using surf::Control;
using surf::ControlKind;

Control placed(ControlKind kind, Integer x, Integer y, Integer w, Integer h) {
  Control c;
  c.kind = kind;
  c.x = x;
  c.y = y;
  c.w = w;
  c.h = h;
  return c;
}

// A masked text is as secret to a screen reader as on the screen.
bool shows(const TEXTBOX& box, const String& text) {
  if (box.MODE != MODE_MASKED) return text == box.TEXT;
  return text.size() == box.TEXT.size() && text.find_first_not_of('*') == String::npos;
}

bool same_items(const LISTBOX& list, const Control& c) {
  const long long count = static_cast<long long>(list.MAXINDEX) + 1;
  if (static_cast<long long>(c.items.size()) != std::max(0LL, std::min(count, list.ITEMS.upper() + 1LL))) return false;
  for (std::size_t i = 0; i < c.items.size(); ++i)
    if (c.items[i] != list.ITEMS[static_cast<Integer>(i)]) return false;
  return true;
}

}  // namespace

void offer(const BUTTON& button) {
  surf::offer(
      ControlKind::Button, button.X, button.Y, button.W, button.H,
      [&](const Control& c) { return c.name == button.CAPTION; },
      [&] {
        Control c = placed(ControlKind::Button, button.X, button.Y, button.W, button.H);
        c.name = button.CAPTION;
        return c;
      });
}

void offer(const CHECKBOX& box) {
  surf::offer(
      ControlKind::Check, box.X, box.Y, box.W, box.H,
      [&](const Control& c) { return c.name == box.CAPTION && c.checked == (box.CHECKED == 1); },
      [&] {
        Control c = placed(ControlKind::Check, box.X, box.Y, box.W, box.H);
        c.name = box.CAPTION;
        c.checked = box.CHECKED == 1;
        return c;
      });
}

void offer(const RADIOBUTTON& button, const RADIOBUTTON& first) {
  surf::offer(
      ControlKind::Radio, button.X, button.Y, button.W, button.H,
      [&](const Control& c) {
        return c.name == button.CAPTION && c.checked == (button.CHECKED == 1) && c.group_x == first.X &&
               c.group_y == first.Y;
      },
      [&] {
        Control c = placed(ControlKind::Radio, button.X, button.Y, button.W, button.H);
        c.name = button.CAPTION;
        c.checked = button.CHECKED == 1;
        c.group_x = first.X;
        c.group_y = first.Y;
        return c;
      });
}

void offer(const LISTBOX& list) {
  surf::offer(
      ControlKind::List, list.X, list.Y, list.W, list.H,
      [&](const Control& c) {
        return c.selected == list.INDEX && c.top == list.TOPINDEX && c.rows == list.ROWS && same_items(list, c);
      },
      [&] {
        Control c = placed(ControlKind::List, list.X, list.Y, list.W, list.H);
        for (Integer i = 0; i <= list.MAXINDEX && i <= list.ITEMS.upper(); ++i) c.items.push_back(list.ITEMS[i]);
        c.selected = list.INDEX;
        c.top = list.TOPINDEX;
        c.rows = list.ROWS;
        return c;
      });
}

void offer(const TRACKBAR& bar) {
  surf::offer(
      ControlKind::Slider, bar.X, bar.Y, bar.W, bar.H,
      [&](const Control& c) { return c.value == bar.VALUE && c.min == bar.MIN && c.max == bar.MAX; },
      [&] {
        Control c = placed(ControlKind::Slider, bar.X, bar.Y, bar.W, bar.H);
        c.value = bar.VALUE;
        c.min = bar.MIN;
        c.max = bar.MAX;
        return c;
      });
}

void offer(const TEXTBOX& box, bool editing) {
  surf::offer(
      ControlKind::Field, box.X, box.Y, box.W, box.H,
      [&](const Control& c) { return shows(box, c.text) && c.editing == editing && c.readonly == (box.READONLY != 0); },
      [&] {
        Control c = placed(ControlKind::Field, box.X, box.Y, box.W, box.H);
        c.text = box.MODE == MODE_MASKED ? String(box.TEXT.size(), '*') : box.TEXT;
        c.editing = editing;
        c.readonly = box.READONLY != 0;
        return c;
      });
}

void offer(const LABEL& label) { surf::offer_label({label.X, label.Y, label.W, label.H, label.CAPTION}); }

}  // namespace gui
