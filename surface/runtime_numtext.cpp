// Conversions between numbers and their decimal text, independent of the C locale.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "surface/portable.hpp"
#include "surface/runtime.hpp"

String STR_FROM_SINGLE(Single value) {
  const ErrorContext ctx{"surface", "STR_FROM_SINGLE"};
  // "%.7g" of the widened value: to_chars(general, 7) is defined as that printf conversion in
  // the C locale. Longest output is "-1.234568e+308" (14 bytes) and for Single much shorter.
  char buf[64];
  const auto res = portable::to_chars_general(buf, buf + sizeof buf, static_cast<Double>(value), 7);
  String text(buf, res.ptr);
  // The exponent is written with at least three digits: e+07 -> e+007.
  const std::size_t e = text.find('e');
  if (e != String::npos && e + 2 <= text.size()) {
    const std::size_t digits = text.size() - (e + 2);  // after "e" and its sign
    if (digits < 3) text.insert(e + 2, 3 - digits, '0');
  }
  // "%g" without '#' never leaves a trailing '.', but the rule is part of the format.
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

namespace {

bool is_digit(unsigned char c) noexcept { return c >= '0' && c <= '9'; }

// The value of c as a digit of base `base`, or -1 when it is none.
int digit_value(unsigned char c, unsigned base) noexcept {
  unsigned v;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'z')
    v = c - 'a' + 10u;
  else if (c >= 'A' && c <= 'Z')
    v = c - 'A' + 10u;
  else
    return -1;
  return v < base ? static_cast<int>(v) : -1;
}

// "&H..", "&O..", "&B..", "&..": digits up to the first non-digit, accumulated modulo 2^64
// (v = v * base + d, wrapping), then reinterpreted as a two's-complement signed value.
Double read_prefixed_integer(const unsigned char* p, const unsigned char* end) noexcept {
  unsigned base = 8;
  switch (*p) {
    case 'H': case 'h': base = 16; ++p; break;
    case 'O': case 'o': base = 8; ++p; break;
    case 'B': case 'b': base = 2; ++p; break;
    default: break;  // octal from the byte after '&'
  }
  std::uint64_t v = 0;
  for (; p < end; ++p) {
    const int d = digit_value(*p, base);
    if (d < 0) break;
    v = v * base + static_cast<unsigned>(d);
  }
  return static_cast<Double>(static_cast<std::int64_t>(v));
}

bool equal_nocase(const unsigned char* p, const unsigned char* end, const char* word) noexcept {
  for (; *word != '\0'; ++p, ++word) {
    if (p >= end) return false;
    unsigned char c = *p;
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    if (c != static_cast<unsigned char>(*word)) return false;
  }
  return true;
}

bool is_white(unsigned char c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The longest prefix of [p, end) that is a decimal floating-point number, where 'D' and 'd'
// count as exponent letters; 0 when there is none.
Double read_decimal(const unsigned char* p, const unsigned char* end) {
  while (p < end && is_white(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  auto sign = [negative](Double v) { return negative ? -v : v; };

  if (equal_nocase(p, end, "inf")) return sign(std::numeric_limits<Double>::infinity());
  if (equal_nocase(p, end, "nan")) return sign(std::numeric_limits<Double>::quiet_NaN());

  const unsigned char* const mantissa = p;
  // Decimal order of the leading significant digit (before the exponent), used only to tell
  // overflow from underflow: "123.4" -> 2, "0.05" -> -2.
  long long order = 0;
  bool significant = false;
  std::size_t digits = 0;
  for (; p < end && is_digit(*p); ++p, ++digits) {
    if (significant)
      ++order;
    else if (*p != '0')
      significant = true;
  }
  if (p < end && *p == '.') {
    ++p;
    for (; p < end && is_digit(*p); ++p, ++digits) {
      if (significant) continue;
      --order;
      if (*p != '0') significant = true;
    }
  }
  if (digits == 0) return 0.0;  // "", ".", "-", "abc"
  const unsigned char* number_end = p;

  // An exponent counts only with at least one digit: "1e" and "1e+" read as 1.
  long long exponent = 0;
  bool has_exponent = false;
  if (p < end && (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D')) {
    const unsigned char* q = p + 1;
    bool exp_negative = false;
    if (q < end && (*q == '+' || *q == '-')) {
      exp_negative = *q == '-';
      ++q;
    }
    if (q < end && is_digit(*q)) {
      has_exponent = true;
      for (; q < end && is_digit(*q); ++q)
        if (exponent < 1'000'000'000) exponent = exponent * 10 + (*q - '0');  // saturates
      if (exp_negative) exponent = -exponent;
      number_end = q;
    }
  }

  const char* first = reinterpret_cast<const char*>(mantissa);
  const char* last = reinterpret_cast<const char*>(number_end);
  Double value = 0.0;
  std::from_chars_result res;
  if (has_exponent && (*p == 'd' || *p == 'D')) {
    // from_chars knows only 'e'/'E': copy the number with its exponent letter replaced.
    String copy(first, last);
    copy[static_cast<std::size_t>(p - mantissa)] = 'e';
    res = portable::from_chars_general(copy.data(), copy.data() + copy.size(), value);
  } else {
    res = portable::from_chars_general(first, last, value);
  }
  if (res.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value unchanged on a range error; the order tells which end it is.
    value = significant && order + exponent > 0 ? std::numeric_limits<Double>::infinity() : 0.0;
  } else if (res.ec != std::errc{}) {
    value = 0.0;
  }
  return sign(value);
}

}  // namespace

Double STR_TO_DOUBLE(const String& s) {
  const ErrorContext ctx{"surface", "STR_TO_DOUBLE"};
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* const end = p + s.size();
  while (p < end && *p == ' ') ++p;
  if (p == end) return 0.0;
  if (end - p >= 2) {
    if (p[0] == '&') return read_prefixed_integer(p + 1, end);
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return 0.0;
  }
  return read_decimal(p, end);
}

namespace {

constexpr Integer kMaxFixedDecimals = 20;

bool is_blank(unsigned char c) noexcept { return c == ' ' || c == '\t'; }

// Whether [p, end) is blanks, [+-]digits[.digits][(e|E)[+-]digits], blanks, with at least one
// digit before the exponent; commas are already points.
bool whole_decimal(const unsigned char* p, const unsigned char* end) noexcept {
  auto digits = [&] {
    const unsigned char* const from = p;
    while (p < end && is_digit(*p)) ++p;
    return p - from;
  };
  while (p < end && is_blank(*p)) ++p;
  if (p < end && (*p == '+' || *p == '-')) ++p;
  auto mantissa = digits();
  if (p < end && *p == '.') {
    ++p;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    if (p < end && (*p == '+' || *p == '-')) ++p;
    if (digits() == 0) return false;
  }
  while (p < end && is_blank(*p)) ++p;
  return p == end;
}

}  // namespace

Boolean STR_READ_DECIMAL(const String& text, Double& value) {
  const ErrorContext ctx{"surface", "STR_READ_DECIMAL"};
  String points = text;
  std::replace(points.begin(), points.end(), ',', '.');
  value = STR_TO_DOUBLE(points);
  const auto* p = reinterpret_cast<const unsigned char*>(points.data());
  return whole_decimal(p, p + points.size()) && std::isfinite(value);
}

String STR_FROM_FIXED(Double value, Integer decimals, const String& separator) {
  const ErrorContext ctx{"surface", "STR_FROM_FIXED"};
  const int places = static_cast<int>(std::clamp<Integer>(decimals, 0, kMaxFixedDecimals));
  // Longest: a sign, the 309 integer digits of the largest Double, the point and the decimals.
  char buf[1 + 309 + 1 + kMaxFixedDecimals + 1];
  const auto res = portable::to_chars_fixed(buf, buf + sizeof buf, value, places);
  String text(buf, res.ec == std::errc{} ? res.ptr : buf);
  if (places > 0 && std::isfinite(value)) {
    const std::size_t point = text.find('.');
    if (point != String::npos) text.replace(point, 1, separator);
  }
  return text;
}
