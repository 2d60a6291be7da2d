// Number text in both directions: exact results, special values, hostile input, locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "surface/runtime.hpp"

namespace {

constexpr Double kInf = std::numeric_limits<Double>::infinity();

TEST(FromSingle, SevenDigitsThreeDigitExponentAndSpecials) {
  const Single inf = std::numeric_limits<Single>::infinity();
  const Single nan = std::numeric_limits<Single>::quiet_NaN();
  const std::pair<Single, const char*> cases[] = {
      {2.0f, "2"}, {0.4f, "0.4"}, {-1.5f, "-1.5"}, {1234567.0f, "1234567"}, {12345678.0f, "1.234568e+007"},
      {0.00001f, "1e-005"}, {0.1f, "0.1"}, {0.0001f, "0.0001"}, {123456.7f, "123456.7"}, {-0.0f, "-0"},
      {3.4028235e38f, "3.402823e+038"}, {1e-40f, "9.999946e-041"}, {inf, "inf"}, {-inf, "-inf"},
      {nan, "nan"}, {std::copysign(nan, -1.0f), "-nan"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(STR_FROM_SINGLE(value), text);
}

TEST(ToDouble, Table) {
  const std::pair<const char*, Double> cases[] = {
      {"1d3", 1000}, {"2.5D-1", 0.25}, {"&HFF", 255}, {"&hff", 255}, {"&o17", 15}, {"&B101", 5},
      {"&b1012", 5}, {"&17", 15}, {"&789", 7}, {"&HFFFFFFFFFFFFFFFF", -1}, {"&HZ", 0}, {"&", 0},
      {"&H8000000000000000", -9223372036854775808.0}, {"&H10000000000000001", 1},  // modulo 2^64
      // The decimal grammar itself is left to the comparison with the C library below.
      {"0x10", 0}, {"0X1p3", 0}, {"12abc", 12}, {"abc", 0}, {" \t-7.25", -7.25}, {"1e999", kInf},
      {"-1e999", -kInf}, {"1e-999", 0}, {"-INF", -kInf}, {"Infinity", kInf}, {"4.9e-324", 4.9e-324},
      {"9007199254740993", 9007199254740992.0},  // a tie rounds to even
      {"1e99999999999999999999", kInf}, {"1e-99999999999999999999", 0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(STR_TO_DOUBLE(text), value) << '"' << text << '"';
  EXPECT_TRUE(std::signbit(STR_TO_DOUBLE("-0")));
  EXPECT_TRUE(std::isnan(STR_TO_DOUBLE(" NaN")));
  EXPECT_TRUE(std::signbit(STR_TO_DOUBLE("-nan")));
  EXPECT_EQ(STR_TO_DOUBLE(String("5\0" "7", 3)), 5.0);
}

TEST(ToDouble, HugeInputsAreReadWhole) {
  const String many(100'000, '0');
  EXPECT_EQ(STR_TO_DOUBLE(String(many.size(), '1')), kInf);
  EXPECT_EQ(STR_TO_DOUBLE(many + "42"), 42.0);
  EXPECT_EQ(STR_TO_DOUBLE("0." + many + "1"), 0.0);
  EXPECT_EQ(STR_TO_DOUBLE("1e" + String(many.size(), '9')), kInf);
  EXPECT_EQ(STR_TO_DOUBLE("&H" + String(many.size(), 'F')), -1.0);
  // 1 + 2^-53 is a tie; a 1 far down the tail decides it upward.
  EXPECT_EQ(STR_TO_DOUBLE("1.00000000000000011102230246251565404236316680908203125" + many + "1"),
            1.0000000000000002);
}

// Agreement with the C library's strtod (C locale) over random text from the characters that
// matter to the decimal grammar, and no failure on arbitrary bytes.
TEST(ToDouble, AgreesWithCLibraryOnRandomText) {
  const char alphabet[] = "0123456789012345.+-eE ,x";
  std::mt19937 gen(7);
  for (int round = 0; round < 20000; ++round) {
    String s(gen() % 25, ' ');
    for (char& c : s) c = alphabet[gen() % (sizeof alphabet - 1)];
    std::size_t first = s.find_first_not_of(' ');
    if (first != String::npos && (s[first] == '+' || s[first] == '-')) ++first;
    if (first < s.size() && s.compare(first, 2, "0x") == 0) continue;  // hex floats differ
    ASSERT_EQ(STR_TO_DOUBLE(s), std::strtod(s.c_str(), nullptr)) << '"' << s << '"';
    for (char& c : s) c = static_cast<char>(gen());
    (void)STR_TO_DOUBLE(s);
  }
}

// The one conversion of a Double to a Single: the nearest value, infinite only from the midpoint
// between FLT_MAX and 2^128 on (a rule that overflows right above FLT_MAX turns values that round
// to FLT_MAX into infinities).
TEST(Conversions, ToSingleIsTheNearestSingle) {
  const Double max = std::numeric_limits<Single>::max();
  const Single inf = std::numeric_limits<Single>::infinity();
  EXPECT_EQ(rt::to_single(max + 0x1p102), std::numeric_limits<Single>::max());
  EXPECT_EQ(rt::to_single(std::nextafter(max + 0x1p103, 0.0)), std::numeric_limits<Single>::max());
  EXPECT_EQ(rt::to_single(max + 0x1p103), inf);  // the midpoint: ties to the even neighbour, 2^128
  EXPECT_EQ(rt::to_single(-(max + 0x1p103)), -inf);
  EXPECT_EQ(rt::to_single(1e300), inf);
  EXPECT_EQ(rt::to_single(-kInf), -inf);
  EXPECT_TRUE(std::isnan(rt::to_single(std::numeric_limits<Double>::quiet_NaN())));
  std::mt19937_64 gen(7);
  std::uniform_real_distribution<Double> exponent(-160, 127);  // below 2^127: in range
  for (int i = 0; i < 10000; ++i) {
    const Double mantissa = 1.0 + static_cast<Double>(gen() % 1000003) / 1000003.0;
    const Double v = std::ldexp(mantissa, static_cast<int>(exponent(gen)));
    ASSERT_EQ(rt::to_single(v), static_cast<Single>(v)) << v;
  }
}

// Halves go to the even neighbour whatever rounding mode the program has set.
TEST(Conversions, RoundHalfEvenInEveryRoundingMode) {
  for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    std::fesetround(mode);
    const std::pair<Double, Double> cases[] = {
        {0.5, 0},  {1.5, 2},  {2.5, 2},   {-2.5, -2}, {-3.5, -4}, {2.4999999999999996, 2}, {0x1p52 + 1, 0x1p52 + 1},
        {0x1p52 - 0.5, 0x1p52}, {-0.4, 0}, {kInf, kInf}};
    for (const auto& [v, rounded] : cases) EXPECT_EQ(rt::round_half_even(v), rounded) << v << " in mode " << mode;
    EXPECT_EQ(rt::round_half_even(2.5L), 2.0L);
    EXPECT_TRUE(std::isnan(rt::round_half_even(std::numeric_limits<Double>::quiet_NaN())));
  }
  std::fesetround(FE_TONEAREST);
}

// Both directions over many values, folded into one FNV-1a digest that every build (desktop and
// browser, whose C++ libraries differ) must reproduce bit for bit: Singles of every bit pattern
// class (subnormals, NaNs, infinities) and decimal texts of up to 25 significant digits.
TEST(NumberText, SameTextAndBitsOnEveryBuild) {
  std::uint64_t digest = 0xcbf29ce484222325u;
  const auto fold = [&digest](const void* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      digest ^= static_cast<const unsigned char*>(bytes)[i];
      digest *= 0x100000001b3u;
    }
  };
  std::mt19937 gen(2024);
  for (int round = 0; round < 100000; ++round) {
    const std::uint32_t pattern = static_cast<std::uint32_t>(gen());
    Single value;
    std::memcpy(&value, &pattern, sizeof value);
    const String text = STR_FROM_SINGLE(value);
    fold(text.data(), text.size());
    // One draw per statement: the order of draws within an expression is unspecified.
    String decimal = gen() % 2 ? "-" : "";
    for (unsigned d = 1 + gen() % 25; d > 0; --d) decimal += static_cast<char>('0' + gen() % 10);
    const std::size_t point = gen() % decimal.size();
    decimal.insert(point, ".");
    decimal += gen() % 2 ? "e" : "D";
    decimal += std::to_string(static_cast<int>(gen() % 700) - 350);
    const Double number = STR_TO_DOUBLE(decimal);
    fold(&number, sizeof number);
  }
  EXPECT_EQ(digest, 18287329445259888511u);
}

TEST(NumberText, IgnoresTheLocale) {
  const String saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  EXPECT_EQ(STR_TO_DOUBLE("1.5"), 1.5);
  EXPECT_EQ(STR_TO_DOUBLE("1,5"), 1.0);
  EXPECT_EQ(STR_FROM_SINGLE(-1.5f), "-1.5");
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
