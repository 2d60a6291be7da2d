#pragma once
// The controls a program offers at the moment: exactly the widgets its loop polls. Each poll
// records its widget here (kind, rectangle, caption, state), and a widget that the loop no longer
// polls drops out, so that a page can mirror the set for keyboards and screen readers. Labels
// are kept apart: they name the fields beside them, and a label whose text changes is news for
// a screen reader, as is the status text a program hands on itself. Program's thread only.
#include <cstdint>
#include <string>
#include <vector>

namespace surf {

enum class ControlKind : std::uint8_t { Button, Check, Radio, List, Slider, Field };

// One polled widget. Texts are code page 437, as the program holds them.
struct Control {
  ControlKind kind = ControlKind::Button;
  int x = 0, y = 0, w = 0, h = 0;  // the widget's rectangle, (x, y)-(x+w, y+h) inclusive
  std::string name;                // caption; a field, slider or list is named by its label
  std::string text;                // a field's text as it shows it (masked: asterisks)
  std::vector<std::string> items;  // a list's items
  int selected = -1;               // list: the selected item, -1 for none
  int top = 0, rows = 0;           // list: the first visible item and the number of rows
  int value = 0, min = 0, max = 0; // slider
  bool checked = false;            // check box, radio button
  bool editing = false;            // field: its line editor runs
  bool readonly = false;           // field
  int group_x = 0, group_y = 0;    // radio button: its group's first member's corner

  bool operator==(const Control&) const = default;
};

// A label as drawn: rectangle and text.
struct Label {
  int x = 0, y = 0, w = 0, h = 0;
  std::string text;
};

// The record of what the program polls, pass by pass. A pass ends when a control already polled
// in it is polled again (the loop came round); a control not polled in the last kKeepPasses
// passes is dropped. A loop that polls one control every other pass keeps it.
class ControlSet {
 public:
  static constexpr std::uint64_t kKeepPasses = 2;
  static constexpr std::size_t kMaxControls = 256;  // a runaway loop cannot grow the set for ever
  static constexpr std::size_t kMaxLabels = 256;
  static constexpr std::size_t kMaxStatus = 256;    // bytes of status text kept

  // Records `c` as polled now; a field, slider or list without a name is named by its label.
  void poll(Control c);
  // Records a poll of the control of `kind` at (x, y, w, h) when one is on offer there and
  // returns it; nullptr (and nothing recorded) when none is. Copies nothing.
  const Control* touch(ControlKind kind, int x, int y, int w, int h);
  // Puts `c` in place of the control offered at its place, or adds it, without counting a poll;
  // named as poll names it.
  void put(Control c);
  // Records a label drawn at its rectangle; a changed text where one was drawn before becomes the
  // status text.
  void label(const Label& l);
  // Sets the status text a screen reader announces (cut to kMaxStatus bytes).
  void status(const std::string& text);
  // Forgets everything (a new window).
  void clear();

  // The controls offered, in the order they were first polled.
  const std::vector<Control>& controls() const noexcept { return controls_; }
  // The last status text and how often it was set to something new.
  const std::string& status_text() const noexcept { return status_; }
  std::uint64_t status_count() const noexcept { return status_count_; }
  // Changes whenever what a page mirrors changes.
  std::uint64_t version() const noexcept { return version_; }

  // The name a label gives the widget at (x, y, w, h): the nearest label ending at most 24 pixels
  // left of it on its first row, else the nearest one at most 24 pixels above overlapping it; ""
  // without one.
  std::string label_for(int x, int y, int w, int h) const;

 private:
  void drop_stale();

  std::vector<Control> controls_;
  std::vector<std::uint64_t> passes_;  // the pass each control was last polled in
  std::vector<Label> labels_;
  std::string status_;
  std::uint64_t status_count_ = 0;
  std::uint64_t pass_ = 1;
  std::uint64_t version_ = 0;
};

// The set as JSON for a page: {"status":…,"statusCount":n,"controls":[{…},…]} with texts in
// UTF-8 and every character a JSON string may not hold escaped.
std::string controls_json(const ControlSet& set);

// The process's set, which the toolkit records into; empty again at every new window.
const ControlSet& offered();
// Record into the process's set (ControlSet::poll, label, status) and hand it to the backend
// (backend::controls) when what a page mirrors changed.
void offer(Control c);
// The same for loops that poll many times a millisecond: when the control of `kind` at (x, y,
// w, h) is on offer and same(control) holds, only the poll is recorded; otherwise make() gives
// the control as it is now.
template <class Same, class Make>
void offer(ControlKind kind, int x, int y, int w, int h, Same&& same, Make&& make);
void offer_label(const Label& l);
void offer_status(const std::string& text);
// Empties the process's set (a new window).
void clear_offered();

// For offer(): the process's set to record into, and the hand-over to the backend.
ControlSet& offered_set();
void hand_on_offered();

template <class Same, class Make>
void offer(ControlKind kind, int x, int y, int w, int h, Same&& same, Make&& make) {
  ControlSet& set = offered_set();
  const Control* now = set.touch(kind, x, y, w, h);
  if (now == nullptr || !same(*now)) set.put(make());
  hand_on_offered();
}

}  // namespace surf
