// The error context, the report text, and the end of the process on errors and faults.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <limits>
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
  EXPECT_EQ(rt::format_report(12, 0, "M", "P"), report(12, "\"segmentation violation\" signal", 0, "M", "P"));
  EXPECT_EQ(rt::format_report(1, 7, "Inc/GUI", nullptr), "\nAborting due to runtime error 1 (illegal function call) at line 7 of Inc/GUI()\n\n");
  EXPECT_EQ(rt::format_report(2, -3, "M", ""), "\nAborting due to runtime error 2 (file not found) in M()\n\n");
  EXPECT_EQ(rt::format_report(17, 5, nullptr, "P"), "\nAborting due to runtime error 17 (end of file) at line 5\n\n");
  EXPECT_EQ(rt::format_report(18, 0, "", nullptr), "\nAborting due to runtime error 18\n\n");
  EXPECT_EQ(rt::format_report(-2147483647 - 1, 2147483647, nullptr, nullptr),
            "\nAborting due to runtime error -2147483648 at line 2147483647\n\n");
  // The limit: long names are cut, small buffers stay terminated.
  EXPECT_EQ(rt::format_report(6, 1, std::string(5000, 'M').c_str(), "P").size(), rt::kReportMax);
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
      EXPECT_STREQ(rt::current_procedure(), "TWO");
    }
    EXPECT_STREQ(rt::current_module(), "A");
    EXPECT_STREQ(rt::current_procedure(), "ONE");
  }
  EXPECT_EQ(rt::current_module(), outer_module);
}

// ---- The end of the process --------------------------------------------------------------

// Runs f as the procedure Tests::proc of a program that started its runtime.
template <class F>
void in_context(const char* proc, F f) {
  rt::start();
  const ErrorContext ctx{"Tests", proc};
  f();
}

// The whole stderr of a process that ended in Tests::proc.
std::string ends_in(Integer number, const char* message, Integer line, const char* proc) {
  return exactly(report(number, message, line, "Tests", proc));
}

using ::testing::ExitedWithCode;
using ErrorsDeathTest = ::testing::Test;

// Each `line` names the line below it, where the body fails.
TEST(ErrorsDeathTest, RaisedAndCheckedErrors) {
  EXPECT_EXIT(in_context("OUTER", [] { RUNTIME_ERROR(1, 42); }), ExitedWithCode(1),
              ends_in(1, "illegal function call", 42, "OUTER"));
  const Integer line = __LINE__ + 1;
  const auto check = [] { RUNTIME_CHECK(4); };
  EXPECT_EXIT(in_context("CHECKER", check), ExitedWithCode(4), ends_in(4, "out of memory", line, "CHECKER"));
  // An exit status is one byte: numbers outside 1..255 must not read as another error or success.
  EXPECT_EXIT(RUNTIME_ERROR(256, 0), ExitedWithCode(255), "error 256\n");
  EXPECT_EXIT(RUNTIME_ERROR(0, 0), ExitedWithCode(255), "error 0\n");
}

TEST(ErrorsDeathTest, IndexOutOfBounds) {
  const Integer grid_line = __LINE__ + 1;
  const auto grid = [] { Array2<int> g(1, 3, -2, 2); g(3, 2) = 1; g(2, -3) = 1; };
  EXPECT_EXIT(in_context("GRID", grid), ExitedWithCode(6), ends_in(6, "out of bounds array access", grid_line, "GRID"));
}

int twice(int x) { return 2 * x; }

TEST(ErrorsDeathTest, NullProcedure) {
  int (*f)(int) = twice;
  EXPECT_EQ(checked(f)(4), 8);
  const Integer line = __LINE__ + 1;
  const auto call = [] { int (*g)(int) = nullptr; (void)checked(g)(1); };
  EXPECT_EXIT(in_context("CALLER", call), ExitedWithCode(7), ends_in(7, "null pointer access", line, "CALLER"));
}

[[noreturn]] void throw_bad_alloc() { throw std::bad_alloc(); }

TEST(ErrorsDeathTest, OutOfMemory) {
  // 2^32 x 2^32 elements: the count itself does not fit in 64 bits.
  const Integer line = __LINE__ + 1;
  const auto two = [] { Array2<char> a; a.redim(-2147483647 - 1, 2147483647, -2147483647 - 1, 2147483647); };
  EXPECT_EXIT(in_context("ALLOC2", two), ExitedWithCode(4), ends_in(4, "out of memory", line, "ALLOC2"));
  // An allocation failure that nobody catches.
  EXPECT_EXIT(in_context("THROWER", []() noexcept { throw_bad_alloc(); }), ExitedWithCode(4),
              ends_in(4, "out of memory", 0, "THROWER"));
}

// ---- Faults ------------------------------------------------------------------------------

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
      {SIGSYS, 10, "\"illegal instruction\" signal"},  {SIGXCPU, 13, "\"termination request\" signal"},
  };
  for (const auto& c : cases)
    EXPECT_EXIT(in_context("RAISER", [&] { std::raise(c.sig); }), ExitedWithCode(c.number),
                ends_in(c.number, c.message, 0, "RAISER"))
        << "signal " << c.sig;
}

// Signals that are no fault of the program keep their default actions.
TEST(FaultsDeathTest, OtherSignalsKeepTheirDefaultActions) {
  const auto check = [] {
    rt::start();
    for (const int sig : {SIGHUP, SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM}) {
      struct sigaction sa{};
      sigaction(sig, nullptr, &sa);
      if (sa.sa_handler != SIG_DFL) std::_Exit(sig);
    }
    std::_Exit(0);
  };
  EXPECT_EXIT(check(), ExitedWithCode(0), "");
}

// Closed standard streams are /dev/null once the runtime has started, so that the report cannot
// go into whatever the program opens next (such as the window system's connection).
TEST(FaultsDeathTest, ClosedStandardStreamsBecomeDevNull) {
  const auto check = [] {
    for (const int fd : {0, 1, 2}) close(fd);
    rt::start();
    struct stat null_stat{};
    stat("/dev/null", &null_stat);
    for (const int fd : {0, 1, 2}) {
      struct stat st{};
      if (fstat(fd, &st) != 0 || st.st_rdev != null_stat.st_rdev || st.st_ino != null_stat.st_ino) std::_Exit(10 + fd);
    }
    std::_Exit(0);
  };
  EXPECT_EXIT(check(), ExitedWithCode(0), "");
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
  const char* segv = "\"segmentation violation\" signal";
  EXPECT_EXIT(in_context("WRITER", [] { *g_null = 1; }), ExitedWithCode(12), ends_in(12, segv, 0, "WRITER"));
  const auto overflow = [] {
    volatile char start[1] = {0};
    (void)recurse(start);
  };
  EXPECT_EXIT(in_context("RECURSER", overflow), ExitedWithCode(12), ends_in(12, segv, 0, "RECURSER"));
#if defined(__x86_64__) || defined(__i386__)
  // Integer division by zero traps on this processor (elsewhere it may just give a value).
  const auto divide = [] {
    volatile int q = 7 / g_zero;
    (void)q;
  };
  EXPECT_EXIT(in_context("DIVIDER", divide), ExitedWithCode(11),
              ends_in(11, "\"floating point error\" signal", 0, "DIVIDER"));
#endif
  // Floating-point arithmetic itself never traps.
  volatile Double zero = 0.0;
  EXPECT_EQ(1.0 / zero, std::numeric_limits<Double>::infinity());
  EXPECT_TRUE(std::isnan(zero / zero));
}

}  // namespace
