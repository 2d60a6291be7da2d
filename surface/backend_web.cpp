// The browser backend. The program runs on the page's only thread and draws into memory as on
// the desktop; ASYNCIFY lets TIME_SLEEP, the input polls and the start of a new frame under the
// lock hand control back to the browser, which then runs the input handlers below and, on each
// display frame, puts the changed rows on the canvas. What runs in the page itself is in
// backend_web.js.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "surface/backend.hpp"
#include "surface/backend_shared.hpp"
#include "surface/keys.hpp"
#include "surface/runtime.hpp"

// ---- The page's side (backend_web.js) -------------------------------------------------------

extern "C" {
// Sizes the canvas to width x height (0, 0: keeps its size) and fits it to the browser window;
// 0 when the page has no canvas that can be drawn on.
int web_fit_canvas(int width, int height);
// Puts `count` rectangles (x, y, width, height each) of the RGBA picture at `pixels` (width x
// height) on the canvas, as one frame shown.
void web_put_rects(const void* pixels, int width, int height, const int* rects, int count);
// The surface pixel under client point (cx, cy) into out[0], out[1]; whether it lies on the canvas.
int web_surface_point(double cx, double cy, int* out);
// Whether the page's document has the keyboard focus (the browser window and, in a frame, the frame).
int web_page_focused();
// Gives the canvas the keyboard focus.
void web_focus_canvas();
// From now on a press on the canvas holds the pointer until its buttons come up, and fingers
// and pens on the canvas go to web_touch.
void web_hold_pointer();
// Gives the off-screen text field the focus over surface rectangle (x, y, w, h) when `wanted`,
// otherwise the canvas.
void web_text_input(int x, int y, int w, int h, int wanted);
// From now on what is typed into the off-screen text field goes to web_typed.
void web_listen_typing();
// Mirrors the controls the program offers, `json` as controls_json writes it (surface/controls.hpp),
// as the page's own controls over the canvas.
void web_controls(const char* json);
// Whether the page offers controls of its own that the keyboard can reach.
int web_controls_offered();
// Sets the page's title.
void web_set_title(const char* utf8);
// Starts the presenter: web_present on every display frame from now on.
void web_start_presenter();
// Gives the browser one turn of its event loop and comes back at once.
void web_yield();
// Returns to the browser for `ms` milliseconds.
void web_sleep(double ms);
// Returns to the browser until its next display frame, or `ms` milliseconds at most.
void web_next_frame(double ms);
}

namespace {

// The longest the program runs without handing the browser a turn: about one display frame.
constexpr double kSliceMs = 15;
constexpr int kMaxStride = 4096;

// The page's side of the surface; one per program.
struct Page {
  std::optional<surf::InputSink> input;  // the surface's faces, from the window's opening on
  std::optional<surf::FrameSource> frames;
  bool listening = false;
  bool active = false;                 // what the sink was last told of the page's focus
  std::vector<std::uint32_t> staging;  // the picture as the frame source hands it over
  std::vector<std::uint32_t> rgba;     // what the canvas shows (bytes R, G, B, 255)
  std::vector<surf::RowSpan> spans;    // the runs of `staging` the last pass changed
  std::vector<std::uint8_t> dirty;     // per tile of the canvas: differs from what it shows
  std::vector<int> rects;              // the rectangles that go to the canvas, 4 ints each
  double last_turn = 0;                // when the browser last had a turn
  double wheel_rest = 0;               // wheel travel short of a whole notch
  double polls = 0;                    // input polls since the page opened
  int stride = 1;                      // polls between two readings of the clock
  int until_clock = 1;
  double clock = 0;                    // the clock's last reading
};

Page& page() {
  static Page p;
  return p;
}

// 0xXXRRGGBB to the bytes R, G, B, 255 in memory order (a little-endian word 0xFFBBGGRR).
inline std::uint32_t to_rgba(std::uint32_t p) noexcept {
  return 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// The side of the square tiles in which the canvas is compared with the picture: small enough
// that a moving disc uploads little more than itself, large enough that a frame redrawn whole
// goes in a few calls.
constexpr int kTile = 32;

// The tiles of a `width` x `height` picture marked in `dirty` (tiles_x per row) as rectangles in
// `rects`: each row of tiles in runs, a run that continues one of the row above with the same
// columns merged into it.
void dirty_rects(const std::vector<std::uint8_t>& dirty, int width, int height, std::vector<int>& rects) {
  rects.clear();
  const int tiles_x = (width + kTile - 1) / kTile, tiles_y = (height + kTile - 1) / kTile;
  std::size_t row_start = 0;  // the first rectangle begun in the row above
  for (int ty = 0; ty < tiles_y; ++ty) {
    const std::size_t this_row = rects.size();
    const int y = ty * kTile, h = std::min(kTile, height - y);
    for (int tx = 0; tx < tiles_x;) {
      if (dirty[static_cast<std::size_t>(ty * tiles_x + tx)] == 0) {
        ++tx;
        continue;
      }
      const int first = tx;
      while (tx < tiles_x && dirty[static_cast<std::size_t>(ty * tiles_x + tx)] != 0) ++tx;
      const int x = first * kTile, w = std::min(tx * kTile, width) - x;
      bool merged = false;
      for (std::size_t r = row_start; r < this_row && !merged; r += 4) {
        if (rects[r] == x && rects[r + 2] == w && rects[r + 1] + rects[r + 3] == y) {
          rects[r + 3] += h;
          merged = true;
        }
      }
      if (!merged) rects.insert(rects.end(), {x, y, w, h});
    }
    // Only rectangles that reached this row may grow into the next.
    std::size_t keep = rects.size();
    for (std::size_t r = row_start; r < this_row; r += 4)
      if (rects[r + 1] + rects[r + 3] == y + h) keep = std::min(keep, r);
    row_start = keep;
  }
}

// Shows what changed on page 0 (nothing while an explicit lock holds the picture); the
// presenter's pass. The program may redraw its whole picture every frame: only the tiles where
// the new picture differs from the one shown go to the canvas, the costly part on a slow device.
void present() {
  Page& pg = page();
  if (!pg.frames) return;
  const surf::Frame f = pg.frames->take(pg.staging, &pg.spans);
  if (!f.has_rows()) return;
  const std::size_t w = static_cast<std::size_t>(f.width);
  // A new picture size: every pixel differs from a zero (transparent) one.
  if (pg.rgba.size() != pg.staging.size()) pg.rgba.assign(pg.staging.size(), 0);
  const std::size_t tiles_x = (w + kTile - 1) / kTile;
  pg.dirty.assign(tiles_x * static_cast<std::size_t>((f.height + kTile - 1) / kTile), 0);
  bool any = false;
  for (const surf::RowSpan& span : pg.spans) {
    const std::size_t row = static_cast<std::size_t>(span.y) * w;
    std::uint8_t* tiles = &pg.dirty[static_cast<std::size_t>(span.y / kTile) * tiles_x];
    for (int x = span.x0; x <= span.x1; ++x) {
      const std::uint32_t v = to_rgba(pg.staging[row + static_cast<std::size_t>(x)]);
      std::uint32_t& shown = pg.rgba[row + static_cast<std::size_t>(x)];
      if (shown == v) continue;
      shown = v;
      tiles[x / kTile] = 1;
      any = true;
    }
  }
  if (any) {
    dirty_rects(pg.dirty, f.width, f.height, pg.rects);
    web_put_rects(pg.rgba.data(), f.width, f.height, pg.rects.data(), static_cast<int>(pg.rects.size() / 4));
  }
  pg.frames->shown(f);
}

// Gives the browser its turn.
void turn() {
  web_yield();
  Page& pg = page();
  pg.last_turn = pg.clock = emscripten_get_now();
}

int button_bit(unsigned short dom_button) {
  switch (dom_button) {
    case 0: return 1;  // left
    case 1: return 4;  // middle
    case 2: return 2;  // right
    default: return 0;
  }
}

// The pointer at client point (cx, cy) of the page, in surface pixels.
void move_to(surf::InputSink& input, double cx, double cy) {
  int xy[2] = {-1, -1};
  web_surface_point(cx, cy, xy);
  input.move(xy[0], xy[1]);
}

void set_active(bool active) {
  Page& pg = page();
  pg.active = active;
  pg.input->focus(active);
}

EM_BOOL on_mouse(int type, const EmscriptenMouseEvent* e, void*) {
  Page& pg = page();
  if (!pg.input) return EM_FALSE;
  surf::InputSink& input = *pg.input;
  const int bit = button_bit(e->button);
  switch (type) {
    case EMSCRIPTEN_EVENT_MOUSEDOWN:  // on the canvas only: a press elsewhere does not reach it
      web_focus_canvas();
      if (!pg.active) set_active(true);  // a click into the page activates it first
      move_to(input, e->clientX, e->clientY);
      if (bit != 0) input.button(emscripten_get_now(), bit, true);
      return EM_TRUE;
    case EMSCRIPTEN_EVENT_MOUSEUP:  // anywhere: the window keeps the pointer while a button is held
      move_to(input, e->clientX, e->clientY);
      if (bit != 0) input.button(emscripten_get_now(), bit, false);
      return EM_FALSE;
    case EMSCRIPTEN_EVENT_MOUSEMOVE:
      move_to(input, e->clientX, e->clientY);
      return EM_FALSE;
    case EMSCRIPTEN_EVENT_MOUSELEAVE:
      input.leave();
      return EM_FALSE;
    default:
      return EM_FALSE;
  }
}

EM_BOOL on_wheel(int, const EmscriptenWheelEvent* e, void*) {
  Page& pg = page();
  // One notch is 100 pixels (Chromium's and Firefox's step for a mouse wheel), 3 lines or one page;
  // touchpads send fractions of it, which add up. Up (negative delta) counts +1.
  double per_notch = 100;
  if (e->deltaMode == DOM_DELTA_LINE) per_notch = 3;
  if (e->deltaMode == DOM_DELTA_PAGE) per_notch = 1;
  pg.wheel_rest -= e->deltaY / per_notch;
  if (!(pg.wheel_rest > -1e6 && pg.wheel_rest < 1e6)) pg.wheel_rest = 0;  // NaN or absurd travel
  const int notches = static_cast<int>(pg.wheel_rest);  // toward zero: the rest keeps its sign
  pg.wheel_rest -= notches;
  if (notches != 0 && pg.input) pg.input->wheel(notches);
  return EM_TRUE;  // the page itself must not scroll
}

// The key code of a named key without a character, or -1.
Integer named_key(std::string_view key) {
  using keys::Special;
  struct Name {
    std::string_view name;
    Integer code;
  };
  static const Name kNames[] = {
      {"Backspace", keys::kBackspace},
      {"Tab", keys::kTab},
      {"Enter", keys::kEnter},
      {"Escape", keys::kEscape},
      {"ArrowLeft", keys::code_of(Special::Left)},
      {"ArrowRight", keys::code_of(Special::Right)},
      {"ArrowUp", keys::code_of(Special::Up)},
      {"ArrowDown", keys::code_of(Special::Down)},
      {"Home", keys::code_of(Special::Home)},
      {"End", keys::code_of(Special::End)},
      {"Delete", keys::code_of(Special::Delete)},
      {"Insert", keys::code_of(Special::Insert)},
      {"PageUp", keys::code_of(Special::PageUp)},
      {"PageDown", keys::code_of(Special::PageDown)},
  };
  for (const Name& n : kNames)
    if (n.name == key) return n.code;
  // F1..F12
  if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F') {
    int n = 0;
    for (std::size_t i = 1; i < key.size(); ++i) {
      if (key[i] < '0' || key[i] > '9') return -1;
      n = n * 10 + (key[i] - '0');
    }
    return surf::backend::function_key(n);
  }
  return -1;
}

// Number of code points in UTF-8 text (continuation bytes are not counted).
std::size_t code_points(std::string_view utf8) {
  std::size_t n = 0;
  for (const char ch : utf8)
    if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
  return n;
}

EM_BOOL on_key(int, const EmscriptenKeyboardEvent* e, void*) {
  Page& pg = page();
  if (!pg.input) return EM_FALSE;
  surf::InputSink& input = *pg.input;
  const std::string_view key(e->key, strnlen(e->key, sizeof e->key));
  const Integer named = named_key(key);
  if (named >= 0) {
    input.key(emscripten_get_now(), named);
    // Tab also moves the focus on to the page's own controls where it offers any, so that the
    // keyboard is not held in the canvas; without them it is only the program's key.
    if (named == keys::kTab && web_controls_offered()) return EM_FALSE;
    // The function keys keep their meaning in the browser (reload, full screen, tools).
    return key.size() <= 3 && key[0] == 'F' ? EM_FALSE : EM_TRUE;
  }
  // A typed character is a key value of one code point. Control and Meta combinations type
  // nothing, except Ctrl+Alt, which is how some systems report AltGr.
  const bool command = (e->ctrlKey && !e->altKey) || e->metaKey;
  if (command || code_points(key) != 1) return EM_FALSE;
  surf::backend::type_text(input, emscripten_get_now(), key);
  return EM_TRUE;
}

EM_BOOL on_focus(int type, const EmscriptenFocusEvent*, void*) {
  // The capturing listener also hears the focus move between the page's own elements (the
  // canvas, the text field, the controls over the canvas); the page stays active meanwhile, and
  // a tap on its way keeps its button (and its latch: a focus the page gives itself, as to the
  // text field at a finger's release, changes nothing while the page is active).
  if (type == EMSCRIPTEN_EVENT_BLUR && web_page_focused()) return EM_FALSE;
  const bool active = type == EMSCRIPTEN_EVENT_FOCUS;
  if (page().input && active != page().active) set_active(active);
  return EM_FALSE;
}

EM_BOOL on_resize(int, const EmscriptenUiEvent*, void*) {
  web_fit_canvas(0, 0);
  return EM_FALSE;
}

void listen() {
  Page& pg = page();
  if (pg.listening) return;
  pg.listening = true;
  const char* canvas = "#screen";
  const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_mousedown_callback(canvas, nullptr, EM_TRUE, on_mouse);
  emscripten_set_mouseup_callback(window, nullptr, EM_TRUE, on_mouse);
  emscripten_set_mousemove_callback(window, nullptr, EM_TRUE, on_mouse);
  emscripten_set_mouseleave_callback(canvas, nullptr, EM_TRUE, on_mouse);
  emscripten_set_wheel_callback(canvas, nullptr, EM_TRUE, on_wheel);
  emscripten_set_keydown_callback(canvas, nullptr, EM_TRUE, on_key);
  emscripten_set_keydown_callback("#typing", nullptr, EM_TRUE, on_key);
  web_listen_typing();
  emscripten_set_focus_callback(window, nullptr, EM_TRUE, on_focus);
  emscripten_set_blur_callback(window, nullptr, EM_TRUE, on_focus);
  emscripten_set_resize_callback(window, nullptr, EM_TRUE, on_resize);
  web_hold_pointer();
}

}  // namespace

// The program's own main function: the page build renames it (main=web_program_main), so that
// the one below runs it. It takes its command line (the page address's start values) or
// nothing; the linker leaves the form it lacks null.
[[gnu::weak]] int web_program_main();
[[gnu::weak]] int web_program_main(int argc, char** argv);

// An exception that nobody catches ends the program with the report, as on the desktop:
// running out of memory is error 4, anything else an abnormal termination (14). The code it
// passed on its way here has no cleanups (see cmake/web-toolchain.cmake), so the report still
// names the procedure it was thrown in.
int main(int argc, char** argv) {
  try {
    int (*const plain)() = web_program_main;
    return plain != nullptr ? plain() : web_program_main(argc, argv);
  } catch (const std::bad_alloc&) {
    rt::abort_with_report(ERR_OUT_OF_MEMORY, 0);
  } catch (const std::length_error&) {
    rt::abort_with_report(ERR_OUT_OF_MEMORY, 0);
  } catch (...) {
    rt::abort_with_report(14, 0);
  }
}

// A finger or pen at client point (cx, cy): `phase` 0 touches the canvas, 1 moves, 2 is lifted,
// 3 is taken away by the browser. It is the left button of the mouse, which, unlike a finger,
// stays where it was let go; a gesture the browser took cancels the press as a release away
// from the window does.
extern "C" EMSCRIPTEN_KEEPALIVE void web_touch(int phase, double cx, double cy) {
  Page& pg = page();
  if (!pg.input) return;
  surf::InputSink& input = *pg.input;
  switch (phase) {
    case 0:
      web_focus_canvas();
      if (!pg.active) set_active(true);
      move_to(input, cx, cy);
      input.button(emscripten_get_now(), 1, true);
      break;
    case 1:
      move_to(input, cx, cy);
      break;
    case 2:
      move_to(input, cx, cy);
      input.button(emscripten_get_now(), 1, false);
      break;
    case 3:
      input.leave();
      input.button(emscripten_get_now(), 1, false);
      break;
    default:
      break;
  }
}

// A character typed into the off-screen text field (a code point; 8 Backspace and 13 Enter):
// the keys the desktop build gets for it, nothing for one outside code page 437.
extern "C" EMSCRIPTEN_KEEPALIVE void web_typed(int code_point) {
  Page& pg = page();
  if (!pg.input) return;
  if (code_point == 8 || code_point == 13) {
    pg.input->key(emscripten_get_now(), code_point == 8 ? keys::kBackspace : keys::kEnter);
    return;
  }
  if (code_point < 32 || code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF)) return;
  const auto c = static_cast<unsigned>(code_point);
  char utf8[4];
  std::size_t n = 0;
  if (c < 0x80) {
    utf8[n++] = static_cast<char>(c);
  } else if (c < 0x800) {
    utf8[n++] = static_cast<char>(0xC0 | (c >> 6));
    utf8[n++] = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    utf8[n++] = static_cast<char>(0xE0 | (c >> 12));
    utf8[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8[n++] = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    utf8[n++] = static_cast<char>(0xF0 | (c >> 18));
    utf8[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    utf8[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8[n++] = static_cast<char>(0x80 | (c & 0x3F));
  }
  surf::backend::type_text(*pg.input, emscripten_get_now(), std::string_view(utf8, n));
}

// A tap at surface pixel (x, y) from the page's own controls: the left button pressed and let go
// there at once, which the tap latch stretches so that the program's loop sees it, as it does a
// tap on the canvas. The pointer stays there.
extern "C" EMSCRIPTEN_KEEPALIVE void web_tap(int x, int y) {
  Page& pg = page();
  if (!pg.input) return;
  if (!pg.active) set_active(true);
  pg.input->move(x, y);
  pg.input->button(emscripten_get_now(), 1, true);
  pg.input->button(emscripten_get_now(), 1, false);
}

// `notches` wheel notches with the pointer at surface pixel (x, y), from the page's own controls
// (a list scrolled by the arrow keys).
extern "C" EMSCRIPTEN_KEEPALIVE void web_wheel_at(int x, int y, int notches) {
  Page& pg = page();
  if (!pg.input) return;
  if (!pg.active) set_active(true);
  pg.input->move(x, y);
  pg.input->wheel(notches);
}

// The presenter's pass, called by the page on every display frame.
extern "C" EMSCRIPTEN_KEEPALIVE void web_present() { present(); }

// Input polls so far (for benchmarks: in a run of the orbit program, one per step).
extern "C" EMSCRIPTEN_KEEPALIVE double web_poll_count() { return page().polls; }

namespace surf::backend {

Integer open_window(InputSink input, FrameSource frames) {
  const Frame size = frames.size();
  if (web_fit_canvas(size.width, size.height) == 0) return ERR_ILLEGAL_FUNCTION_CALL;
  Page& pg = page();
  pg.input.emplace(input);
  pg.frames.emplace(frames);
  listen();
  web_start_presenter();
  web_focus_canvas();
  set_active(true);  // a new window has the focus
  pg.last_turn = pg.clock = emscripten_get_now();
  return 0;
}

void start_text_input(const Rect& at) { web_text_input(at.x0, at.y0, at.x1 - at.x0 + 1, at.y1 - at.y0 + 1, 1); }

void stop_text_input() { web_text_input(0, 0, 0, 0, 0); }

void controls(const ControlSet& set) { web_controls(controls_json(set).c_str()); }

void set_title(const std::string& utf8) { web_set_title(utf8.c_str()); }

double now_ms() {
  // Between polls the clock's last reading, which the polls keep within about a millisecond.
  return page().clock;
}

void sleep_ms(double ms) {
  if (ms > 0) web_sleep(ms);
  else web_yield();
  Page& pg = page();
  pg.last_turn = pg.clock = emscripten_get_now();
  pg.stride = pg.until_clock = 1;
}

void before_poll() {
  Page& pg = page();
  ++pg.polls;
  // Reading the clock is a call out to the page and costs as much as a step of the orbit
  // program, so it is read every `stride` polls, the stride chosen so that about a
  // millisecond passes between two readings.
  if (--pg.until_clock > 0) return;
  const double now = emscripten_get_now();
  const double since = now - pg.clock;
  pg.clock = now;
  if (since < 0.5 && pg.stride < kMaxStride) pg.stride *= 2;
  else if (since > 2 && pg.stride > 1) pg.stride /= 2;
  pg.until_clock = pg.stride;
  if (now - pg.last_turn >= kSliceMs) turn();
}

void update() { page().clock = emscripten_get_now(); }

bool key_may_arrive() { return true; }

void await_frame(FrameSource frames, std::uint64_t frame, double until_ms) {
  wait_for_frame(frames, frame, until_ms, emscripten_get_now, [&](double now) { web_next_frame(until_ms - now); });
  Page& pg = page();
  pg.last_turn = pg.clock = emscripten_get_now();
}

}  // namespace surf::backend
