#pragma once
// The one table of named keys and their codes in the key queue. A code below 256 is one byte:
// a typed character in code page 437 or a control key. A key without a character has the code
// 255 + 256 * s, s being its PC keyboard scan code in the extended-key convention; INPUT_KEY
// returns it as the two bytes chr(255) + chr(s).
#include <array>
#include <cstddef>
#include <string_view>

#include "surface/types.hpp"

namespace surf {

// The keys the table names, in table order.
enum class Key {
  Backspace, Tab, Enter, Escape,
  Left, Right, Up, Down, Home, End, Delete, Insert, PageUp, PageDown,
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  Close,  // the window's close button
};

// The code of the key without a character whose scan code is `scan`: 255 + 256 * scan.
constexpr Integer extended_key_code(int scan) noexcept { return 255 + 256 * scan; }

// One named key: its lower-case name (as input scripts write it) and its code.
struct KeyEntry {
  Key key;
  std::string_view name;
  Integer code;
};

inline constexpr std::array<KeyEntry, 27> kKeyTable{{
    {Key::Backspace, "backspace", 8},
    {Key::Tab, "tab", 9},
    {Key::Enter, "enter", 13},
    {Key::Escape, "escape", 27},
    {Key::Left, "left", extended_key_code(0x4B)},
    {Key::Right, "right", extended_key_code(0x4D)},
    {Key::Up, "up", extended_key_code(0x48)},
    {Key::Down, "down", extended_key_code(0x50)},
    {Key::Home, "home", extended_key_code(0x47)},
    {Key::End, "end", extended_key_code(0x4F)},
    {Key::Delete, "delete", extended_key_code(0x53)},
    {Key::Insert, "insert", extended_key_code(0x52)},
    {Key::PageUp, "pageup", extended_key_code(0x49)},
    {Key::PageDown, "pagedown", extended_key_code(0x51)},
    {Key::F1, "f1", extended_key_code(0x3B)},
    {Key::F2, "f2", extended_key_code(0x3C)},
    {Key::F3, "f3", extended_key_code(0x3D)},
    {Key::F4, "f4", extended_key_code(0x3E)},
    {Key::F5, "f5", extended_key_code(0x3F)},
    {Key::F6, "f6", extended_key_code(0x40)},
    {Key::F7, "f7", extended_key_code(0x41)},
    {Key::F8, "f8", extended_key_code(0x42)},
    {Key::F9, "f9", extended_key_code(0x43)},
    {Key::F10, "f10", extended_key_code(0x44)},
    {Key::F11, "f11", extended_key_code(0x85)},  // F11 and F12 come long after F10
    {Key::F12, "f12", extended_key_code(0x86)},
    {Key::Close, "close", extended_key_code('k')},
}};

static_assert([] {
  for (std::size_t i = 0; i < kKeyTable.size(); ++i)
    if (kKeyTable[i].key != static_cast<Key>(i)) return false;
  return true;
}(), "kKeyTable lists the keys in the order of Key");

// The code of key k.
constexpr Integer key_code(Key k) noexcept { return kKeyTable[static_cast<std::size_t>(k)].code; }

// The code of a key as INPUT_KEY returns it: a byte, or 255 + 256 * s for chr(255) + chr(s);
// -1 for a text that no key gives.
constexpr Integer key_code(std::string_view text) noexcept {
  if (text.size() == 1) return static_cast<unsigned char>(text[0]);
  if (text.size() == 2 && static_cast<unsigned char>(text[0]) == 255)
    return extended_key_code(static_cast<unsigned char>(text[1]));
  return -1;
}

namespace detail {
// The bytes of key K's code, low byte first, kept in static storage for key_text.
template <Key K>
inline constexpr char kKeyBytes[2] = {static_cast<char>(key_code(K) & 0xFF),
                                      static_cast<char>((key_code(K) >> 8) & 0xFF)};
}  // namespace detail

// Key K as INPUT_KEY returns it: one byte below 256, else two.
template <Key K>
inline constexpr std::string_view key_text{detail::kKeyBytes<K>, key_code(K) < 256 ? 1u : 2u};

}  // namespace surf
