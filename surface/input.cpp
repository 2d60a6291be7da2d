// The key queue and the tap latch.
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

void TapLatch::seen(int buttons) noexcept {
  for (std::size_t i = 0; i < presses_.size(); ++i)
    if (buttons & (1 << i)) presses_[i].seen = true;
}

}  // namespace surf
