// What the toolkit tells the surface about each widget it polls: the controls a page mirrors for
// keyboards and screen readers.
#include "Inc/GUI/detail.hpp"
#include "surface/controls.hpp"

namespace gui {

namespace {

surf::Control placed(surf::ControlKind kind, Integer x, Integer y, Integer w, Integer h) {
  surf::Control c;
  c.kind = kind;
  c.x = x;
  c.y = y;
  c.w = w;
  c.h = h;
  return c;
}

}  // namespace

void offer(const BUTTON& button) {
  surf::Control c = placed(surf::ControlKind::Button, button.X, button.Y, button.W, button.H);
  c.name = button.CAPTION;
  surf::offer(std::move(c));
}

void offer(const CHECKBOX& box) {
  surf::Control c = placed(surf::ControlKind::Check, box.X, box.Y, box.W, box.H);
  c.name = box.CAPTION;
  c.checked = box.CHECKED == 1;
  surf::offer(std::move(c));
}

void offer(const RADIOBUTTON& button, const RADIOBUTTON& first) {
  surf::Control c = placed(surf::ControlKind::Radio, button.X, button.Y, button.W, button.H);
  c.name = button.CAPTION;
  c.checked = button.CHECKED == 1;
  c.group_x = first.X;
  c.group_y = first.Y;
  surf::offer(std::move(c));
}

void offer(const LISTBOX& list) {
  surf::Control c = placed(surf::ControlKind::List, list.X, list.Y, list.W, list.H);
  for (Integer i = 0; i <= list.MAXINDEX && i <= list.ITEMS.upper(); ++i) c.items.push_back(list.ITEMS[i]);
  c.selected = list.INDEX;
  c.top = list.TOPINDEX;
  c.rows = list.ROWS;
  surf::offer(std::move(c));
}

void offer(const TRACKBAR& bar) {
  surf::Control c = placed(surf::ControlKind::Slider, bar.X, bar.Y, bar.W, bar.H);
  c.value = bar.VALUE;
  c.min = bar.MIN;
  c.max = bar.MAX;
  surf::offer(std::move(c));
}

void offer(const TEXTBOX& box, bool editing) {
  surf::Control c = placed(surf::ControlKind::Field, box.X, box.Y, box.W, box.H);
  // What the field shows: a masked text is as secret to a screen reader as on the screen.
  c.text = box.MODE == MODE_MASKED ? String(box.TEXT.size(), '*') : box.TEXT;
  c.editing = editing;
  c.readonly = box.READONLY != 0;
  surf::offer(std::move(c));
}

void offer(const LABEL& label) { surf::offer_label({label.X, label.Y, label.W, label.H, label.CAPTION}); }

}  // namespace gui
