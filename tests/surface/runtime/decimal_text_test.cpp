// Numbers as people write them: the reader against the standard's reader and the rule the orbit
// program used before it (commas as points, then STR_TO_DOUBLE); the fixed formatter against
// the C library's "%.*f".
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "surface/runtime.hpp"

namespace {

constexpr Double kInf = std::numeric_limits<Double>::infinity();

bool same(Double a, Double b) { return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0; }

std::string with_points(std::string s) {
  std::replace(s.begin(), s.end(), ',', '.');
  return s;
}

// The reference for "the whole text is one finite number": spaces and tabs trimmed, commas as
// points, then the standard reader (the C library's where the standard one is missing) must take
// every byte.
bool reference_read(const std::string& text, Double& value) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  std::string s = with_points(text.substr(first, text.find_last_not_of(" \t") - first + 1));
  // Words are no numbers here, and the C library would skip other white space.
  if (s.find_first_of("iInN") != std::string::npos || std::isspace(static_cast<unsigned char>(s[0]))) return false;
#if defined(__cpp_lib_to_chars)
  // from_chars takes no '+'.
  if (s[0] == '+' && s.size() > 1 && s[1] != '+' && s[1] != '-') s.erase(0, 1);
  const auto res = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (res.ptr != s.data() + s.size()) return false;
  if (res.ec == std::errc{}) return true;
  if (res.ec != std::errc::result_out_of_range) return false;
#endif
  // Out of range for the standard's reader: only an underflow to zero is still a finite number.
  char* end = nullptr;
  errno = 0;
  value = std::strtod(s.c_str(), &end);
  if (s.find_first_of("xX") != std::string::npos || end != s.c_str() + s.size()) return false;
  return std::isfinite(value);
}

void expect_reader_matches(const std::string& text) {
  Double value = -1, ref = -1;
  const bool ok = STR_READ_DECIMAL(text, value);
  // Whatever the verdict, the value is what the orbit program's own rule gave.
  EXPECT_TRUE(same(value, STR_TO_DOUBLE(with_points(text)))) << '"' << text << '"';
  const bool ref_ok = reference_read(text, ref);
  EXPECT_EQ(ok, ref_ok) << '"' << text << '"';
  if (ok && ref_ok) {
    EXPECT_TRUE(same(value, ref)) << '"' << text << "\" " << value << " vs " << ref;
  }
}

TEST(ReadDecimal, PointOrCommaWholeTextOnly) {
  struct Case {
    std::string text;
    bool ok;
    Double value;
  };
  const Case cases[] = {
      {"0,01", true, 0.01}, {"2.5", true, 2.5}, {" -3,5e2\t", true, -350}, {"+,5", true, 0.5},
      {"5,", true, 5}, {"1E-2", true, 0.01}, {"007", true, 7}, {"1e-999", true, 0},
      {"", false, 0}, {"   ", false, 0}, {",", false, 0}, {"-", false, 0}, {"e5", false, 0},
      {"1,5,3", false, 1.5}, {"1.000,5", false, 1}, {"1e", false, 1}, {"1e+", false, 1}, {"5 6", false, 5},
      {"1 e5", false, 1}, {"--5", false, 0}, {"\n5", false, 5}, {std::string("5\0", 2), false, 5},
      {"1e999", false, kInf}, {"-1e999", false, -kInf}, {"inf", false, kInf}, {"1d3", false, 1000},
      {"&H10", false, 16}, {"0x10", false, 0}, {"12abc", false, 12}, {"\xE4", false, 0}};
  for (const auto& c : cases) {
    Double value = -1;
    EXPECT_EQ(STR_READ_DECIMAL(c.text, value), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    expect_reader_matches(c.text);
  }
  Double nan = 0;
  EXPECT_FALSE(STR_READ_DECIMAL("nan", nan));
  EXPECT_TRUE(std::isnan(nan));
}

TEST(ReadDecimal, RandomTextsAgreeWithTheReferenceAndTheOldCommaRule) {
  std::mt19937_64 rng(23);
  const std::string alphabet = "0123456789012345+-.,eE \t&dH";
  for (int i = 0; i < 100000; ++i) {
    std::string text(rng() % 11, ' ');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    expect_reader_matches(text);
  }
}

TEST(ReadDecimal, EveryDoubleWrittenWithACommaReadsBackExactly) {
  std::mt19937_64 rng(5);
  for (int i = 0; i < 20000; ++i) {
    Double v = 0;
    const std::uint64_t bits = rng();
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    char text[64];
    std::snprintf(text, sizeof text, i % 2 ? "%.17g" : "%.16e", v);
    const std::string comma = [&] {
      std::string s = text;
      std::replace(s.begin(), s.end(), '.', ',');
      return s;
    }();
    Double read = 0;
    ASSERT_TRUE(STR_READ_DECIMAL(comma, read)) << comma;
    EXPECT_TRUE(same(read, v)) << comma;
    expect_reader_matches(comma);
  }
}

std::string reference_fixed(Double v, int decimals, const std::string& separator) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  if (decimals > 0 && std::isfinite(v)) s.replace(s.find('.'), 1, separator);
  return s;
}

TEST(FromFixed, RoundsLikePrintfAndClampsTheDecimals) {
  const Double max = std::numeric_limits<Double>::max();
  const Double nan = std::numeric_limits<Double>::quiet_NaN();
  EXPECT_EQ(STR_FROM_FIXED(46.875, 1, ","), "46,9");
  EXPECT_EQ(STR_FROM_FIXED(0.125, 2), "0.12");  // an exact tie goes to the even neighbour
  EXPECT_EQ(STR_FROM_FIXED(2.5, 0, ","), "2");
  EXPECT_EQ(STR_FROM_FIXED(-0.04, 1, ","), "-0,0");
  EXPECT_EQ(STR_FROM_FIXED(1.5, -3, ","), "2");
  EXPECT_EQ(STR_FROM_FIXED(0.1, 1000), reference_fixed(0.1, 20, "."));
  EXPECT_EQ(STR_FROM_FIXED(3.25, 2, ""), "325");
  EXPECT_EQ(STR_FROM_FIXED(3.25, 2, " Komma "), "3 Komma 25");
  EXPECT_EQ(STR_FROM_FIXED(kInf, 2, ","), "inf");
  EXPECT_EQ(STR_FROM_FIXED(-kInf, 0), "-inf");
  EXPECT_EQ(STR_FROM_FIXED(nan, 3, ","), "nan");
  EXPECT_EQ(STR_FROM_FIXED(-max, 20, ","), reference_fixed(-max, 20, ","));
  EXPECT_EQ(STR_FROM_FIXED(-max, 20, ",").size(), 1 + 309 + 1 + 20u);
  EXPECT_EQ(STR_FROM_FIXED(1e22, 0), "10000000000000000000000");
}

TEST(FromFixed, RandomValuesAndDecimalsAgreeWithPrintf) {
  std::mt19937_64 rng(42);
  const std::string separators[] = {".", ",", ""};
  for (int i = 0; i < 30000; ++i) {
    Double v = 0;
    if (i % 2) {
      const std::uint64_t bits = rng();
      std::memcpy(&v, &bits, sizeof v);  // every kind of Double: huge, tiny, non-finite
    } else {
      v = std::ldexp(static_cast<Double>(rng() >> 11) - 0x1p52, static_cast<int>(rng() % 80) - 60);
    }
    const auto decimals = static_cast<Integer>(rng() % 30) - 5;
    const std::string& sep = separators[rng() % 3];
    ASSERT_EQ(STR_FROM_FIXED(v, decimals, sep), reference_fixed(v, std::clamp<Integer>(decimals, 0, 20), sep))
        << v << ' ' << decimals;
  }
}

}  // namespace
