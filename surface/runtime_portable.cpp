// The floating-point text conversions of surface/portable.hpp.
#include "surface/portable.hpp"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#if !defined(__cpp_lib_to_chars)
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#endif

namespace portable {

#if defined(__cpp_lib_to_chars)

std::to_chars_result to_chars_general(char* first, char* last, double value, int precision) noexcept {
  return std::to_chars(first, last, value, std::chars_format::general, precision);
}

std::to_chars_result to_chars_fixed(char* first, char* last, double value, int precision) noexcept {
  return std::to_chars(first, last, value, std::chars_format::fixed, precision);
}

std::from_chars_result from_chars_general(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value, std::chars_format::general);
}

#else

// The C library's conversions are exact (correctly rounded in both directions) and the only
// locale this library knows is the C locale, so they give the same bits as the standard's.

namespace {

// snprintf's `format` ("%.*g" or "%.*f") of value into [first, last).
std::to_chars_result print(char* first, char* last, const char* format, double value, int precision) noexcept {
  const std::ptrdiff_t room = last - first;
  char buf[700];  // "%.300f" of the largest double (309 integer digits) fits
  if (precision < 0) precision = 6;
  if (precision > 300) precision = 300;
  const int n = std::snprintf(buf, sizeof buf, format, precision, value);
  if (n < 0 || n > room) return {last, std::errc::value_too_large};
  for (int i = 0; i < n; ++i) first[i] = buf[i];
  return {first + n, std::errc{}};
}

}  // namespace

std::to_chars_result to_chars_general(char* first, char* last, double value, int precision) noexcept {
  return print(first, last, "%.*g", value, precision);
}

std::to_chars_result to_chars_fixed(char* first, char* last, double value, int precision) noexcept {
  return print(first, last, "%.*f", value, precision);
}

std::from_chars_result from_chars_general(const char* first, const char* last, double& value) {
  // The longest prefix of the form -?digits[.digits][(e|E)[+-]digits] with at least one
  // mantissa digit; an exponent without digits is not part of it.
  const char* p = first;
  if (p < last && *p == '-') ++p;
  std::size_t digits = 0;
  for (; p < last && *p >= '0' && *p <= '9'; ++p) ++digits;
  if (p < last && *p == '.') {
    const char* q = p + 1;
    std::size_t fraction = 0;
    for (; q < last && *q >= '0' && *q <= '9'; ++q) ++fraction;
    if (digits + fraction > 0) p = q;
    digits += fraction;
  }
  if (digits == 0) return {first, std::errc::invalid_argument};
  if (p < last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q < last && (*q == '+' || *q == '-')) ++q;
    if (q < last && *q >= '0' && *q <= '9') {
      while (q < last && *q >= '0' && *q <= '9') ++q;
      p = q;
    }
  }
  const std::string text(first, p);
  errno = 0;
  const double v = std::strtod(text.c_str(), nullptr);
  // Out of range as the standard's conversion sees it: an infinite result, or zero from a
  // number that is not zero (strtod then reports ERANGE; subnormal results are in range).
  if (std::isinf(v) || (v == 0 && errno == ERANGE)) return {p, std::errc::result_out_of_range};
  value = v;
  return {p, std::errc{}};
}

#endif

#if defined(__EMSCRIPTEN__)
// One thread and no signals from the processor: nothing to set up, and no other thread that
// could be ending the process.
bool set_signal_stack(void*, std::size_t) noexcept { return false; }
void block_forever() noexcept { std::_Exit(255); }
#else
bool set_signal_stack(void* base, std::size_t size) noexcept {
  stack_t ss{};
  ss.ss_sp = base;
  ss.ss_size = size;
  ss.ss_flags = 0;
  return sigaltstack(&ss, nullptr) == 0;
}
void block_forever() noexcept {
  for (;;) pause();
}
#endif

}  // namespace portable
