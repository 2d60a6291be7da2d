#pragma once
// Key codes and code page 437 text: the pure conversions between the window system's
// keys and characters and the Integer key codes of the key queue.
#include <string>
#include <string_view>

#include "surface/key_table.hpp"
#include "surface/types.hpp"

namespace keys {

// The key codes of the one key table (surface/key_table.hpp) under the names the backends use.
using Special = surf::Key;
inline constexpr Integer kBackspace = surf::key_code(Special::Backspace);
inline constexpr Integer kTab = surf::key_code(Special::Tab);
inline constexpr Integer kEnter = surf::key_code(Special::Enter);
inline constexpr Integer kEscape = surf::key_code(Special::Escape);
inline constexpr Integer kClose = surf::key_code(Special::Close);

// Key code of an extended key: 255 + 256 * scan.
constexpr Integer extended(int scan) noexcept { return surf::extended_key_code(scan); }

// The key code of a named key.
constexpr Integer code_of(Special key) noexcept { return surf::key_code(key); }

// The PC keyboard scan code of a key without a character.
constexpr int scan_code(Special key) noexcept { return (code_of(key) - 255) / 256; }

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
