#include "surface/backend_shared.hpp"
#include "surface/core.hpp"
#include "surface/headless.hpp"
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

// What every backend hands the key queue: the PC scan codes of the function keys, and typed
// text one code page 437 key per character, bytes above 127 not taken for negative codes.
TEST(BackendShared, FunctionKeysAndTypedTextReachTheQueueAsThePcKeyboardGivesThem) {
  const int scans[] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x85, 0x86};
  for (int n = 1; n <= 12; ++n) EXPECT_EQ(surf::backend::function_key(n), 255 + 256 * scans[n - 1]) << "F" << n;
  for (const int n : {0, 13, -1}) EXPECT_EQ(surf::backend::function_key(n), -1) << n;

  headless::reset();
  ASSERT_EQ(SCREEN_OPEN(16, 16, 32, 1, 0, 0), 0);
  surf::InputSink input = surf::core().input();
  surf::backend::type_text(input, 0, "\xC3\xA4\xE2\x82\xAC" "x\xC0");  // ä, € (none in the code page), x, a stray byte
  EXPECT_EQ(INPUT_KEY(), "\x84");
  EXPECT_EQ(INPUT_KEY(), "x");
  EXPECT_EQ(INPUT_KEY(), "");
}

}  // namespace

// A burst larger than the queue while the program reads keys loses nothing and keeps its order;
// when nobody reads, a full queue still keeps only the newest keys, and a close request is
// never held back behind typed keys.
TEST(KeyQueue, ABurstWhileTheProgramReadsWaitsInOrderAndIdleKeysStillDropTheOldest) {
  headless::reset();
  ASSERT_EQ(SCREEN_OPEN(16, 16, 32, 1, 0, 0), 0);
  EXPECT_EQ(INPUT_KEY(), "");  // the program reads keys from now on
  const std::string burst = "abcdefghijklmnopqrstuvwxy";  // 25 keys at one moment
  headless::type(headless::now_ms() + 1, burst);
  headless::close_request(headless::now_ms() + 1);
  TIME_SLEEP(2);
  std::string got;
  bool closed = false;
  for (String k = INPUT_KEY(); !k.empty(); k = INPUT_KEY()) {
    if (IS_CLOSE_KEY(k)) {
      closed = true;
      EXPECT_LT(got.size(), burst.size()) << "the close request waited behind every typed key";
    } else {
      got += k;
    }
  }
  EXPECT_TRUE(closed);
  EXPECT_EQ(got, burst);

  // A second later nobody has read for a while: the same burst leaves the newest sixteen.
  TIME_SLEEP(1000);
  headless::type(headless::now_ms() + 1, burst);
  TIME_SLEEP(2);
  got.clear();
  for (String k = INPUT_KEY(); !k.empty(); k = INPUT_KEY()) got += k;
  EXPECT_EQ(got, burst.substr(burst.size() - 16));
}
