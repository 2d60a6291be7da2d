// Byte-string operations: 1-based positions, clamping at both ends, bytes 0x00 and 0xFF.
#include <gtest/gtest.h>

#include <climits>

#include "surface/runtime.hpp"

namespace {

const String kAbc = "abc";
const String kBinary{"a\0\xFFz", 4};  // a NUL and a high byte inside

TEST(Strings, LengthAndAsciiCountEveryByte) {
  EXPECT_EQ(STR_LEN(""), 0);
  EXPECT_EQ(STR_LEN(kBinary), 4);
  EXPECT_EQ(STR_ASC(kBinary, 1), 'a');
  EXPECT_EQ(STR_ASC(kBinary, 2), 0);
  EXPECT_EQ(STR_ASC(kBinary, 3), 255);  // unsigned, not -1
  EXPECT_EQ(STR_ASC(kBinary, 4), 'z');
  for (Integer p : {0, 5, -1, INT_MIN, INT_MAX}) EXPECT_EQ(STR_ASC(kBinary, p), 0) << p;
}

TEST(Strings, CompareIsUnsignedAndPrefixIsLess) {
  EXPECT_EQ(STR_COMPARE("abc", "abc"), 0);
  EXPECT_EQ(STR_COMPARE("", ""), 0);
  EXPECT_EQ(STR_COMPARE("ab", "abc"), -1);
  EXPECT_EQ(STR_COMPARE("abc", "ab"), 1);
  EXPECT_EQ(STR_COMPARE("", "a"), -1);
  EXPECT_EQ(STR_COMPARE("\xFF", "a"), 1);  // 255 > 97
  EXPECT_EQ(STR_COMPARE(String("a\0b", 3), String("a\0c", 3)), -1);
  EXPECT_EQ(STR_COMPARE(String("a", 1), String("a\0", 2)), -1);
}

TEST(Strings, LeftAndRightClampTheCount) {
  EXPECT_EQ(STR_LEFT(kAbc, 2), "ab");
  EXPECT_EQ(STR_LEFT(kAbc, 5), "abc");
  EXPECT_EQ(STR_LEFT(kAbc, INT_MAX), "abc");
  EXPECT_EQ(STR_LEFT(kAbc, 0), "");
  EXPECT_EQ(STR_LEFT(kAbc, INT_MIN), "");
  EXPECT_EQ(STR_RIGHT(kAbc, 2), "bc");
  EXPECT_EQ(STR_RIGHT(kAbc, 3), "abc");
  EXPECT_EQ(STR_RIGHT(kAbc, INT_MAX), "abc");
  EXPECT_EQ(STR_RIGHT(kAbc, -1), "");
  EXPECT_EQ(STR_RIGHT(kBinary, 3), String("\0\xFFz", 3));
}

TEST(Strings, MidTakesFromStartToTheEndAtMost) {
  EXPECT_EQ(STR_MID(kAbc, 2, 1), "b");
  EXPECT_EQ(STR_MID(kAbc, 2, 10), "bc");
  EXPECT_EQ(STR_MID(kAbc, 2, INT_MAX), "bc");
  EXPECT_EQ(STR_MID(kAbc, 1, -1), "abc");
  EXPECT_EQ(STR_MID(kAbc, 3, INT_MIN), "c");
  EXPECT_EQ(STR_MID(kAbc, 4, 1), "");
  EXPECT_EQ(STR_MID(kAbc, 0, 1), "");
  EXPECT_EQ(STR_MID(kAbc, INT_MIN, 1), "");
  EXPECT_EQ(STR_MID(kAbc, INT_MAX, -1), "");
  EXPECT_EQ(STR_MID(kAbc, 1, 0), "");
  EXPECT_EQ(STR_MID(kBinary, 2, 2), String("\0\xFF", 2));
}

TEST(Strings, FillAndSpace) {
  EXPECT_EQ(STR_FILL(3, "xy"), "xxx");
  EXPECT_EQ(STR_FILL(2, String("\0", 1)), String("\0\0", 2));
  EXPECT_EQ(STR_FILL(3, ""), "");
  EXPECT_EQ(STR_FILL(0, "x"), "");
  EXPECT_EQ(STR_FILL(-5, "x"), "");
  EXPECT_EQ(STR_SPACE(2), "  ");
  EXPECT_EQ(STR_SPACE(0), "");
  EXPECT_EQ(STR_SPACE(INT_MIN), "");
}

TEST(Strings, ArgumentsStayUnchanged) {
  String s = "hello";
  (void)STR_LEFT(s, 2);
  (void)STR_MID(s, 2, 2);
  (void)STR_RIGHT(s, 9);
  EXPECT_EQ(s, "hello");
}

}  // namespace
