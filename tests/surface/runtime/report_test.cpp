// The error context, the report text, and the end of the process on errors and faults.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <limits>
#include <cstdlib>
#include <new>

#include "surface/runtime.hpp"

namespace {

// The whole of `text` as an extended regular expression that matches nothing else.
std::string exactly(const std::string& text) {
  std::string re = "^";
  for (char c : text) {
    if (std::strchr("\\^$.|?*+()[]{}", c) != nullptr) re += '\\';
    re += c;
  }
  return re + "$";
}

std::string report(Integer number, const char* message, Integer line, const char* module, const char* proc) {
  std::string s = "\nAborting due to runtime error " + std::to_string(number);
  if (message != nullptr) s += std::string(" (") + message + ")";
  if (line > 0) s += " at line " + std::to_string(line);
  s += std::string(line > 0 ? " of " : " in ") + module + "::" + proc + "()\n\n";
  return s;
}

TEST(Report, Pieces) {
  EXPECT_EQ(rt::format_report(6, 120, "Inc/GUI", "DISPLAYITEMS"),
            "\nAborting due to runtime error 6 (out of bounds array access) at line 120 of Inc/GUI::DISPLAYITEMS()\n\n");
  EXPECT_EQ(rt::format_report(12, 0, "Umlaufbahnen", "FKT"),
            "\nAborting due to runtime error 12 (\"segmentation violation\" signal) in Umlaufbahnen::FKT()\n\n");
  EXPECT_EQ(rt::format_report(1, 7, "Inc/GUI", nullptr), "\nAborting due to runtime error 1 (illegal function call) at line 7 of Inc/GUI()\n\n");
  EXPECT_EQ(rt::format_report(4, -3, "M", ""), "\nAborting due to runtime error 4 (out of memory) in M()\n\n");
  EXPECT_EQ(rt::format_report(17, 5, nullptr, "P"), "\nAborting due to runtime error 17 (end of file) at line 5\n\n");
  EXPECT_EQ(rt::format_report(0, 0, nullptr, nullptr), "\nAborting due to runtime error 0\n\n");
  EXPECT_EQ(rt::format_report(18, 0, "", nullptr), "\nAborting due to runtime error 18\n\n");
  EXPECT_EQ(rt::format_report(-2147483647 - 1, 2147483647, nullptr, nullptr),
            "\nAborting due to runtime error -2147483648 at line 2147483647\n\n");
}

TEST(Report, EveryMessage) {
  const char* messages[] = {"illegal function call", "file not found", "file I/O error", "out of memory",
                            "illegal resume", "out of bounds array access", "null pointer access",
                            "no privileges", "\"interrupted\" signal", "\"illegal instruction\" signal",
                            "\"floating point error\" signal", "\"segmentation violation\" signal",
                            "\"termination request\" signal", "\"abnormal termination\" signal",
                            "\"quit request\" signal", "return without gosub", "end of file"};
  for (Integer n = 1; n <= 17; ++n)
    EXPECT_EQ(rt::format_report(n, 0, nullptr, nullptr),
              "\nAborting due to runtime error " + std::to_string(n) + " (" + messages[n - 1] + ")\n\n");
}

TEST(Report, LongNamesAreCutAtTheLimit) {
  const std::string long_name(5000, 'M');
  EXPECT_EQ(rt::format_report(6, 1, long_name.c_str(), "P").size(), rt::kReportMax);
  char small[16];
  EXPECT_EQ(rt::format_report_to(small, sizeof small, 6, 1, "M", "P"), 15u);
  EXPECT_STREQ(small, "\nAborting due t");
  EXPECT_EQ(rt::format_report_to(small, 0, 6, 1, "M", "P"), 0u);
}

TEST(ErrorContextTest, NestsAndRestores) {
  const char* outer_module = rt::current_module();
  {
    const ErrorContext a{"A", "ONE"};
    {
      const ErrorContext b{"B", "TWO"};
      EXPECT_STREQ(rt::current_module(), "B");
      EXPECT_STREQ(rt::current_procedure(), "TWO");
    }
    EXPECT_STREQ(rt::current_module(), "A");
    EXPECT_STREQ(rt::current_procedure(), "ONE");
  }
  EXPECT_EQ(rt::current_module(), outer_module);
}

TEST(LastError, RecordsTheNumber) {
  RUNTIME_SET_LAST_ERROR(4);
  EXPECT_EQ(RUNTIME_LAST_ERROR(), 4);
  RUNTIME_SET_LAST_ERROR(0);
  EXPECT_EQ(RUNTIME_LAST_ERROR(), 0);
}

// ---- The end of the process --------------------------------------------------------------

using ErrorsDeathTest = ::testing::Test;

// Each body raises on the line just above its closing brace, so `__LINE__ - 2` right after the
// lambda is that line.
TEST(ErrorsDeathTest, RaisedErrorsReportLineModuleAndProcedure) {
  const auto raise_error = [] {
    const ErrorContext ctx{"Tests", "OUTER"};
    RUNTIME_ERROR(1, 42);
  };
  EXPECT_EXIT(raise_error(), ::testing::ExitedWithCode(1),
              exactly(report(1, "illegal function call", 42, "Tests", "OUTER")));
  // No context at all: the report ends right after the message.
  EXPECT_EXIT(RUNTIME_ERROR(8, 0), ::testing::ExitedWithCode(8),
              exactly("\nAborting due to runtime error 8 (no privileges)\n\n"));
  const auto check = [] {
    const ErrorContext ctx{"Tests", "CHECKER"};
    RUNTIME_CHECK(4);
  };
  const Integer line = __LINE__ - 2;
  EXPECT_EXIT(check(), ::testing::ExitedWithCode(4), exactly(report(4, "out of memory", line, "Tests", "CHECKER")));
}

TEST(ErrorsDeathTest, NumbersOutsideTheStatusRangeNeverReadAsSuccess) {
  EXPECT_EXIT(RUNTIME_ERROR(256, 0), ::testing::ExitedWithCode(255), "error 256\n");
  EXPECT_EXIT(RUNTIME_ERROR(0, 0), ::testing::ExitedWithCode(255), "error 0\n");
  EXPECT_EXIT(RUNTIME_ERROR(-1, 0), ::testing::ExitedWithCode(255), "error -1\n");
}

TEST(ErrorsDeathTest, IndexOutOfBoundsNamesTheStatementLine) {
  const auto list = [] {
    const ErrorContext ctx{"Inc/GUI", "DISPLAYITEMS"};
    Array<String> items(0, 1000);
    items[1000] = "last";
    items[1001] = "x";
  };
  const Integer line = __LINE__ - 2;
  EXPECT_EXIT(list(), ::testing::ExitedWithCode(6),
              exactly(report(6, "out of bounds array access", line, "Inc/GUI", "DISPLAYITEMS")));
  const auto grid = [] {
    const ErrorContext ctx{"Tests", "GRID"};
    Array2<int> g(1, 3, -2, 2);
    g(3, 2) = 1;
    g(2, -3) = 1;
  };
  const Integer grid_line = __LINE__ - 2;
  EXPECT_EXIT(grid(), ::testing::ExitedWithCode(6),
              exactly(report(6, "out of bounds array access", grid_line, "Tests", "GRID")));
  const auto below = [] {
    const ErrorContext ctx{"Tests", "BELOW"};
    Array<int> a(-5, 5);
    a[-6] = 1;
  };
  EXPECT_EXIT(below(), ::testing::ExitedWithCode(6), "error 6 .* of Tests::BELOW\\(\\)");
}

int twice(int x) { return 2 * x; }

TEST(ErrorsDeathTest, NullProcedureIsErrorSeven) {
  int (*f)(int) = twice;
  EXPECT_EQ(checked(f)(4), 8);
  const auto call = [] {
    const ErrorContext ctx{"Inc/Diffgl", "DIFFSYSN"};
    int (*g)(int) = nullptr;
    (void)checked(g)(1);
  };
  const Integer line = __LINE__ - 2;
  EXPECT_EXIT(call(), ::testing::ExitedWithCode(7),
              exactly(report(7, "null pointer access", line, "Inc/Diffgl", "DIFFSYSN")));
}

struct Huge {
  char bytes[65536];
};

TEST(ErrorsDeathTest, FailedAllocationIsErrorFour) {
  // 2^32 elements of 64 KiB exceed any address space.
  const auto one = [] {
    const ErrorContext ctx{"Tests", "ALLOC"};
    Array<Huge> a(-2147483647 - 1, 2147483647);
  };
  const Integer line = __LINE__ - 2;
  EXPECT_EXIT(one(), ::testing::ExitedWithCode(4), exactly(report(4, "out of memory", line, "Tests", "ALLOC")));
  // 2^32 x 2^32 elements: the count itself does not fit in 64 bits.
  const auto two = [] {
    const ErrorContext ctx{"Tests", "ALLOC2"};
    Array2<char> a;
    a.redim(-2147483647 - 1, 2147483647, -2147483647 - 1, 2147483647);
  };
  const Integer line2 = __LINE__ - 2;
  EXPECT_EXIT(two(), ::testing::ExitedWithCode(4), exactly(report(4, "out of memory", line2, "Tests", "ALLOC2")));
}

[[noreturn]] void throw_bad_alloc() { throw std::bad_alloc(); }

TEST(ErrorsDeathTest, UncaughtExceptionsEndWithAReport) {
  const auto escape = []() noexcept {
    const ErrorContext ctx{"Tests", "THROWER"};
    throw_bad_alloc();
  };
  EXPECT_EXIT(escape(), ::testing::ExitedWithCode(4), exactly(report(4, "out of memory", 0, "Tests", "THROWER")));
}

// ---- Faults ------------------------------------------------------------------------------

void raise_in_context(int sig) {
  const ErrorContext ctx{"Tests", "RAISER"};
  std::raise(sig);
}

TEST(FaultsDeathTest, EachSignalIsItsOwnError) {
  const struct {
    int sig;
    Integer number;
    const char* message;
  } cases[] = {
      {SIGINT, 9, "\"interrupted\" signal"},          {SIGILL, 10, "\"illegal instruction\" signal"},
      {SIGFPE, 11, "\"floating point error\" signal"}, {SIGSEGV, 12, "\"segmentation violation\" signal"},
      {SIGBUS, 12, "\"segmentation violation\" signal"}, {SIGTERM, 13, "\"termination request\" signal"},
      {SIGABRT, 14, "\"abnormal termination\" signal"}, {SIGQUIT, 15, "\"quit request\" signal"},
  };
  for (const auto& c : cases)
    EXPECT_EXIT(raise_in_context(c.sig), ::testing::ExitedWithCode(c.number),
                exactly(report(c.number, c.message, 0, "Tests", "RAISER")))
        << "signal " << c.sig;
  const auto abort_now = [] {
    const ErrorContext ctx{"Tests", "ABORTER"};
    std::abort();
  };
  EXPECT_EXIT(abort_now(), ::testing::ExitedWithCode(14),
              exactly(report(14, "\"abnormal termination\" signal", 0, "Tests", "ABORTER")));
}

volatile int g_zero = 0;
int* volatile g_null = nullptr;
volatile int g_depth_limit = 1;

int recurse(volatile char* previous) {
  volatile char frame[512];
  frame[0] = previous[0];
  if (g_depth_limit == 0) return frame[0];
  return recurse(frame) + frame[1];  // not a tail call: every level keeps its frame
}

TEST(FaultsDeathTest, RealFaults) {
  const auto write_null = [] {
    const ErrorContext ctx{"Tests", "WRITER"};
    *g_null = 1;
  };
  EXPECT_EXIT(write_null(), ::testing::ExitedWithCode(12),
              exactly(report(12, "\"segmentation violation\" signal", 0, "Tests", "WRITER")));
  const auto overflow = [] {
    const ErrorContext ctx{"Tests", "RECURSER"};
    volatile char start[1] = {0};
    (void)recurse(start);
  };
  EXPECT_EXIT(overflow(), ::testing::ExitedWithCode(12),
              exactly(report(12, "\"segmentation violation\" signal", 0, "Tests", "RECURSER")));
#if defined(__x86_64__) || defined(__i386__)
  // Integer division by zero traps on this processor (elsewhere it may just give a value).
  const auto divide = [] {
    const ErrorContext ctx{"Tests", "DIVIDER"};
    volatile int q = 7 / g_zero;
    (void)q;
  };
  EXPECT_EXIT(divide(), ::testing::ExitedWithCode(11),
              exactly(report(11, "\"floating point error\" signal", 0, "Tests", "DIVIDER")));
#endif
}

TEST(FaultsDeathTest, FloatingPointArithmeticDoesNotTrap) {
  volatile Double zero = 0.0;
  EXPECT_EQ(1.0 / zero, std::numeric_limits<Double>::infinity());
  EXPECT_TRUE(std::isnan(zero / zero));
}

}  // namespace
