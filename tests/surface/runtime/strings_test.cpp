// Byte-string operations: 1-based positions, clamping at both ends, bytes 0x00 and 0xFF.
#include <gtest/gtest.h>

#include <climits>

#include "surface/runtime.hpp"

namespace {

const String kAbc = "abc";
const String kBinary{"a\0\xFFz", 4};  // a NUL and a high byte inside

TEST(Strings, LengthAscAndCompareSeeUnsignedBytes) {
  EXPECT_EQ(STR_LEN(kBinary), 4);
  EXPECT_EQ(STR_ASC(kBinary, 2), 0);
  EXPECT_EQ(STR_ASC(kBinary, 3), 255);
  for (Integer p : {0, 5, INT_MIN, INT_MAX}) EXPECT_EQ(STR_ASC(kBinary, p), 0) << p;
  EXPECT_EQ(STR_COMPARE("abc", "abc"), 0);
  EXPECT_EQ(STR_COMPARE("ab", "abc"), -1);
  EXPECT_EQ(STR_COMPARE("abc", "ab"), 1);
  EXPECT_EQ(STR_COMPARE("\xFF", "a"), 1);
  EXPECT_EQ(STR_COMPARE(String("a", 1), String("a\0", 2)), -1);
}

TEST(Strings, CutsClampAtBothEnds) {
  EXPECT_EQ(STR_LEFT(kAbc, 5), "abc");
  EXPECT_EQ(STR_LEFT(kAbc, INT_MIN), "");
  EXPECT_EQ(STR_RIGHT(kAbc, 2), "bc");
  EXPECT_EQ(STR_RIGHT(kAbc, INT_MAX), "abc");
  EXPECT_EQ(STR_RIGHT(kAbc, 0), "");
  EXPECT_EQ(STR_RIGHT(kBinary, 3), String("\0\xFFz", 3));
  EXPECT_EQ(STR_MID(kAbc, 2, 1), "b");
  EXPECT_EQ(STR_MID(kAbc, 2, INT_MAX), "bc");
  EXPECT_EQ(STR_MID(kAbc, 3, INT_MIN), "c");
  EXPECT_EQ(STR_MID(kAbc, 4, 1), "");
  EXPECT_EQ(STR_MID(kAbc, 0, 1), "");
  EXPECT_EQ(STR_MID(kAbc, INT_MAX, -1), "");
  EXPECT_EQ(STR_MID(kAbc, 1, 0), "");
  EXPECT_EQ(STR_FILL(3, "xy"), "xxx");
  EXPECT_EQ(STR_FILL(2, String("\0", 1)), String("\0\0", 2));
  EXPECT_EQ(STR_FILL(3, ""), "");
  EXPECT_EQ(STR_FILL(-5, "x"), "");
  EXPECT_EQ(STR_SPACE(2), "  ");
  EXPECT_EQ(STR_SPACE(INT_MIN), "");
}

}  // namespace
