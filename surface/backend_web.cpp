// The browser backend. The program runs on the page's only thread and draws into memory as on
// the desktop; ASYNCIFY lets TIME_SLEEP, the input polls and a finished frame hand control back
// to the browser, which then runs the input handlers below and shows the canvas. The changed
// rows reach the canvas at those points, and only there.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "surface/backend.hpp"
#include "surface/keys.hpp"
#include "surface/runtime.hpp"

// ---- The page's side -------------------------------------------------------------------------

// Sizes the canvas `#screen` to the surface and shows it at the largest whole CSS scale that fits
// the browser window (at least 1), pixels kept sharp. 0 when the page has no canvas that can be
// drawn on.
EM_JS(int, web_fit_canvas, (int width, int height), {
  const canvas = document.getElementById('screen');
  if (!canvas || !canvas.getContext('2d', {alpha: false})) return 0;
  if (width > 0 && height > 0) {
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
  }
  const report = document.getElementById('report');
  const below = report && !report.hidden ? report.offsetHeight : 0;
  const scale = Math.max(1, Math.floor(Math.min(window.innerWidth / canvas.width,
                                                (window.innerHeight - below) / canvas.height)));
  canvas.style.width = (canvas.width * scale) + 'px';
  canvas.style.height = (canvas.height * scale) + 'px';
  canvas.style.imageRendering = 'pixelated';
  return 1;
});

// Puts rows y0..y1 of the RGBA staging buffer at `pixels` (width x height) on the canvas.
EM_JS(void, web_put_rows, (const void* pixels, int width, int height, int y0, int y1), {
  const canvas = document.getElementById('screen');
  if (!canvas) return;
  let view = Module.webView;
  if (!view || view.buffer !== HEAPU8.buffer || view.pixels !== pixels || view.image.width !== width ||
      view.image.height !== height) {
    // A view onto the wasm memory, made again when the memory grows (its buffer is then new).
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    view = Module.webView = {buffer: HEAPU8.buffer, pixels: pixels, image: new ImageData(bytes, width, height),
                             context: canvas.getContext('2d', {alpha: false})};
  }
  if (!view.context) return;
  view.context.putImageData(view.image, 0, 0, 0, y0, width, y1 - y0 + 1);
  Module.webFrames = (Module.webFrames || 0) + 1;
  if (Module.webFirstFrame === undefined) Module.webFirstFrame = performance.now();
});

// The surface pixel under the client point (cx, cy): out[0], out[1]; returns whether it lies on
// the canvas. Whatever the CSS scale, one surface pixel is canvas.width / rect.width CSS pixels.
EM_JS(int, web_surface_point, (double cx, double cy, int* out), {
  const canvas = document.getElementById('screen');
  if (!canvas) return 0;
  const rect = canvas.getBoundingClientRect();
  if (!(rect.width > 0 && rect.height > 0)) return 0;
  const x = Math.floor((cx - rect.left) * canvas.width / rect.width);
  const y = Math.floor((cy - rect.top) * canvas.height / rect.height);
  HEAP32[out >> 2] = Math.max(-1000000, Math.min(1000000, x));
  HEAP32[(out >> 2) + 1] = Math.max(-1000000, Math.min(1000000, y));
  return x >= 0 && y >= 0 && x < canvas.width && y < canvas.height ? 1 : 0;
});

EM_JS(void, web_focus_canvas, (), {
  const canvas = document.getElementById('screen');
  if (canvas && document.activeElement !== canvas) canvas.focus({preventScroll: true});
});

EM_JS(void, web_set_title, (const char* utf8), { document.title = UTF8ToString(utf8); });

// Returns to the browser for one turn of its event loop (input, painting) and comes back at once:
// a message to ourselves, which, unlike a zero timeout, is not slowed down when repeated.
EM_ASYNC_JS(void, web_yield, (), {
  await new Promise(resolve => {
    const channel = Module.webChannel || (Module.webChannel = new MessageChannel());
    channel.port1.onmessage = () => resolve();
    channel.port2.postMessage(0);
  });
});

EM_ASYNC_JS(void, web_sleep, (double ms), { await new Promise(resolve => setTimeout(resolve, ms)); });

namespace {

// The longest the program runs without handing the browser a turn: about one display frame.
constexpr double kSliceMs = 15;
constexpr int kMaxStride = 4096;

struct Page {
  bool listening = false;
  int width = 0, height = 0;
  std::vector<std::uint32_t> staging;  // RGBA bytes as the canvas takes them
  double last_turn = 0;                // when the browser last had a turn
  double wheel_rest = 0;               // wheel travel short of a whole notch
  std::size_t presents = 0;
  bool recording = false;
  double polls = 0;  // input polls since the page opened
  int stride = 1;    // polls between two readings of the clock
  int until_clock = 1;
  double last_clock = 0;
};

Page& page() {
  static Page p;
  return p;
}

// 0xXXRRGGBB to the bytes R, G, B, 255 in memory order (a little-endian word 0xFFBBGGRR).
inline std::uint32_t to_rgba(std::uint32_t p) noexcept {
  return 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// Copies the changed rows of page 0 to the canvas unless a lock holds the picture.
void present() {
  Page& pg = page();
  surf::Core& c = surf::core();
  int y0 = -1, y1 = -1;
  {
    std::lock_guard lock(c.mutex);
    if (!c.open || c.lock_count != 0 || c.changed.empty()) return;
    const std::size_t w = static_cast<std::size_t>(c.width);
    pg.staging.resize(w * static_cast<std::size_t>(c.height));
    pg.width = c.width;
    pg.height = c.height;
    for (int y = 0; y < c.height; ++y) {
      if (c.changed[static_cast<std::size_t>(y)] == 0) continue;
      c.changed[static_cast<std::size_t>(y)] = 0;
      const std::uint32_t* src = &c.page[0][static_cast<std::size_t>(y) * w];
      std::uint32_t* dst = &pg.staging[static_cast<std::size_t>(y) * w];
      for (std::size_t x = 0; x < w; ++x) dst[x] = to_rgba(src[x]);
      if (y0 < 0) y0 = y;
      y1 = y;
    }
  }
  if (y0 < 0) return;
  web_put_rows(pg.staging.data(), pg.width, pg.height, y0, y1);
  if (pg.recording) ++pg.presents;
}

// Shows what has changed and gives the browser its turn.
void turn() {
  present();
  web_yield();
  Page& pg = page();
  pg.last_turn = pg.last_clock = emscripten_get_now();
}

int button_bit(unsigned short dom_button) {
  switch (dom_button) {
    case 0: return 1;  // left
    case 1: return 4;  // middle
    case 2: return 2;  // right
    default: return 0;
  }
}

void move_to(surf::Core& c, long cx, long cy) {
  int xy[2] = {-1, -1};
  const bool on = web_surface_point(static_cast<double>(cx), static_cast<double>(cy), xy) != 0;
  c.mouse.x = xy[0];
  c.mouse.y = xy[1];
  c.mouse.inside = on;
}

EM_BOOL on_mouse(int type, const EmscriptenMouseEvent* e, void*) {
  surf::Core& c = surf::core();
  std::lock_guard lock(c.mutex);
  switch (type) {
    case EMSCRIPTEN_EVENT_MOUSEDOWN:
      web_focus_canvas();
      if (!c.mouse.active) {  // a click into the page makes it the active window first
        c.mouse.active = true;
        c.mouse.buttons = 0;
      }
      move_to(c, e->clientX, e->clientY);
      if (c.mouse.inside) c.mouse.buttons |= button_bit(e->button);
      return EM_TRUE;
    case EMSCRIPTEN_EVENT_MOUSEUP:  // seen anywhere: the window keeps the pointer while held
      c.mouse.buttons &= ~button_bit(e->button);
      move_to(c, e->clientX, e->clientY);
      return EM_FALSE;
    case EMSCRIPTEN_EVENT_MOUSEMOVE:
      move_to(c, e->clientX, e->clientY);
      return EM_FALSE;
    case EMSCRIPTEN_EVENT_MOUSELEAVE:
      c.mouse.inside = false;
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
  if (notches != 0) {
    surf::Core& c = surf::core();
    std::lock_guard lock(c.mutex);
    if (c.mouse.inside) c.mouse.wheel += notches;
  }
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
    if (n >= 1 && n <= 10) return keys::extended(keys::scan_code(Special::F1) + (n - 1));
    if (n == 11) return keys::code_of(Special::F11);
    if (n == 12) return keys::code_of(Special::F12);
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
  const std::string_view key(e->key, strnlen(e->key, sizeof e->key));
  surf::Core& c = surf::core();
  const Integer named = named_key(key);
  if (named >= 0) {
    {
      std::lock_guard lock(c.mutex);
      c.keys.push(named);
    }
    // The function keys keep their meaning in the browser (reload, full screen, tools).
    return key.size() <= 3 && key[0] == 'F' ? EM_FALSE : EM_TRUE;
  }
  // A typed character is a key value of one code point. Control and Meta combinations type
  // nothing, except Ctrl+Alt, which is how some systems report AltGr.
  const bool command = (e->ctrlKey && !e->altKey) || e->metaKey;
  if (command || code_points(key) != 1) return EM_FALSE;
  const std::string cp437 = keys::utf8_to_cp437(key);
  if (cp437.empty()) return EM_TRUE;  // a character without a code page 437 form
  std::lock_guard lock(c.mutex);
  for (const char ch : cp437) c.keys.push(static_cast<unsigned char>(ch));
  return EM_TRUE;
}

EM_BOOL on_focus(int type, const EmscriptenFocusEvent*, void*) {
  surf::Core& c = surf::core();
  std::lock_guard lock(c.mutex);
  c.mouse.active = type == EMSCRIPTEN_EVENT_FOCUS;
  c.mouse.buttons = 0;
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
  emscripten_set_focus_callback(window, nullptr, EM_TRUE, on_focus);
  emscripten_set_blur_callback(window, nullptr, EM_TRUE, on_focus);
  emscripten_set_resize_callback(window, nullptr, EM_TRUE, on_resize);
}

}  // namespace

// Input polls so far (for benchmarks: in a run of the orbit program, one per step).
extern "C" EMSCRIPTEN_KEEPALIVE double web_poll_count() { return page().polls; }

namespace surf::backend {

bool open_window(Core& c) {
  int width = 0, height = 0;
  {
    std::lock_guard lock(c.mutex);
    width = c.width;
    height = c.height;
    c.mouse.active = true;  // a new window has the focus
  }
  if (web_fit_canvas(width, height) == 0) return false;
  listen();
  web_focus_canvas();
  page().last_turn = emscripten_get_now();
  return true;
}

void set_title(const std::string& utf8) { web_set_title(utf8.c_str()); }

double now_ms() { return emscripten_get_now(); }

void sleep_ms(double ms) {
  present();
  if (ms > 0) web_sleep(ms);
  else web_yield();
  Page& pg = page();
  pg.last_turn = pg.last_clock = emscripten_get_now();
}

void before_poll() {
  Page& pg = page();
  ++pg.polls;
  // Reading the clock is a call out to the page and costs as much as a step of the orbit
  // program, so it is read every `stride` polls, the stride chosen so that about a
  // millisecond passes between two readings.
  if (--pg.until_clock > 0) return;
  const double now = emscripten_get_now();
  const double since = now - pg.last_clock;
  pg.last_clock = now;
  if (since < 0.5 && pg.stride < kMaxStride) pg.stride *= 2;
  else if (since > 2 && pg.stride > 1) pg.stride /= 2;
  pg.until_clock = pg.stride;
  if (now - pg.last_turn >= kSliceMs) turn();
}

void update() {}

bool key_may_arrive() { return true; }

void presenter_record_start() {
  page().presents = 0;
  page().recording = true;
}
std::size_t presenter_record_count() { return page().presents; }
std::size_t presenter_record_shown() { return page().presents; }
std::vector<double> presenter_record_stop() {
  page().recording = false;
  return {};
}

}  // namespace surf::backend
