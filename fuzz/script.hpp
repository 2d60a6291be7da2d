#pragma once
// Random scripted input for the headless backend: keys, clicks, moves, wheel turns and window
// activation at increasing virtual times, always ending with the pointer inside the window and
// every button up, so that loops waiting for a release come to an end.
#include "fuzz/values.hpp"
#include "surface/headless.hpp"

namespace fuzz {

// A key code: a named key (the widgets' keys and the close request among them), a character,
// or any code the window could send.
inline Integer key_code(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return surf::kKeyTable[in.ConsumeIntegralInRange<std::size_t>(0, surf::kKeyTable.size() - 1)].code;
    case 1:
      return surf::extended_key_code(in.ConsumeIntegralInRange<int>(0, 255));
    default:
      return in.ConsumeIntegralInRange<Integer>(0, 255);
  }
}

// Schedules up to `max_events` random events from `t` on, aimed mostly at the rectangle
// (x, y)-(x+w, y+h) on a surface of width x height; returns the time after the last one.
inline double script(FuzzedDataProvider& in, double t, int max_events, Integer x, Integer y, Integer w, Integer h,
                     Integer width, Integer height) {
  auto near = [&](Integer from, Integer size, Integer limit) {
    if (in.ConsumeBool()) return in.ConsumeIntegralInRange<Integer>(-2, limit + 2);
    const long long lo = static_cast<long long>(from) - 2, hi = static_cast<long long>(from) + size + 2;
    const long long v = lo < hi ? in.ConsumeIntegralInRange<long long>(lo, hi) : lo;
    return static_cast<Integer>(v < -4 ? -4 : v > limit + 4 ? limit + 4 : v);
  };
  const int n = in.ConsumeIntegralInRange<int>(0, max_events);
  for (int i = 0; i < n && in.remaining_bytes() > 0; ++i) {
    t += in.ConsumeIntegralInRange<int>(0, 30) + (in.ConsumeBool() ? 0.005 : 0.0);
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
      case 0: case 1: case 2: case 3:
        headless::key(t, key_code(in));
        break;
      case 4: case 5:
        headless::click(t, near(x, w, width), near(y, h, height), in.ConsumeIntegralInRange<int>(0, 60));
        break;
      case 6:
        headless::move(t, near(x, w, width), near(y, h, height));
        break;
      case 7:
        headless::wheel(t, in.ConsumeIntegralInRange<int>(-3, 3));
        break;
      case 8:
        if (in.ConsumeBool())
          headless::press(t, 1 << in.ConsumeIntegralInRange<int>(0, 2));
        else
          headless::release(t, 1 << in.ConsumeIntegralInRange<int>(0, 2));
        break;
      case 9:
        if (in.ConsumeBool())
          headless::activate(t, in.ConsumeBool());
        else
          headless::leave(t);
        break;
    }
  }
  // Back in an active window with every button up.
  t += 1;
  headless::activate(t, true);
  headless::move(t, 0, 0);
  headless::release(t, 7);
  return t;
}

}  // namespace fuzz
