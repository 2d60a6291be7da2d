// The key queue, the tap latch and the input sink.
#include "surface/input.hpp"

#include "surface/keys.hpp"

namespace surf {

// ---- Key queue ------------------------------------------------------------------------------------

void KeyQueue::push(Integer code) noexcept {
  if (count == kCapacity) {
    // Drop the oldest key that is not a close request: the keys before it move up one place.
    int drop = 0;
    while (drop < count - 1 && ring[(head + drop) % kCapacity] == keys::kClose) ++drop;
    for (int i = drop; i > 0; --i) ring[(head + i) % kCapacity] = ring[(head + i - 1) % kCapacity];
    head = (head + 1) % kCapacity;
    --count;
  }
  ring[(head + count) % kCapacity] = code;
  ++count;
  hit = true;
}

bool KeyQueue::pop(Integer& code, bool keep_close) noexcept {
  if (count == 0) return false;
  code = ring[head];
  if (keep_close && code == keys::kClose) return true;
  head = (head + 1) % kCapacity;
  --count;
  return true;
}

int KeyQueue::closes() const noexcept {
  int n = 0;
  for (int i = 0; i < count; ++i) n += ring[(head + i) % kCapacity] == keys::kClose;
  return n;
}

// ---- Tap latch --------------------------------------------------------------------------------------

void TapLatch::press(int bit, double t) noexcept {
  const int i = button_index(bit);
  if (i >= 0) presses_[static_cast<std::size_t>(i)] = Press{t, false, false};
}

bool TapLatch::release(int bit, double t) noexcept {
  const int i = button_index(bit);
  if (i < 0) return true;
  Press& p = presses_[static_cast<std::size_t>(i)];
  if (p.pending) return false;
  if (t - p.at >= kTapMs) return true;
  p.pending = true;
  return false;
}

int TapLatch::due(double now) noexcept {
  int bits = 0;
  for (std::size_t i = 0; i < presses_.size(); ++i) {
    Press& p = presses_[i];
    if (p.pending && p.seen && now - p.at >= kTapMs) {
      p.pending = false;
      bits |= 1 << i;
    }
  }
  return bits;
}

int TapLatch::held_back() const noexcept {
  int bits = 0;
  for (std::size_t i = 0; i < presses_.size(); ++i)
    if (presses_[i].pending) bits |= 1 << i;
  return bits;
}

void TapLatch::seen(int buttons) noexcept {
  for (std::size_t i = 0; i < presses_.size(); ++i)
    if (buttons & (1 << i)) presses_[i].seen = true;
}

// ---- Input sink ---------------------------------------------------------------------------------------

void InputSink::move(int x, int y) {
  MutexLock lock(mutex_, MutexLock::Presenter);
  MouseState& m = input_.mouse;
  m.x = x;
  m.y = y;
  m.inside = x >= 0 && y >= 0 && x < surface_.width && y < surface_.height;
}

void InputSink::leave() {
  MutexLock lock(mutex_, MutexLock::Presenter);
  input_.mouse.inside = false;
}

void InputSink::button(double t, int bit, bool down) {
  if (button_index(bit) < 0) return;
  MutexLock lock(mutex_, MutexLock::Presenter);
  MouseState& m = input_.mouse;
  if (down) {
    m.buttons |= bit;
    m.released_away = false;
    input_.latch.press(bit, t);
  } else if ((m.buttons & bit) != 0) {
    // Where the release happened counts, even when the tap latch lets it take effect later.
    m.released_away = !m.inside || !m.active;
    if (input_.latch.release(bit, t)) m.buttons &= ~bit;
  }
}

void InputSink::held(double t, int mask) {
  int released = 0;
  {
    MutexLock lock(mutex_, MutexLock::Presenter);
    released = input_.mouse.buttons & ~mask;
  }
  for (const int bit : {1, 2, 4})
    if (released & bit) button(t, bit, false);
  if (released == 0) return;
  // Let go while the window could not see it.
  MutexLock lock(mutex_, MutexLock::Presenter);
  input_.mouse.released_away = true;
}

void InputSink::wheel(int notches) {
  MutexLock lock(mutex_, MutexLock::Presenter);
  input_.mouse.wheel += notches;
}

void InputSink::focus(bool active) {
  MutexLock lock(mutex_, MutexLock::Presenter);
  input_.mouse.active = active;
  if (input_.mouse.buttons != 0) input_.mouse.released_away = true;
  input_.mouse.buttons = 0;
  input_.latch.clear();
}

void InputSink::key(Integer code) {
  MutexLock lock(mutex_, MutexLock::Presenter);
  input_.keys.push(code);
}

void InputSink::close() { key(keys::kClose); }

}  // namespace surf
