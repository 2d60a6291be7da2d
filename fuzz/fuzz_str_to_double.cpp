// Text to number: no input may crash, and decimal text must read exactly as the C library
// reads it (correct rounding), with "d" as an exponent letter. The reader of typed numbers
// gives what this one gives with commas as points, and calls only finite values numbers.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/values.hpp"
#include "surface/runtime.hpp"

namespace {

bool same(Double a, Double b) {
  return std::isnan(a) ? std::isnan(b) : std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The reference for text that holds no "&" or hexadecimal prefix: the C library's reading of
// the text with every D/d turned into E/e.
bool reference(const String& s, Double& out) {
  if (s.find_first_of("xXpP&") != String::npos || s.find('\0') != String::npos) return false;
  String t = s;
  for (char& c : t) {
    if (c == 'd') c = 'e';
    if (c == 'D') c = 'E';
  }
  out = std::strtod(t.c_str(), nullptr);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const String s(reinterpret_cast<const char*>(data), size);
  const Double value = STR_TO_DOUBLE(s);

  Double expected = 0;
  if (reference(s, expected)) fuzz::check(same(value, expected));

  // Leading blanks are skipped; a comma after the text cannot extend any number.
  fuzz::check(same(STR_TO_DOUBLE("  " + s), value));
  fuzz::check(same(STR_TO_DOUBLE(s + ","), value));

  String points = s;
  for (char& c : points)
    if (c == ',') c = '.';
  Double typed = -1;
  const bool whole = STR_READ_DECIMAL(s, typed);
  fuzz::check(same(typed, STR_TO_DOUBLE(points)) && (!whole || std::isfinite(typed)));
  fuzz::check(STR_FROM_FIXED(typed, static_cast<Integer>(size) - 4, ",").size() <= 1 + 309 + 1 + 20);
  // "&H" digits are read modulo 2^64 as a signed value.
  if (size >= 2 && size <= 18 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h') &&
      s.find_first_not_of("0123456789abcdefABCDEF", 2) == String::npos) {
    const std::uint64_t bits = size == 2 ? 0 : std::strtoull(s.c_str() + 2, nullptr, 16);
    fuzz::check(value == static_cast<Double>(static_cast<std::int64_t>(bits)));
  }
  return 0;
}
