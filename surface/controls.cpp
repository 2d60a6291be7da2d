// The record of the controls a program polls, and its JSON for a page.
#include "surface/controls.hpp"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "surface/backend.hpp"
#include "surface/keys.hpp"
#include "surface/reset.hpp"

namespace surf {

namespace {

bool same_place(const Control& a, const Control& b) noexcept {
  return a.kind == b.kind && a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

// How far a label may lie from the widget it names, and the height of a text row.
constexpr long long kLabelGap = 24, kRowHeight = 24;

// Wide sums: rectangles come from the program and may lie anywhere in the Integer range.
long long right_of(const Label& l) noexcept { return static_cast<long long>(l.x) + l.w; }
long long bottom_of(const Label& l) noexcept { return static_cast<long long>(l.y) + l.h; }

}  // namespace

void ControlSet::drop_stale() {
  for (std::size_t i = controls_.size(); i-- > 0;) {
    if (passes_[i] + kKeepPasses >= pass_) continue;
    controls_.erase(controls_.begin() + static_cast<std::ptrdiff_t>(i));
    passes_.erase(passes_.begin() + static_cast<std::ptrdiff_t>(i));
    ++version_;
  }
}

const Control* ControlSet::touch(ControlKind kind, int x, int y, int w, int h) {
  const auto find = [&] {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
      const Control& o = controls_[i];
      if (o.kind == kind && o.x == x && o.y == y && o.w == w && o.h == h) return i;
    }
    return controls_.size();
  };
  std::size_t i = find();
  if (i == controls_.size()) return nullptr;
  if (passes_[i] == pass_) {
    ++pass_;  // the loop came round: a new pass
    drop_stale();
    i = find();
    if (i == controls_.size()) return nullptr;
  }
  passes_[i] = pass_;
  return &controls_[i];
}

void ControlSet::put(Control c) {
  if ((c.kind == ControlKind::Field || c.kind == ControlKind::Slider || c.kind == ControlKind::List) && c.name.empty())
    c.name = label_for(c.x, c.y, c.w, c.h);
  const auto it = std::find_if(controls_.begin(), controls_.end(), [&](const Control& o) { return same_place(o, c); });
  if (it == controls_.end()) {
    if (controls_.size() >= kMaxControls) return;
    controls_.push_back(std::move(c));
    passes_.push_back(pass_);
    ++version_;
  } else if (!(*it == c)) {
    *it = std::move(c);
    ++version_;
  }
}

void ControlSet::poll(Control c) {
  touch(c.kind, c.x, c.y, c.w, c.h);
  put(std::move(c));
}

void ControlSet::label(const Label& l) {
  for (Label& old : labels_) {
    if (old.x != l.x || old.y != l.y || old.w != l.w || old.h != l.h) continue;
    if (old.text == l.text) return;
    old.text = l.text;
    // A label drawn again with a new text tells of a change: a counter, a measurement, an answer.
    status(l.text);
    return;
  }
  if (labels_.size() < kMaxLabels) labels_.push_back(l);
}

void ControlSet::status(const std::string& text) {
  const std::string cut = text.substr(0, kMaxStatus);
  if (cut == status_) return;
  status_ = cut;
  ++status_count_;
  ++version_;
}

void ControlSet::clear() {
  controls_.clear();
  passes_.clear();
  labels_.clear();
  status_.clear();
  ++version_;
}

std::string ControlSet::label_for(int x, int y, int w, int h) const {
  const Label* best = nullptr;
  long long best_gap = std::numeric_limits<long long>::max();
  const long long top = y, left = x, right = static_cast<long long>(x) + w;
  // The same row: the label's middle lies within the widget's first text row, and it ends close
  // by at its left (at most a few pixels into it); a label across a gap belongs to something else.
  const long long first_row = top + std::min<long long>(std::max(h, 0), kRowHeight);
  for (const Label& l : labels_) {
    const long long middle = l.y + (static_cast<long long>(l.h) / 2);
    if (l.text.empty() || middle < top || middle > first_row || right_of(l) > left + 2) continue;
    const long long gap = left - right_of(l);
    if (gap > kLabelGap) continue;
    if (gap < best_gap) best = &l, best_gap = gap;
  }
  if (best) return best->text;
  // Just above, overlapping it sideways.
  for (const Label& l : labels_) {
    if (l.text.empty() || bottom_of(l) > top + 2 || top - bottom_of(l) > kLabelGap) continue;
    if (right_of(l) < left || l.x > right) continue;
    const long long gap = top - bottom_of(l);
    if (gap < best_gap) best = &l, best_gap = gap;
  }
  return best ? best->text : std::string{};
}

namespace {

void append_string(std::string& out, const std::string& cp437) {
  out += '"';
  for (const char ch : keys::cp437_to_utf8(cp437)) {
    const auto u = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (u < 0x20 || u == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += ch;
    }
  }
  out += '"';
}

void append_field(std::string& out, const char* key, long long value) {
  out += ",\"";
  out += key;
  out += "\":";
  out += std::to_string(value);
}

const char* kind_name(ControlKind k) {
  switch (k) {
    case ControlKind::Button: return "button";
    case ControlKind::Check: return "check";
    case ControlKind::Radio: return "radio";
    case ControlKind::List: return "list";
    case ControlKind::Slider: return "slider";
    case ControlKind::Field: return "field";
  }
  return "button";
}

}  // namespace

std::string controls_json(const ControlSet& set) {
  std::string out = "{\"status\":";
  append_string(out, set.status_text());
  append_field(out, "statusCount", static_cast<long long>(set.status_count()));
  out += ",\"controls\":[";
  bool first = true;
  for (const Control& c : set.controls()) {
    if (!first) out += ',';
    first = false;
    out += "{\"kind\":\"";
    out += kind_name(c.kind);
    out += "\",\"name\":";
    append_string(out, c.name);
    append_field(out, "x", c.x);
    append_field(out, "y", c.y);
    append_field(out, "w", c.w);
    append_field(out, "h", c.h);
    switch (c.kind) {
      case ControlKind::Check:
        append_field(out, "checked", c.checked);
        break;
      case ControlKind::Radio:
        append_field(out, "checked", c.checked);
        append_field(out, "gx", c.group_x);
        append_field(out, "gy", c.group_y);
        break;
      case ControlKind::List:
        append_field(out, "selected", c.selected);
        append_field(out, "top", c.top);
        append_field(out, "rows", c.rows);
        out += ",\"items\":[";
        for (std::size_t i = 0; i < c.items.size(); ++i) {
          if (i > 0) out += ',';
          append_string(out, c.items[i]);
        }
        out += ']';
        break;
      case ControlKind::Slider:
        append_field(out, "value", c.value);
        append_field(out, "min", c.min);
        append_field(out, "max", c.max);
        break;
      case ControlKind::Field:
        out += ",\"text\":";
        append_string(out, c.text);
        append_field(out, "editing", c.editing);
        append_field(out, "readonly", c.readonly);
        break;
      case ControlKind::Button:
        break;
    }
    out += '}';
  }
  out += "]}";
  return out;
}

namespace {

ControlSet& the_set() {
  static ControlSet set;
  return set;
}

std::uint64_t& version_sent() {
  static std::uint64_t v = 0;
  return v;
}

}  // namespace

ControlSet& offered_set() { return the_set(); }

void hand_on_offered() {
  const ControlSet& set = the_set();
  if (set.version() == version_sent()) return;
  version_sent() = set.version();
  backend::controls(set);
}

namespace {

void reset_set() {
  the_set() = ControlSet{};
  version_sent() = 0;
}
const rt::ResetHook reset_hook{reset_set};

}  // namespace

const ControlSet& offered() { return the_set(); }

void offer(Control c) {
  the_set().poll(std::move(c));
  hand_on_offered();
}

void offer_label(const Label& l) {
  the_set().label(l);
  hand_on_offered();
}

void offer_status(const std::string& text) {
  the_set().status(text);
  hand_on_offered();
}

void clear_offered() {
  the_set().clear();
  hand_on_offered();
}

}  // namespace surf
