// The program's one pseudo-random generator: MT19937 with a fixed linear-congruential fill.
#include <random>
#include <sstream>

#include "surface/reset.hpp"
#include "surface/runtime.hpp"

namespace {

// MT19937 whose 624 state words are s[0] = 0, s[i] = s[i-1] * 1664525 + 1013904223 (mod 2^32).
// The engine's textual state is the 624 words followed by its position; position 624 makes the
// first draw twist the whole block, exactly as a freshly seeded engine does.
std::mt19937 make_generator() {
  std::ostringstream state;
  std::uint_fast32_t s = 0;
  for (int i = 0; i < 624; ++i) {
    state << s << ' ';
    s = (s * 1664525u + 1013904223u) & 0xFFFFFFFFu;
  }
  state << 624;
  std::mt19937 gen;
  std::istringstream in(state.str());
  in >> gen;
  return gen;
}

struct RandomState {
  std::mt19937 gen = make_generator();
  Double previous = 0.0;
};

void reset_random();

// Made on the first draw, which also puts the generator on the reset list: a new session
// starts the sequence again.
RandomState& random_state() {
  static RandomState state = [] {
    rt::on_reset(reset_random);
    return RandomState{};
  }();
  return state;
}

void reset_random() { random_state() = RandomState{}; }

}  // namespace

Double MATH_RANDOM(Single n) {
  const ErrorContext ctx{"surface", "MATH_RANDOM"};
  RandomState& st = random_state();
  if (n != 0.0f) st.previous = static_cast<Double>(st.gen()) / 4294967296.0;  // output / 2^32
  return st.previous;
}
