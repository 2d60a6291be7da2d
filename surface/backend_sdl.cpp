// The windowed backend. A window thread of its own owns every window-system call: it
// creates the window, shows the changed rows of page 0 and turns the window system's
// events into the surface's input. The program's thread only draws and reads the input.
//
// On a high-density desktop the window shows each surface pixel as a k x k block; the
// program and its surface never see k.
#include <SDL.h>
#include <SDL_syswm.h>  // the X display behind the window: its error hooks and resources
#include <X11/Xresource.h>
#include <dlfcn.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdarg>
#include <csignal>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "surface/backend.hpp"
#include "surface/backend_shared.hpp"
#include "surface/keys.hpp"
#include "surface/runtime.hpp"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kFrame = std::chrono::duration_cast<Clock::duration>(
    std::chrono::duration<double, std::milli>(surf::backend::kPresenterIntervalMs));

double steady_ms() {
  return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

// ---- The end of the program when the window system fails --------------------------------

// Xlib answers a broken connection (and, by default, a refused request) with its own message
// and exit() on the thread that noticed, the window thread: the static destructors would then
// run while the program's thread still uses what they destroy. Both end the program with the
// report instead, at once, "in" the procedure the program's thread is running.
int on_lost_display(Display*) {
  // Xlib reports a connection it could not allocate for the same way as a broken one.
  rt::abort_with_report(errno == ENOMEM ? ERR_OUT_OF_MEMORY : ERR_ILLEGAL_FUNCTION_CALL, 0);
}

int on_refused_request(Display*, XErrorEvent*) { rt::abort_with_report(ERR_ILLEGAL_FUNCTION_CALL, 0); }

void hook_window_system_errors() {
  XSetIOErrorHandler(on_lost_display);
  XSetErrorHandler(on_refused_request);
}

// libwayland's client library prints its complaints (no server, no runtime directory) to stderr,
// where only our report belongs. Its log has one handler for the whole library: set here, before
// the window system loads the same library, it keeps them quiet. Left loaded, as the window
// system leaves it.
void quiet_wayland_log() {
  void* lib = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_GLOBAL);
  if (lib == nullptr) return;
  using Handler = void (*)(const char*, va_list);
  if (auto set = reinterpret_cast<void (*)(Handler)>(dlsym(lib, "wl_log_set_handler_client")))
    set([](const char*, va_list) {});
}

// Without a Wayland display, the window system's Wayland probe would complain; the X driver
// alone is tried then. SDL_VIDEODRIVER still wins, so a Wayland driver it names is kept quiet.
void choose_video_driver() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool no_display = wayland == nullptr || wayland[0] == '\0';
  if (no_display) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  const char* named = std::getenv("SDL_VIDEODRIVER");
  if (!no_display || (named != nullptr && std::strstr(named, "wayland") != nullptr)) quiet_wayland_log();
}

// Why the window could not be made. Out of memory when the window system says so, or when an
// allocation beneath it left ENOMEM; anything else (no display, a refused connection) is an
// illegal call. Libraries that fail an allocation without saying so (Xlib's display
// connection gives up as on a missing server) cannot be told apart and also count as illegal.
Integer failure_cause() {
  const char* said = SDL_GetError();
  if (errno == ENOMEM || (said != nullptr && std::strstr(said, "Out of memory") != nullptr)) return ERR_OUT_OF_MEMORY;
  return ERR_ILLEGAL_FUNCTION_CALL;
}

// ---- Scale ----------------------------------------------------------------------------------

// The desktop's integer scale for windows: `gdk_scale` when it holds an integer >= 1 (a huge
// one reads as INT_MAX), otherwise 2 when `xft_dpi` is a number >= 192, otherwise 1. Either
// text may be null.
int desktop_scale(const char* gdk_scale, const char* xft_dpi) {
  if (gdk_scale != nullptr) {
    const char* end = gdk_scale + std::strlen(gdk_scale);
    int k = 0;
    const auto [ptr, ec] = std::from_chars(gdk_scale, end, k);
    if (ptr == end && ptr != gdk_scale) {
      if (ec == std::errc::result_out_of_range && gdk_scale[0] != '-') return INT_MAX;
      if (ec == std::errc() && k >= 1) return k;
    }
  }
  if (xft_dpi != nullptr) {
    const char* end = xft_dpi + std::strlen(xft_dpi);
    double dpi = 0;
    const auto [ptr, ec] = std::from_chars(xft_dpi, end, dpi);
    if (ec == std::errc() && ptr != xft_dpi && dpi >= 192) return 2;
  }
  return 1;
}

// The X resource Xft.dpi of the window's display, or nothing.
std::optional<std::string> xft_dpi_of(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
  const char* resources = XResourceManagerString(info.info.x11.display);
  if (resources == nullptr) return std::nullopt;
  XrmInitialize();
  const XrmDatabase db = XrmGetStringDatabase(resources);
  if (db == nullptr) return std::nullopt;
  std::optional<std::string> dpi;
  char* type = nullptr;
  XrmValue value{};
  if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr)
    dpi = std::string(value.addr, strnlen(value.addr, value.size));
  XrmDestroyDatabase(db);
  return dpi;
}

// x / k rounded toward minus infinity: a pointer left of or above the window stays outside.
int floor_div(int x, int k) { return x >= 0 ? x / k : -((-x + k - 1) / k); }

// ---- State shared between the threads ------------------------------------------------------

// What the window thread shares with the program's thread (besides Core).
struct Shared {
  std::thread thread;
  std::atomic<bool> stop{false};

  std::mutex m;  // guards everything below
  std::condition_variable cv;
  int started = -1;  // -1 while starting, 1 window made, 0 failed
  Integer failure = 0;  // why it failed: the error number SCREEN_OPEN reports
  std::string title;
  bool title_dirty = false;
  std::optional<std::string> gdk_scale;  // GDK_SCALE when the surface was last opened
  bool scale_dirty = false;
  std::optional<surf::Rect> text_field;  // where a line editor takes text, while one does
  bool text_field_dirty = false;

  ~Shared() { shut_down(); }

  void shut_down() {
    stop.store(true);
    if (!thread.joinable()) return;
    // exit() called on the window thread itself (by none of ours) must not join that thread.
    if (thread.get_id() == std::this_thread::get_id()) thread.detach();
    else thread.join();
  }
};

Shared& shared() {
  static Shared s;
  return s;
}

// A key without a character, or -1.
Integer special_key(const SDL_Keysym& k) {
  using keys::Special;
  switch (k.sym) {
    case SDLK_BACKSPACE: return keys::kBackspace;
    case SDLK_TAB: return keys::kTab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return keys::kEnter;
    case SDLK_ESCAPE: return keys::kEscape;
    default: break;
  }
  switch (k.scancode) {
    case SDL_SCANCODE_LEFT: return keys::code_of(Special::Left);
    case SDL_SCANCODE_RIGHT: return keys::code_of(Special::Right);
    case SDL_SCANCODE_UP: return keys::code_of(Special::Up);
    case SDL_SCANCODE_DOWN: return keys::code_of(Special::Down);
    case SDL_SCANCODE_HOME: return keys::code_of(Special::Home);
    case SDL_SCANCODE_END: return keys::code_of(Special::End);
    case SDL_SCANCODE_DELETE: return keys::code_of(Special::Delete);
    case SDL_SCANCODE_INSERT: return keys::code_of(Special::Insert);
    case SDL_SCANCODE_PAGEUP: return keys::code_of(Special::PageUp);
    case SDL_SCANCODE_PAGEDOWN: return keys::code_of(Special::PageDown);
    default: break;
  }
  if (k.scancode >= SDL_SCANCODE_F1 && k.scancode <= SDL_SCANCODE_F12)  // consecutive scan codes
    return surf::backend::function_key(k.scancode - SDL_SCANCODE_F1 + 1);
  // Without NumLock the keypad is a second set of cursor keys; with it, digits arrive as text.
  if ((k.mod & KMOD_NUM) == 0) {
    switch (k.scancode) {
      case SDL_SCANCODE_KP_4: return keys::code_of(Special::Left);
      case SDL_SCANCODE_KP_6: return keys::code_of(Special::Right);
      case SDL_SCANCODE_KP_8: return keys::code_of(Special::Up);
      case SDL_SCANCODE_KP_2: return keys::code_of(Special::Down);
      case SDL_SCANCODE_KP_7: return keys::code_of(Special::Home);
      case SDL_SCANCODE_KP_1: return keys::code_of(Special::End);
      case SDL_SCANCODE_KP_PERIOD: return keys::code_of(Special::Delete);
      case SDL_SCANCODE_KP_0: return keys::code_of(Special::Insert);
      case SDL_SCANCODE_KP_9: return keys::code_of(Special::PageUp);
      case SDL_SCANCODE_KP_3: return keys::code_of(Special::PageDown);
      default: break;
    }
  }
  return -1;
}

int button_bit(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 4;
    default: return 0;
  }
}

int bits_of_mask(Uint32 mask) {
  return ((mask & SDL_BUTTON_LMASK) ? 1 : 0) | ((mask & SDL_BUTTON_RMASK) ? 2 : 0) |
         ((mask & SDL_BUTTON_MMASK) ? 4 : 0);
}

// The window and what it shows.
class Window {
 public:
  bool create(surf::FrameSource& frames, const std::string& title, const std::optional<std::string>& gdk_scale) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // Ctrl+C must still end the program
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The window holds the pointer while a button is down, so a release outside it still
    // arrives (and the toolkit cancels that click instead of waiting for it).
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    // The window system's own pixel buffer: a GL-backed one would load and start a GL driver
    // (a software one on machines without a GPU), which more than doubles the time to the first
    // frame and costs CPU on every frame shown.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    choose_video_driver();
    // Xlib reads its locale tables on first use, which is setting the title: with few file
    // descriptors left once the window system holds its connections, that read fails and the
    // window stays untitled. Read now, they are kept.
    XSupportsLocale();
    // Before the connection opens, so that losing it at any moment ends the program our way;
    // again after, in case the window system put its own hooks in.
    hook_window_system_errors();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    sdl_ = true;
    hook_window_system_errors();
    // The window system falls back to drivers that show nothing; that is no window.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)
      return false;
    const surf::Frame size = frames.size();
    width_ = size.width;
    height_ = size.height;
    // Both buffers at their full size now: running out of memory here happens while the
    // program's thread still waits in the call that opens the window.
    staging_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    // Hidden until it has the size that the desktop's scale asks for, which needs the display.
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width_, height_,
                               SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) return false;
    xft_dpi_ = xft_dpi_of(window_);
    wanted_ = desktop_scale(gdk_scale ? gdk_scale->c_str() : nullptr, xft_dpi_ ? xft_dpi_->c_str() : nullptr);
    if (!fit()) return false;
    SDL_ShowWindow(window_);
    SDL_StartTextInput();
    return true;
  }

  ~Window() {
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    if (sdl_) SDL_Quit();
  }

  void set_title(const std::string& title) { SDL_SetWindowTitle(window_, title.c_str()); }

  // Tells an input method where the line editor's field lies (in window pixels), so that its
  // candidate window or on-screen keyboard opens beside it. Text input itself stays on: a
  // hardware keyboard types as text events everywhere.
  void text_field(const std::optional<surf::Rect>& at) {
    if (!at) return;
    SDL_Rect r{at->x0 * scale_, at->y0 * scale_, (at->x1 - at->x0 + 1) * scale_, (at->y1 - at->y0 + 1) * scale_};
    SDL_SetTextInputRect(&r);
  }

  // Takes the desktop's scale again (GDK_SCALE as it was when the surface was opened).
  void rescale(const std::optional<std::string>& gdk_scale) {
    const int wanted = desktop_scale(gdk_scale ? gdk_scale->c_str() : nullptr, xft_dpi_ ? xft_dpi_->c_str() : nullptr);
    if (wanted == wanted_) return;
    wanted_ = wanted;
    fit();
  }

  // One pass of the presenter: take the changed pixels, then show them outside the lock.
  void present(surf::FrameSource& frames) {
    const surf::Frame frame = frames.take(staging_, &spans_);
    if (frame.open && (frame.width != width_ || frame.height != height_)) {
      width_ = frame.width;
      height_ = frame.height;
      if (!fit()) return;
    }
    if (surface_ == nullptr) return;
    // A new window buffer starts black: the whole picture goes in again from the staging copy.
    if (redraw_ && staging_.size() >= static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {
      spans_.clear();
      for (int y = 0; y < height_; ++y) spans_.push_back(surf::RowSpan{y, 0, width_ - 1});
      redraw_ = false;
    }
    show(spans_);
    if (dirty_) {
      SDL_UpdateWindowSurface(window_);
      dirty_ = false;
    }
    frames.shown(frame);
  }

  // Delivers every pending event of the window system.
  void pump(surf::InputSink& input) {
    SDL_Event e;
    bool closed = false;
    while (SDL_PollEvent(&e) != 0) {
      const double t = steady_ms();
      switch (e.type) {
        case SDL_MOUSEMOTION:
          input.move(floor_div(e.motion.x, scale_), floor_div(e.motion.y, scale_));
          break;
        case SDL_MOUSEBUTTONDOWN:
          input.move(floor_div(e.button.x, scale_), floor_div(e.button.y, scale_));
          input.button(t, button_bit(e.button.button), true);
          break;
        case SDL_MOUSEBUTTONUP:
          input.button(t, button_bit(e.button.button), false);
          break;
        case SDL_MOUSEWHEEL:
          input.wheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y);
          break;
        case SDL_KEYDOWN: {
          const Integer code = special_key(e.key.keysym);
          if (code >= 0) input.key(t, code);
          break;
        }
        case SDL_TEXTINPUT:
          surf::backend::type_text(input, t, e.text.text);
          break;
        case SDL_QUIT:  // also follows a window close; one close request is enough
          if (!closed) input.close();
          closed = true;
          break;
        case SDL_WINDOWEVENT:
          switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE:
              if (!closed) input.close();
              closed = true;
              break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
              input.focus(true);
              break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
              input.focus(false);
              break;
            case SDL_WINDOWEVENT_ENTER:
              // The X server's view of the buttons catches a release that happened while the
              // pointer was elsewhere.
              input.held(t, bits_of_mask(SDL_GetGlobalMouseState(nullptr, nullptr)));
              break;
            case SDL_WINDOWEVENT_LEAVE:
              input.leave();
              break;
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SHOWN:
              dirty_ = true;
              break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
              // Someone else resized the window: its old buffer is gone.
              attach_surface();
              break;
            default:
              break;
          }
          break;
        default:
          break;
      }
    }
  }

 private:
  // Gives the window the surface's size times the desktop's scale, as far as the desktop holds
  // it (a scale that does not fit falls back to the largest that does, at least 1).
  bool fit() {
    int k = wanted_;
    SDL_Rect desk;
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (display >= 0 && SDL_GetDisplayBounds(display, &desk) == 0 && width_ > 0 && height_ > 0)
      k = std::min({k, desk.w / width_, desk.h / height_});
    else k = 1;
    scale_ = std::max(k, 1);
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (w != width_ * scale_ || h != height_ * scale_) {
      SDL_SetWindowSize(window_, width_ * scale_, height_ * scale_);
      SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    return attach_surface();
  }

  // The window's own pixel buffer (owned by the window; changes when the window's size does).
  // Pixels are 0xXXRRGGBB, whose top byte has no effect: the format RGB888.
  bool attach_surface() {
    surface_ = SDL_GetWindowSurface(window_);
    if (surface_ == nullptr) return false;
    const SDL_Rect all{0, 0, surface_->w, surface_->h};
    SDL_FillRect(surface_, &all, 0);
    dirty_ = true;
    redraw_ = true;
    return true;
  }

  // Copies the runs of the staging picture into the window's buffer, each pixel as a scale x
  // scale block, and sends them on unless the whole window goes anyway: one rectangle per band
  // of kBand rows, which spares the window system a request per row.
  void show(const std::vector<surf::RowSpan>& spans) {
    constexpr int kBand = 16;
    const int k = scale_;
    // The window system may have refused a size change: never write past its buffer.
    const int right = std::min(width_, surface_->w / k) - 1;
    const int bottom = surface_->h / k - 1;
    rects_.clear();
    int band = -1, top = 0, last = 0, left = 0, end = 0;  // the band being gathered
    const auto flush = [&] {
      if (band >= 0) rects_.push_back(SDL_Rect{left * k, top * k, (end - left + 1) * k, (last - top + 1) * k});
    };
    for (const surf::RowSpan& r : spans) {
      const int x0 = std::max(r.x0, 0), x1 = std::min(r.x1, right);
      if (r.y < 0 || r.y > bottom || x0 > x1) continue;
      copy_run(r.y, x0, x1);
      if (r.y / kBand != band) {
        flush();
        band = r.y / kBand, top = r.y, left = x0, end = x1;
      }
      last = r.y, left = std::min(left, x0), end = std::max(end, x1);
    }
    flush();
    if (!dirty_ && !rects_.empty()) SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(rects_.size()));
  }

  // Copies pixels x0..x1 of staging row y, all inside the window's buffer, into that buffer.
  void copy_run(int y, int x0, int x1) {
    const int k = scale_;
    const int cols = x1 - x0 + 1;
    const int bpp = surface_->format->BytesPerPixel;
    const Uint32 format = surface_->format->format;
    const std::uint32_t* src = &staging_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x0)];
    auto* dst = static_cast<std::uint8_t*>(surface_->pixels) + static_cast<std::size_t>(y) * static_cast<std::size_t>(k) * surface_->pitch +
                static_cast<std::size_t>(x0) * static_cast<std::size_t>(k) * static_cast<std::size_t>(bpp);
    if (k == 1) {
      SDL_ConvertPixels(cols, 1, SDL_PIXELFORMAT_RGB888, src, cols * 4, format, dst, surface_->pitch);
      return;
    }
    // Window row y·k + i (i < k) is surface row y, window column x·k + j is surface column x.
    const auto row_px = static_cast<std::size_t>(cols) * static_cast<std::size_t>(k);
    const std::size_t row_bytes = row_px * static_cast<std::size_t>(bpp);
    const bool direct = format == SDL_PIXELFORMAT_RGB888;
    if (!direct) wide_.resize(row_px);
    std::uint32_t* out = direct ? reinterpret_cast<std::uint32_t*>(dst) : wide_.data();
    for (int x = 0; x < cols; ++x) out = std::fill_n(out, k, src[x]);
    if (!direct) SDL_ConvertPixels(static_cast<int>(row_px), 1, SDL_PIXELFORMAT_RGB888, wide_.data(),
                                   static_cast<int>(row_px * 4), format, dst, surface_->pitch);
    for (int i = 1; i < k; ++i) std::memcpy(dst + static_cast<std::size_t>(i) * surface_->pitch, dst, row_bytes);
  }

  bool sdl_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  int width_ = 0, height_ = 0;  // the surface's size
  int wanted_ = 1;              // the desktop's scale
  int scale_ = 1;               // the scale shown: wanted_ as far as the desktop holds it
  std::optional<std::string> xft_dpi_;
  std::vector<std::uint32_t> staging_;  // private copy of the picture being shown
  std::vector<std::uint32_t> wide_;     // one scaled row, for a window buffer of another format
  std::vector<surf::RowSpan> spans_;    // what the last pass changed
  std::vector<SDL_Rect> rects_;         // what goes on to the window system
  bool dirty_ = true;                   // the whole window buffer must be sent
  bool redraw_ = true;                  // the whole picture must be copied into the buffer
};

void run_window(Shared& s, surf::InputSink& input, surf::FrameSource& frames) {
  Window w;
  std::string title;
  std::optional<std::string> gdk_scale;
  {
    std::lock_guard lock(s.m);
    title = s.title;
    s.title_dirty = false;
    gdk_scale = s.gdk_scale;
    s.scale_dirty = false;
  }
  errno = 0;
  SDL_ClearError();
  const bool ok = w.create(frames, title, gdk_scale);
  const Integer failure = ok ? 0 : failure_cause();
  {
    std::lock_guard lock(s.m);
    s.started = ok ? 1 : 0;
    s.failure = failure;
  }
  s.cv.notify_all();
  if (!ok) return;

  auto next = Clock::now();
  while (!s.stop.load()) {
    {
      std::unique_lock lock(s.m);
      const bool new_title = s.title_dirty, new_scale = s.scale_dirty, new_field = s.text_field_dirty;
      if (new_title) title = s.title;
      if (new_scale) gdk_scale = s.gdk_scale;
      const std::optional<surf::Rect> field = s.text_field;
      s.title_dirty = s.scale_dirty = s.text_field_dirty = false;
      lock.unlock();
      if (new_title) w.set_title(title);
      if (new_scale) w.rescale(gdk_scale);
      if (new_field) w.text_field(field);
    }
    w.present(frames);
    w.pump(input);
    // A steady rhythm; after a stall start afresh instead of catching up.
    next += kFrame;
    const auto now = Clock::now();
    if (next < now) next = now + kFrame;
    std::this_thread::sleep_until(next);
  }
}

void window_thread(surf::InputSink input, surf::FrameSource frames) {
  // A write to a display that has gone must fail with EPIPE and reach the lost-display report,
  // not kill the program with SIGPIPE first. Only this thread talks to the window system; the
  // program's thread keeps the default action.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  try {
    run_window(shared(), input, frames);
  } catch (const std::bad_alloc&) {
    // The program's thread cannot catch what this thread throws: report it here, in the
    // procedure the program is running (while the window is made, the one that opens it).
    rt::abort_with_report(ERR_OUT_OF_MEMORY, 0);
  }
}

}  // namespace

namespace surf::backend {

Integer open_window(InputSink input, FrameSource frames) {
  Shared& s = shared();
  // The desktop's scale is taken again with every surface opened.
  const char* gdk_scale = std::getenv("GDK_SCALE");
  {
    std::lock_guard lock(s.m);
    s.gdk_scale = gdk_scale ? std::optional<std::string>(gdk_scale) : std::nullopt;
    s.scale_dirty = true;
    if (s.started == 1) return 0;  // the running window thread picks up the new size
  }
  {
    std::lock_guard lock(s.m);
    s.started = -1;
  }
  s.stop.store(false);
  try {
    s.thread = std::thread(window_thread, input, frames);
  } catch (const std::system_error&) {
    // No thread for the window: the system's thread limit and no room for its stack look the
    // same (EAGAIN), so this cannot be called out of memory.
    return ERR_ILLEGAL_FUNCTION_CALL;
  }
  Integer failure = 0;
  {
    std::unique_lock lock(s.m);
    s.cv.wait(lock, [&] { return s.started != -1; });
    failure = s.started == 1 ? 0 : s.failure;
  }
  // A thread that made no window has ended or is about to: none is left behind.
  if (failure != 0) s.thread.join();
  return failure;
}

void set_title(const std::string& utf8) {
  Shared& s = shared();
  std::lock_guard lock(s.m);
  s.title = utf8;
  s.title_dirty = true;
}

void start_text_input(const Rect& at) {
  Shared& s = shared();
  std::lock_guard lock(s.m);
  s.text_field = at;
  s.text_field_dirty = true;
}

void controls(const ControlSet&) {}

void stop_text_input() {
  Shared& s = shared();
  std::lock_guard lock(s.m);
  s.text_field.reset();
  s.text_field_dirty = true;
}

double now_ms() { return steady_ms(); }

void sleep_ms(double ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

void before_poll() {}

void update() {}

bool key_may_arrive() {
  Shared& s = shared();
  std::lock_guard lock(s.m);
  return s.started == 1;
}

void await_frame(FrameSource frames, std::uint64_t frame, double until_ms) {
  // The window thread takes the frame on its next pass.
  const auto until = Clock::time_point(
      std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(until_ms)));
  wait_for_frame(frames, frame, until_ms, steady_ms, [&](double) { frames.wait_taken(frame, until); });
}

}  // namespace surf::backend
