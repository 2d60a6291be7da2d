#include "surface/keys.hpp"

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

TEST(KeyCodes, ExtendedKeysUseTheirScanCodes) {
  using keys::Special;
  for (auto [key, text] : {std::pair{Special::Left, "\xFFK"}, {Special::Right, "\xFFM"}, {Special::Up, "\xFFH"},
                           {Special::Down, "\xFFP"}, {Special::Home, "\xFFG"}, {Special::End, "\xFFO"},
                           {Special::Delete, "\xFFS"}})
    EXPECT_EQ(keys::key_string(keys::code_of(key)), text);
  EXPECT_EQ(keys::key_string(keys::kClose), "\xFFk");
  // The function keys are not contiguous: F11 and F12 follow far after F10.
  EXPECT_EQ(keys::scan_code(Special::F10), 0x44);
  EXPECT_EQ(keys::scan_code(Special::F11), 0x85);
  EXPECT_EQ(keys::key_string(keys::kEnter), "\r");
  EXPECT_EQ(keys::key_string(132), "\x84");
}

}  // namespace
