// Byte-string operations with 1-based positions. Every operation returns a new string.
#include "surface/runtime.hpp"

namespace {
// The string's length as a signed 64-bit count, so that sums with Integer arguments cannot wrap.
long long length_of(const String& s) noexcept { return static_cast<long long>(s.size()); }
}  // namespace

Integer STR_LEN(const String& s) {
  const ErrorContext ctx{"surface", "STR_LEN"};
  // Strings longer than the Integer range are not made by this system; clamp rather than wrap.
  return s.size() > 0x7FFFFFFFu ? Integer{0x7FFFFFFF} : static_cast<Integer>(s.size());
}

Integer STR_COMPARE(const String& a, const String& b) {
  const ErrorContext ctx{"surface", "STR_COMPARE"};
  // std::string::compare uses char_traits<char>, which compares as unsigned char.
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Integer STR_ASC(const String& s, Integer position) {
  const ErrorContext ctx{"surface", "STR_ASC"};
  if (position < 1 || position > length_of(s)) return 0;
  return static_cast<unsigned char>(s[static_cast<std::size_t>(position) - 1]);
}

String STR_LEFT(const String& s, Integer n) {
  const ErrorContext ctx{"surface", "STR_LEFT"};
  if (n <= 0) return {};
  return s.substr(0, static_cast<std::size_t>(n));
}

String STR_RIGHT(const String& s, Integer n) {
  const ErrorContext ctx{"surface", "STR_RIGHT"};
  if (n <= 0) return {};
  if (n >= length_of(s)) return s;
  return s.substr(s.size() - static_cast<std::size_t>(n));
}

String STR_MID(const String& s, Integer start, Integer n) {
  const ErrorContext ctx{"surface", "STR_MID"};
  if (start < 1 || start > length_of(s) || n == 0) return {};
  const std::size_t from = static_cast<std::size_t>(start) - 1;
  if (n < 0) return s.substr(from);
  return s.substr(from, static_cast<std::size_t>(n));  // substr clamps to the end
}

String STR_FILL(Integer n, const String& s) {
  const ErrorContext ctx{"surface", "STR_FILL"};
  if (n <= 0 || s.empty()) return {};
  return String(static_cast<std::size_t>(n), s[0]);
}

String STR_SPACE(Integer n) {
  const ErrorContext ctx{"surface", "STR_SPACE"};
  if (n <= 0) return {};
  return String(static_cast<std::size_t>(n), ' ');
}
