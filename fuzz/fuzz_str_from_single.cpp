// Number to text: every Single gives a short text in the "%.7g" form with a three-digit
// exponent, and a finite value reads back within half a unit of its seventh digit.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/values.hpp"
#include "surface/runtime.hpp"

namespace {

// The C library's "%.7g" with the exponent widened to three digits.
String reference(Single v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.7g", static_cast<Double>(v));
  String t = buf;
  const std::size_t e = t.find('e');
  if (e != String::npos && t.size() - (e + 2) < 3) t.insert(e + 2, 3 - (t.size() - (e + 2)), '0');
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::uint32_t bits;
  std::memcpy(&bits, data, 4);
  const Single v = std::bit_cast<Single>(bits);
  const String text = STR_FROM_SINGLE(v);

  fuzz::check(!text.empty() && text.size() <= 16);
  fuzz::check(text[0] != ' ' && text[0] != '+' && text.back() != '.');
  fuzz::check(text == reference(v));

  if (std::isfinite(v)) {
    const Double back = std::strtod(text.c_str(), nullptr);
    const Double wide = v;
    // Seven significant digits: off by at most half a unit in the seventh.
    fuzz::check(std::fabs(back - wide) <= 5.000001e-7 * std::fabs(wide));
    fuzz::check(STR_TO_DOUBLE(text) == back);
  }
  return 0;
}
