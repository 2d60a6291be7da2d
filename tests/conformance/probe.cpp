// The probe reports edges, not samples: a line for each button that goes down or up, each move
// while a button is held, each change of the wheel count and each key. Polls happen at times no
// two backends share, so only what every poll sequence agrees on is reported: nothing about
// the pointer hovering, nothing while it is outside. The picture is drawn from the same state,
// in one locked frame per change, so that two backends that reported the same lines show the
// same picture.
#include "tests/conformance/probe.hpp"

#include <chrono>
#include <cstdio>
#include <deque>
#include <utility>

#include "surface/key_table.hpp"
#include "surface/keys.hpp"
#include "surface/surface.hpp"

namespace conformance {
namespace {

std::function<void(const std::string&)>& log_sink() {
  static std::function<void(const std::string&)> sink = [](const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  };
  return sink;
}

void log(const std::string& line) { log_sink()(line); }

// How many marks and keys the picture keeps (the oldest go first).
constexpr std::size_t kMaxMarks = 48, kMaxKeys = 56;

struct Seen {
  int x = -1, y = -1;  // last position inside
  int buttons = 0;     // as the last poll inside reported them
  int wheel = 0;
  std::deque<std::pair<int, int>> presses, drags;
  std::deque<Integer> keys;
};

template <class T>
void keep(std::deque<T>& list, T value, std::size_t max) {
  list.push_back(value);
  if (list.size() > max) list.pop_front();
}

// A key as the probe reports it: its name when it has one, a character when it types one
// (as UTF-8), otherwise its code in hexadecimal.
std::string key_text(const String& key) {
  const Integer code = surf::key_code(std::string_view(key));
  for (const surf::KeyEntry& e : surf::kKeyTable)
    if (e.code == code) return std::string(e.name);
  if ((code > 0x20 && code < 0x7F) || (code >= 0x80 && code < 0x100)) return keys::cp437_to_utf8(key);
  char hex[16];
  std::snprintf(hex, sizeof hex, "#%lx", static_cast<long>(code));
  return hex;
}

void box(int x0, int y0, int x1, int y1, Integer colour) {
  SCREEN_LINE(nullptr, static_cast<Single>(x0), static_cast<Single>(y0), static_cast<Single>(x1),
              static_cast<Single>(y1), colour, 2);
}

// The whole picture of what has been seen, as one frame. The frame and the three primaries
// show a shifted, scaled or channel-swapped window; the rest follows the input.
void draw(const Seen& s) {
  SCREEN_LOCK();
  box(0, 0, kWidth - 1, kHeight - 1, 0xFFFFFF);
  box(1, 1, kWidth - 2, kHeight - 2, 0x202020);
  box(10, 10, 29, 29, 0xFF0000);
  box(40, 10, 59, 29, 0x00FF00);
  box(70, 10, 89, 29, 0x0000FF);
  for (const auto& [x, y] : s.drags) box(x - 1, y - 1, x + 1, y + 1, 0x00FFFF);
  for (const auto& [x, y] : s.presses) box(x - 2, y - 2, x + 2, y + 2, 0xFFFF00);
  if (s.wheel != 0) {
    const int notches = s.wheel > 0 ? s.wheel : -s.wheel;
    box(10, 182, 10 + 8 * (notches < 30 ? notches : 30) - 1, 189, s.wheel > 0 ? 0x00C000 : 0xC000C0);
  }
  box(300, 180, 309, 189, s.buttons != 0 ? 0xFF0000 : 0x00FF00);
  for (std::size_t i = 0; i < s.keys.size(); ++i) {
    const int cx = 10 + 10 * static_cast<int>(i % 28), cy = 140 + 12 * static_cast<int>(i / 28);
    box(cx, cy, cx + 8, cy + 9, 0x400000 | (s.keys[i] & 0xFFFF));
  }
  SCREEN_UNLOCK(-1, -1);
}

// Takes one poll of the mouse into `s`; true when something was reported.
bool poll_mouse(Seen& s) {
  Integer x, y, wheel, buttons, clip;
  if (INPUT_MOUSE(x, y, wheel, buttons, clip) != 0) return false;
  bool changed = false;
  const int edges = (buttons ^ s.buttons) & 7;
  for (const int bit : {1, 2, 4}) {
    if ((edges & bit) == 0) continue;
    const bool down = (buttons & bit) != 0;
    log((down ? "down " : "up ") + std::to_string(bit) + " " + std::to_string(x) + " " + std::to_string(y));
    if (down) keep(s.presses, {x, y}, kMaxMarks);
    changed = true;
  }
  if (edges == 0 && buttons != 0 && (x != s.x || y != s.y)) {
    log("drag " + std::to_string(x) + " " + std::to_string(y));
    keep(s.drags, {x, y}, kMaxMarks);
    changed = true;
  }
  if (wheel != s.wheel) {
    log("wheel " + std::to_string(wheel));
    changed = true;
  }
  s.x = x;
  s.y = y;
  s.buttons = buttons;
  s.wheel = wheel;
  return changed;
}

}  // namespace

void set_log(std::function<void(const std::string&)> sink) { log_sink() = std::move(sink); }

int probe() {
  if (const Integer opened = SCREEN_OPEN(kWidth, kHeight, 32, 1, 0, 0); opened != 0) return 10 + opened;
  SCREEN_SET_TITLE("Conformance probe \x84");  // the last character is "ä" in code page 437
  Seen seen;
  draw(seen);
  log("open " + std::to_string(kWidth) + " " + std::to_string(kHeight));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    bool changed = poll_mouse(seen);
    for (String key = INPUT_KEY(); !key.empty(); key = INPUT_KEY()) {
      if (IS_CLOSE_KEY(key)) {
        log("close");
        return 0;
      }
      log("key " + key_text(key));
      keep(seen.keys, surf::key_code(std::string_view(key)), kMaxKeys);
      changed = true;
    }
    if (changed) draw(seen);
    TIME_SLEEP(10);
  }
  return 2;
}

}  // namespace conformance
