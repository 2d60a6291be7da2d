// Byte-string operations: 1-based positions, clamping at both ends, bytes 0x00 and 0xFF.
#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <utility>

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
  const std::pair<String, String> cases[] = {
      {STR_LEFT(kAbc, 5), "abc"},       {STR_LEFT(kAbc, INT_MIN), ""},       {STR_RIGHT(kAbc, 2), "bc"},
      {STR_RIGHT(kAbc, INT_MAX), "abc"}, {STR_RIGHT(kAbc, 0), ""},           {STR_MID(kAbc, 2, 1), "b"},
      {STR_MID(kAbc, 2, INT_MAX), "bc"}, {STR_MID(kAbc, 3, INT_MIN), "c"},  {STR_MID(kAbc, 4, 1), ""},
      {STR_MID(kAbc, 0, 1), ""},         {STR_MID(kAbc, INT_MAX, -1), ""},  {STR_MID(kAbc, 1, 0), ""},
      {STR_FILL(3, "xy"), "xxx"},        {STR_FILL(3, ""), ""},              {STR_FILL(-5, "x"), ""},
      {STR_SPACE(2), "  "},              {STR_SPACE(INT_MIN), ""},
      {STR_RIGHT(kBinary, 3), String("\0\xFFz", 3)}, {STR_FILL(2, String("\0", 1)), String("\0\0", 2)}};
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
}

}  // namespace
