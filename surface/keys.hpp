#pragma once
// Key codes and code page 437 text: the pure conversions between the window system's
// keys and characters and the Integer key codes of the key queue.
#include <string>
#include <string_view>

#include "surface/types.hpp"

namespace keys {

// Key codes of keys that carry a control character.
inline constexpr Integer kBackspace = 8;
inline constexpr Integer kTab = 9;
inline constexpr Integer kEnter = 13;
inline constexpr Integer kEscape = 27;

// Keys without a character, independent of any window system.
enum class Special {
  Left, Right, Up, Down, Home, End, Delete, Insert, PageUp, PageDown,
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
};

// The PC keyboard scan code (extended-key convention) of a key without a character.
int scan_code(Special key) noexcept;

// Key code of an extended key: 255 + 256 * scan.
constexpr Integer extended(int scan) noexcept { return 255 + 256 * scan; }

// The key code of a key without a character.
inline Integer code_of(Special key) noexcept { return extended(scan_code(key)); }

// The close request of the window: chr(255) + "k".
inline constexpr Integer kClose = extended('k');

// The string INPUT_KEY returns for `code`: one byte below 256, else low byte then high byte.
String key_string(Integer code);

// Unicode code point of code page 437 byte `b`.
char32_t cp437_to_unicode(unsigned char b) noexcept;

// Code page 437 byte of code point `cp`, or -1 when it has none.
int unicode_to_cp437(char32_t cp) noexcept;

// UTF-8 text to code page 437 bytes; characters without a CP437 form and malformed
// sequences are dropped.
std::string utf8_to_cp437(std::string_view utf8);

// Code page 437 bytes to UTF-8 text (stops at a 0 byte).
std::string cp437_to_utf8(std::string_view cp437);

}  // namespace keys
