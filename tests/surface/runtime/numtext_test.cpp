// Number text in both directions: exact results, special values, hostile input, locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "surface/runtime.hpp"

namespace {

constexpr Double kInf = std::numeric_limits<Double>::infinity();

TEST(FromSingle, SevenDigitsAndThreeDigitExponent) {
  const struct {
    Single value;
    const char* text;
  } cases[] = {
      {2.0f, "2"},          {0.4f, "0.4"},         {-1.5f, "-1.5"},
      {1234567.0f, "1234567"}, {12345678.0f, "1.234568e+007"}, {0.00001f, "1e-005"},
      {0.1f, "0.1"},        {0.0001f, "0.0001"},   {123456.7f, "123456.7"},
      {1e7f, "1e+007"},     {9999999.0f, "9999999"}, {0.0f, "0"},
      {-0.0f, "-0"},        {3.4028235e38f, "3.402823e+038"}, {1e-40f, "9.999946e-041"},
      {-2.5e-10f, "-2.5e-010"}, {1e30f, "1e+030"},
  };
  for (const auto& c : cases) EXPECT_EQ(STR_FROM_SINGLE(c.value), c.text) << c.text;
}

TEST(FromSingle, SpecialValues) {
  const Single inf = std::numeric_limits<Single>::infinity();
  const Single nan = std::numeric_limits<Single>::quiet_NaN();
  EXPECT_EQ(STR_FROM_SINGLE(inf), "inf");
  EXPECT_EQ(STR_FROM_SINGLE(-inf), "-inf");
  EXPECT_EQ(STR_FROM_SINGLE(nan), "nan");
  EXPECT_EQ(STR_FROM_SINGLE(std::copysign(nan, -1.0f)), "-nan");
}

TEST(ToDouble, Table) {
  const struct {
    const char* text;
    Double value;
  } cases[] = {
      {"1d3", 1000.0},       {"1D3", 1000.0},      {"2.5d-1", 0.25},    {"1e3", 1000.0},
      {"&HFF", 255.0},       {"&hff", 255.0},      {"&O17", 15.0},      {"&o17", 15.0},
      {"&B101", 5.0},        {"&b1012", 5.0},      {"&17", 15.0},       {"&789", 7.0},
      {"&HFFFFFFFFFFFFFFFF", -1.0}, {"&H8000000000000000", -9223372036854775808.0},
      {"&H10000000000000001", 1.0},  // wraps modulo 2^64
      {"&HZ", 0.0},          {"&", 0.0},           {"0x10", 0.0},       {"0X1p3", 0.0},
      {"12abc", 12.0},       {"abc", 0.0},         {"0,5", 0.0},        {"1,5", 1.0},
      {" +12", 12.0},        {"   -7.25", -7.25},   {"\t3", 3.0},        {" \n 4", 4.0},
      {"1e", 1.0},           {"1e+", 1.0},         {"1d", 1.0},         {"1.e2", 100.0},
      {".5", 0.5},           {".", 0.0},           {"-", 0.0},          {"+", 0.0},
      {"+-1", 0.0},          {"- 1", 0.0},         {"", 0.0},           {"   ", 0.0},
      {"1.5.5", 1.5},        {"0.1", 0.1},         {"1e999", kInf},     {"-1e999", -kInf},
      {"1e-999", 0.0},       {"inf", kInf},        {"-INF", -kInf},     {"Infinity", kInf},
      {"infx", kInf},        {"4.9e-324", 4.9e-324}, {"1.7976931348623157e308", 1.7976931348623157e308},
      {"9007199254740993", 9007199254740992.0},  // halfway: ties to even
      {"1e99999999999999999999", kInf}, {"1e-99999999999999999999", 0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(STR_TO_DOUBLE(c.text), c.value) << '"' << c.text << '"';
  EXPECT_TRUE(std::signbit(STR_TO_DOUBLE("-0")));
  EXPECT_TRUE(std::isnan(STR_TO_DOUBLE("nan")));
  EXPECT_TRUE(std::isnan(STR_TO_DOUBLE(" NaN")));
  EXPECT_TRUE(std::signbit(STR_TO_DOUBLE("-nan")));
  EXPECT_EQ(STR_TO_DOUBLE(String("5\0" "7", 3)), 5.0);
  EXPECT_EQ(STR_TO_DOUBLE(String("&H1\0" "1", 4)), 1.0);
}

TEST(ToDouble, HugeInputsAreReadWhole) {
  const std::size_t n = 100'000;
  EXPECT_EQ(STR_TO_DOUBLE(String(n, '1')), kInf);
  EXPECT_EQ(STR_TO_DOUBLE(String(n, '0') + "42"), 42.0);
  EXPECT_EQ(STR_TO_DOUBLE("0." + String(n, '0') + "1"), 0.0);
  EXPECT_EQ(STR_TO_DOUBLE("1." + String(n, '0') + "1"), 1.0);
  EXPECT_EQ(STR_TO_DOUBLE("1e" + String(n, '9')), kInf);
  EXPECT_EQ(STR_TO_DOUBLE("1e-" + String(n, '9')), 0.0);
  EXPECT_EQ(STR_TO_DOUBLE("&H" + String(n, 'F')), -1.0);
  EXPECT_EQ(STR_TO_DOUBLE(String(n, ' ')), 0.0);
  EXPECT_EQ(STR_TO_DOUBLE(String(n, 'd')), 0.0);
  // Many digits whose tail decides the rounding: 1 + 2^-53 (a tie) plus a tiny excess rounds up.
  EXPECT_EQ(STR_TO_DOUBLE("1.00000000000000011102230246251565404236316680908203125" + String(n, '0') + "1"),
            1.0000000000000002);
}

// Agreement with the C library's strtod (C locale) over random text from the characters that
// matter to the decimal grammar; 'd' is left out since strtod does not know it.
TEST(ToDouble, AgreesWithCLibraryOnRandomText) {
  const char alphabet[] = "0123456789012345.+-eE ,x";
  std::mt19937 gen(7);
  std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
  std::uniform_int_distribution<int> length(0, 24);
  for (int round = 0; round < 20000; ++round) {
    String s(static_cast<std::size_t>(length(gen)), ' ');
    for (char& c : s) c = alphabet[pick(gen)];
    std::size_t first = s.find_first_not_of(' ');
    if (first != String::npos && (s[first] == '+' || s[first] == '-')) ++first;
    if (first < s.size() && s.compare(first, 2, "0x") == 0) continue;  // hex floats differ
    const Double expected = std::strtod(s.c_str(), nullptr);
    ASSERT_EQ(STR_TO_DOUBLE(s), expected) << '"' << s << '"';
  }
}

TEST(ToDouble, ArbitraryBytesNeverFail) {
  std::mt19937 gen(11);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20000; ++round) {
    String s(static_cast<std::size_t>(round % 40), '\0');
    for (char& c : s) c = static_cast<char>(byte(gen));
    (void)STR_TO_DOUBLE(s);
  }
}

TEST(NumberText, IgnoresTheLocale) {
  const char* saved = std::setlocale(LC_ALL, nullptr);
  const String restore = saved != nullptr ? saved : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  EXPECT_EQ(STR_TO_DOUBLE("1.5"), 1.5);
  EXPECT_EQ(STR_TO_DOUBLE("1,5"), 1.0);
  EXPECT_EQ(STR_FROM_SINGLE(-1.5f), "-1.5");
  std::setlocale(LC_ALL, restore.c_str());
}

}  // namespace
