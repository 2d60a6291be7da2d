#pragma once
// Fuzzer bytes turned into the awkward arguments the library has to survive: NaN, infinities,
// huge and tiny magnitudes, negative sizes, extreme integers, next to ordinary pixel values.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <iterator>
#include <limits>

#include "surface/headless.hpp"
#include "surface/surface.hpp"
#include "surface/types.hpp"

namespace fuzz {

// Picks one entry of a fixed table.
template <class T, std::size_t N>
T pick(FuzzedDataProvider& in, const T (&table)[N]) {
  return table[in.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

// A Single coordinate: mostly near a small surface, often an edge value, sometimes any bit pattern.
inline Single coord(FuzzedDataProvider& in) {
  constexpr Single kEdges[] = {
      std::numeric_limits<Single>::quiet_NaN(), std::numeric_limits<Single>::infinity(),
      -std::numeric_limits<Single>::infinity(), std::numeric_limits<Single>::max(),
      -std::numeric_limits<Single>::max(),      std::numeric_limits<Single>::denorm_min(),
      -0.0f,  0.5f,  -0.5f,  1.5f,  2.5f,  1e10f, -1e10f, 2147483648.0f, -2147483904.0f,
      16777216.0f, 4294967296.0f, 1e20f, -1e20f, 32767.5f, -32768.5f};
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
      return pick(in, kEdges);
    case 1:
      return std::bit_cast<Single>(in.ConsumeIntegral<std::uint32_t>());
    case 2:
      return in.ConsumeFloatingPointInRange<Single>(-1e6f, 1e6f);
    default:
      return static_cast<Single>(in.ConsumeIntegralInRange<int>(-40, 200)) + (in.ConsumeBool() ? 0.5f : 0.0f);
  }
}

// An Integer: mostly small, often an edge of the type or of the surface's conventions.
inline Integer integer(FuzzedDataProvider& in, Integer lo = -40, Integer hi = 200) {
  constexpr Integer kEdges[] = {std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(),
                                std::numeric_limits<Integer>::min() + 1, std::numeric_limits<Integer>::max() - 1,
                                -32768, 32767, 65535, -65536, -1, 0, 1, 1 << 24, -(1 << 24)};
  switch (in.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      return pick(in, kEdges);
    case 1:
      return in.ConsumeIntegral<Integer>();
    default:
      return in.ConsumeIntegralInRange<Integer>(lo, hi);
  }
}

// A colour: a few fixed ones (so regions form), or any 32-bit value.
inline Integer colour(FuzzedDataProvider& in) {
  constexpr Integer kPalette[] = {0x000000, 0xFFFFFF, 0xEEEEEE, 0xFF0000, 0x00FF00, static_cast<Integer>(0xFF000000u),
                                  static_cast<Integer>(0xFFFFFFFFu)};
  return in.ConsumeBool() ? pick(in, kPalette) : in.ConsumeIntegral<Integer>();
}

// A primitive's flags: the two default-colour bits over an absolute-coordinate low part.
inline Integer flags(FuzzedDataProvider& in) {
  Integer f = in.ConsumeBool() ? 4 : 0;
  if (in.ConsumeBool()) f |= static_cast<Integer>(0x80000000u);
  if (in.ConsumeBool()) f |= 0x40000000;
  if (in.ConsumeIntegralInRange<int>(0, 15) == 0) f = in.ConsumeIntegral<Integer>();
  return f;
}

// Stops the run with a crash report that libFuzzer records with its input.
[[noreturn]] inline void fail() { __builtin_trap(); }
inline void check(bool ok) {
  if (!ok) fail();
}

// The start of a run on a drawing surface: everything of the last run forgotten, then a surface
// of 1..64 x 1..48 pixels with min_pages..max_pages pages opened, all as the bytes say. Its size.
struct Size {
  Integer w, h;
};
inline Size open_surface(FuzzedDataProvider& in, Integer min_pages, Integer max_pages) {
  headless::reset();
  const Integer w = in.ConsumeIntegralInRange<Integer>(1, 64);
  const Integer h = in.ConsumeIntegralInRange<Integer>(1, 48);
  check(SCREEN_OPEN(w, h, 32, in.ConsumeIntegralInRange<Integer>(min_pages, max_pages), 4, 0) == 0);
  return {w, h};
}

}  // namespace fuzz
