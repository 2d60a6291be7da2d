#include "surface/keys.hpp"

#include <algorithm>
#include <array>
#include <utility>

namespace keys {

namespace {

// Code points of bytes 0x00..0xFF; 0x01..0x1F and 0x7F are the graphic symbols of the font.
constexpr std::array<char16_t, 256> kCp437 = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  // 00
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  // 10
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
    0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027,  // 20
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  // 30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,  // 40
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F,
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,  // 50
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,  // 60
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,  // 70
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302,
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

using Pair = std::pair<char32_t, unsigned char>;

// Every non-ASCII code point of the table with its byte, sorted by code point, plus the usual
// aliases (Greek small beta typed for the sharp s glyph, Greek mu for the micro sign).
constexpr std::size_t kReverseSize = 162;

const std::array<Pair, kReverseSize>& reverse_table() {
  static const std::array<Pair, kReverseSize> table = [] {
    std::array<Pair, kReverseSize> t{};
    std::size_t n = 0;
    for (int b = 1; b <= 0xFF; ++b) {
      const char32_t cp = kCp437[static_cast<std::size_t>(b)];
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

int scan_code(Special key) noexcept {
  switch (key) {
    case Special::Left: return 0x4B;
    case Special::Right: return 0x4D;
    case Special::Up: return 0x48;
    case Special::Down: return 0x50;
    case Special::Home: return 0x47;
    case Special::End: return 0x4F;
    case Special::Delete: return 0x53;
    case Special::Insert: return 0x52;
    case Special::PageUp: return 0x49;
    case Special::PageDown: return 0x51;
    case Special::F11: return 0x85;
    case Special::F12: return 0x86;
    default:  // F1..F10 are consecutive from 0x3B
      return 0x3B + (static_cast<int>(key) - static_cast<int>(Special::F1));
  }
}

String key_string(Integer code) {
  if (code >= 0 && code < 256) return String(1, static_cast<char>(code));
  String s(2, '\0');
  s[0] = static_cast<char>(code & 0xFF);
  s[1] = static_cast<char>((code >> 8) & 0xFF);
  return s;
}

char32_t cp437_to_unicode(unsigned char b) noexcept { return kCp437[b]; }

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
