#pragma once
// What every backend does the same way, whatever its window system: the key codes of the
// function keys, typed text as keys, and the wait for the presenter to take a frame. Knows no
// window system.
#include <cstdint>
#include <string_view>

#include "surface/input.hpp"
#include "surface/keys.hpp"
#include "surface/present.hpp"

namespace surf::backend {

// The key code of function key F`n` (1..12); -1 for any other n. F11 and F12 lie apart from the
// other ten in the scan codes.
constexpr Integer function_key(int n) noexcept {
  if (n >= 1 && n <= 10) return keys::extended(keys::scan_code(keys::Special::F1) + (n - 1));
  if (n == 11) return keys::code_of(keys::Special::F11);
  if (n == 12) return keys::code_of(keys::Special::F12);
  return -1;
}

// Delivers UTF-8 text typed at `t` as keys, one per character in code page 437; a character
// without a form there, and a malformed sequence, delivers nothing.
inline void type_text(InputSink& input, double t, std::string_view utf8) {
  for (const char ch : keys::utf8_to_cp437(utf8)) input.key(t, static_cast<unsigned char>(ch));
}

// The body of await_frame: until the presenter has taken frame `frame` or now() has reached
// until_ms, wait(t) lets time pass from t (at most until until_ms) while the presenter runs.
template <class Now, class Wait>
void wait_for_frame(const FrameSource& frames, std::uint64_t frame, double until_ms, Now now, Wait wait) {
  while (!frames.taken(frame)) {
    const double t = now();
    if (t >= until_ms) return;
    wait(t);
  }
}

}  // namespace surf::backend
