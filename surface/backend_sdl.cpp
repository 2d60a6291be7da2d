// The windowed backend. A window thread of its own owns every window-system call: it
// creates the window, shows the changed rows of page 0 and turns the window system's
// events into the surface's input. The program's thread only draws and reads the input.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "surface/backend.hpp"
#include "surface/keys.hpp"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kFrame = std::chrono::duration_cast<Clock::duration>(
    std::chrono::duration<double, std::milli>(surf::backend::kPresenterIntervalMs));

double steady_ms() {
  return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

// What the window thread shares with the program's thread (besides Core).
struct Shared {
  std::thread thread;
  std::atomic<bool> stop{false};

  std::mutex m;  // guards everything below
  std::condition_variable cv;
  int started = -1;  // -1 while starting, 1 window made, 0 failed
  std::string title;
  bool title_dirty = false;

  ~Shared() { shut_down(); }

  void shut_down() {
    stop.store(true);
    if (!thread.joinable()) return;
    // The window system may end the process from the window thread itself (lost display).
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
    case SDL_SCANCODE_F11: return keys::code_of(Special::F11);
    case SDL_SCANCODE_F12: return keys::code_of(Special::F12);
    default: break;
  }
  if (k.scancode >= SDL_SCANCODE_F1 && k.scancode <= SDL_SCANCODE_F10)
    return keys::extended(keys::scan_code(Special::F1) + (k.scancode - SDL_SCANCODE_F1));
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
  bool create(surf::FrameSource& frames, const std::string& title) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // Ctrl+C must still end the program
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The window system's own pixel buffer: a GL-backed one would load and start a GL driver
    // (a software one on machines without a GPU), which more than doubles the time to the first
    // frame and costs CPU on every frame shown.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    sdl_ = true;
    // The window system falls back to drivers that show nothing; that is no window.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)
      return false;
    const surf::Frame size = frames.size();
    width_ = size.width;
    height_ = size.height;
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width_, height_,
                               SDL_WINDOW_SHOWN);
    if (window_ == nullptr) return false;
    if (!attach_surface()) return false;
    SDL_StartTextInput();
    return true;
  }

  ~Window() {
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    if (sdl_) SDL_Quit();
  }

  void set_title(const std::string& title) { SDL_SetWindowTitle(window_, title.c_str()); }

  // One pass of the presenter: take the changed rows, then show them outside the lock.
  void present(surf::FrameSource& frames) {
    const surf::Frame frame = frames.take(staging_);
    if (frame.open && (frame.width != width_ || frame.height != height_)) {
      width_ = frame.width;
      height_ = frame.height;
      SDL_SetWindowSize(window_, width_, height_);
      if (!attach_surface()) return;
    }
    if (surface_ == nullptr) return;
    // The window system may have refused a size change: never write past its buffer.
    const int shown_w = std::min(width_, surface_->w);
    const int y0 = frame.y0, y1 = std::min(frame.y1, surface_->h - 1);
    if (y0 <= y1) {
      // Only the band of changed rows travels to the window system.
      const std::size_t offset = static_cast<std::size_t>(y0) * static_cast<std::size_t>(width_);
      auto* dst = static_cast<std::uint8_t*>(surface_->pixels) + static_cast<std::size_t>(y0) * surface_->pitch;
      SDL_ConvertPixels(shown_w, y1 - y0 + 1, SDL_PIXELFORMAT_RGB888, &staging_[offset], width_ * 4,
                        surface_->format->format, dst, surface_->pitch);
      if (!dirty_) {
        const SDL_Rect band{0, y0, shown_w, y1 - y0 + 1};
        SDL_UpdateWindowSurfaceRects(window_, &band, 1);
      }
    }
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
          input.move(e.motion.x, e.motion.y);
          break;
        case SDL_MOUSEBUTTONDOWN:
          input.move(e.button.x, e.button.y);
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
          if (code >= 0) input.key(code);
          break;
        }
        case SDL_TEXTINPUT:
          for (const char ch : keys::utf8_to_cp437(e.text.text)) input.key(static_cast<unsigned char>(ch));
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
  // The window's own pixel buffer (owned by the window; changes when the window's size does).
  // Pixels are 0xXXRRGGBB, whose top byte has no effect: the format RGB888.
  bool attach_surface() {
    surface_ = SDL_GetWindowSurface(window_);
    if (surface_ == nullptr) return false;
    const SDL_Rect all{0, 0, surface_->w, surface_->h};
    SDL_FillRect(surface_, &all, 0);
    dirty_ = true;
    return true;
  }

  bool sdl_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  int width_ = 0, height_ = 0;
  std::vector<std::uint32_t> staging_;  // private copy of the rows being shown
  bool dirty_ = true;
};

void window_thread(surf::InputSink input, surf::FrameSource frames) {
  Shared& s = shared();
  Window w;
  std::string title;
  {
    std::lock_guard lock(s.m);
    title = s.title;
    s.title_dirty = false;
  }
  const bool ok = w.create(frames, title);
  {
    std::lock_guard lock(s.m);
    s.started = ok ? 1 : 0;
  }
  s.cv.notify_all();
  if (!ok) return;

  auto next = Clock::now();
  while (!s.stop.load()) {
    {
      std::unique_lock lock(s.m);
      if (s.title_dirty) {
        title = s.title;
        s.title_dirty = false;
        lock.unlock();
        w.set_title(title);
      }
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

}  // namespace

namespace surf::backend {

bool open_window(InputSink input, FrameSource frames) {
  Shared& s = shared();
  {
    std::lock_guard lock(s.m);
    if (s.started == 1) return true;  // the running window thread picks up the new size
  }
  if (s.thread.joinable()) s.thread.join();  // an earlier attempt that failed
  {
    std::lock_guard lock(s.m);
    s.started = -1;
  }
  s.stop.store(false);
  s.thread = std::thread(window_thread, input, frames);
  std::unique_lock lock(s.m);
  s.cv.wait(lock, [&] { return s.started != -1; });
  return s.started == 1;
}

void set_title(const std::string& utf8) {
  Shared& s = shared();
  std::lock_guard lock(s.m);
  s.title = utf8;
  s.title_dirty = true;
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

}  // namespace surf::backend
