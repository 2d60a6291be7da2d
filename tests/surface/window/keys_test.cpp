#include "surface/keys.hpp"
#include "surface/surface.hpp"

#include <gtest/gtest.h>

namespace {

TEST(Cp437, EveryByteSurvivesTheRoundTripThroughUnicode) {
  for (int b = 1; b < 256; ++b) {
    const char32_t cp = keys::cp437_to_unicode(static_cast<unsigned char>(b));
    EXPECT_EQ(keys::unicode_to_cp437(cp), b) << "byte " << b;
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(keys::utf8_to_cp437(keys::cp437_to_utf8(one)), one) << "byte " << b;
  }
}

TEST(Cp437, TypedTextKeepsKnownCharactersAndDropsTheRest) {
  EXPECT_EQ(keys::unicode_to_cp437(U'ä'), 132);
  EXPECT_EQ(keys::unicode_to_cp437(U'ß'), 225);
  EXPECT_EQ(keys::unicode_to_cp437(U'β'), 225);
  EXPECT_EQ(keys::unicode_to_cp437(U'€'), -1);
  // ä ß € x, a stray continuation byte, a truncated sequence and an overlong slash.
  EXPECT_EQ(keys::utf8_to_cp437("\xC3\xA4\xC3\x9F\xE2\x82\xAC" "x\x80" "y\xC0\xAF" "z\xE2\x82"),
            "\x84\xE1xyz");
  EXPECT_EQ(keys::cp437_to_utf8(std::string("\x84" "b\0c", 4)), "\xC3\xA4" "b");  // stops at 0
}

TEST(KeyCodes, NamedKeysAreTheStringsInputKeyReturns) {
  using std::pair, std::string_view;
  for (auto [name, text] : {pair{KEY_LEFT, "\xFFK"}, {KEY_RIGHT, "\xFFM"}, {KEY_UP, "\xFFH"}, {KEY_DOWN, "\xFFP"},
                            {KEY_HOME, "\xFFG"}, {KEY_END, "\xFFO"}, {KEY_DELETE, "\xFFS"}, {KEY_CLOSE, "\xFFk"},
                            {KEY_ENTER, "\r"}, {KEY_BACKSPACE, "\b"}, {KEY_ESCAPE, "\x1B"}})
    EXPECT_EQ(name, string_view(text));
  EXPECT_TRUE(IS_CLOSE_KEY(String("\xFF" "k")));
  EXPECT_FALSE(IS_CLOSE_KEY("k"));
  EXPECT_FALSE(IS_CLOSE_KEY(String("\xFF" "k\0", 3)));
  // Every code of the table survives the way through the key queue's string and back.
  for (const surf::KeyEntry& k : surf::kKeyTable) EXPECT_EQ(surf::key_code(keys::key_string(k.code)), k.code) << k.name;
  // The function keys are not contiguous: F11 and F12 follow far after F10.
  EXPECT_EQ(keys::scan_code(surf::Key::F10), 0x44);
  EXPECT_EQ(keys::scan_code(surf::Key::F11), 0x85);
  EXPECT_EQ(keys::key_string(132), "\x84");
  EXPECT_EQ(surf::key_code(""), -1);
  EXPECT_EQ(surf::key_code("ab"), -1);
}

}  // namespace
