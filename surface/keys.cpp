#include "surface/keys.hpp"

#include <algorithm>
#include <array>
#include <utility>

#include "surface/cp437.hpp"

namespace keys {

namespace {

using Pair = std::pair<char32_t, unsigned char>;

// Every non-ASCII code point of the table with its byte, sorted by code point, plus the usual
// aliases (Greek small beta typed for the sharp s glyph, Greek mu for the micro sign).
constexpr std::size_t kReverseSize = 162;

const std::array<Pair, kReverseSize>& reverse_table() {
  static const std::array<Pair, kReverseSize> table = [] {
    std::array<Pair, kReverseSize> t{};
    std::size_t n = 0;
    for (int b = 1; b <= 0xFF; ++b) {
      const char32_t cp = cp437::kToUnicode[static_cast<std::size_t>(b)];
      if (cp >= 0x80) t[n++] = {cp, static_cast<unsigned char>(b)};
    }
    t[n++] = {0x03B2, 0xE1};  // beta
    t[n++] = {0x03BC, 0xE6};  // mu
    std::sort(t.begin(), t.end());
    return t;
  }();
  return table;
}

void put_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

String key_string(Integer code) {
  if (code >= 0 && code < 256) return String(1, static_cast<char>(code));
  String s(2, '\0');
  s[0] = static_cast<char>(code & 0xFF);
  s[1] = static_cast<char>((code >> 8) & 0xFF);
  return s;
}

char32_t cp437_to_unicode(unsigned char b) noexcept { return cp437::kToUnicode[b]; }

int unicode_to_cp437(char32_t cp) noexcept {
  if (cp < 0x80) return static_cast<int>(cp);
  const auto& t = reverse_table();
  const auto it = std::lower_bound(t.begin(), t.end(), Pair{cp, 0});
  return it != t.end() && it->first == cp ? it->second : -1;
}

std::string utf8_to_cp437(std::string_view utf8) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    // Sequence length and payload bits of the lead byte: 0xxxxxxx, 110xxxxx, 1110xxxx, 11110xxx.
    int len = 0;
    char32_t cp = 0;
    if (lead < 0x80) len = 1, cp = lead;
    else if ((lead & 0xE0) == 0xC0) len = 2, cp = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0) len = 3, cp = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0) len = 4, cp = lead & 0x07;
    if (len == 0 || i + static_cast<std::size_t>(len) > utf8.size()) {
      ++i;  // stray or truncated byte: dropped
      continue;
    }
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms are malformed: each length has a smallest code point.
    constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[len]) {
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(len);
    const int b = unicode_to_cp437(cp);
    if (b >= 0) out += static_cast<char>(b);
  }
  return out;
}

std::string cp437_to_utf8(std::string_view cp437) {
  std::string out;
  for (const char c : cp437) {
    if (c == '\0') break;
    put_utf8(out, cp437_to_unicode(static_cast<unsigned char>(c)));
  }
  return out;
}

}  // namespace keys
