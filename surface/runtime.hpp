#pragma once
// The runtime: byte strings, number text, random numbers, the error context, checked arrays,
// the runtime error report and the fault handling. Needs nothing of the surface or a window.
#include <cmath>
#include <concepts>
#include <cstddef>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include "surface/portable.hpp"
#include "surface/types.hpp"

// ---- Strings (all return new strings; arguments are never changed) --------

Integer STR_LEN(const String& s);                          // number of bytes
Integer STR_COMPARE(const String& a, const String& b);     // -1, 0, 1 (unsigned bytes; prefix is less)
Integer STR_ASC(const String& s, Integer position);        // byte at 1-based position, 0 outside
String STR_LEFT(const String& s, Integer n);               // first n bytes
String STR_RIGHT(const String& s, Integer n);              // last n bytes
String STR_MID(const String& s, Integer start, Integer n); // n bytes from start; n < 0: to the end
String STR_FILL(Integer n, const String& s);               // n copies of the first byte of s
String STR_SPACE(Integer n);                               // n blanks

// ---- Number text ------------------------------------------------------------

String STR_FROM_SINGLE(Single value);  // "%.7g" with a three-digit exponent
Double STR_TO_DOUBLE(const String& s); // leading number of s, locale-independent; 0 when none

// For numbers as people type them, with a point or a comma before the decimals.
// value = STR_TO_DOUBLE(text with every comma as a point); true only when all of text, spaces and
// tabs around it aside, is one finite number [+-]digits[(.|,)digits][(e|E)[+-]digits].
Boolean STR_READ_DECIMAL(const String& text, Double& value);
// value rounded to `decimals` (clamped to 0..20) places, all integer digits, `separator` for the
// point; non-finite values as "inf", "-inf", "nan", "-nan".
String STR_FROM_FIXED(Double value, Integer decimals, const String& separator = ".");

// ---- Number conversions -------------------------------------------------------------------

namespace rt {

// The nearest Single to v as IEEE 754 rounds (ties to even): infinite from FLT_MAX plus half an
// ulp (2^103) on, NaN for NaN. A plain cast of a Double beyond the Single range is undefined.
inline Single to_single(Double v) noexcept {
  constexpr Double kOverflow = static_cast<Double>(std::numeric_limits<Single>::max()) + 0x1p103;
  if (v >= kOverflow) return std::numeric_limits<Single>::infinity();
  if (v <= -kOverflow) return -std::numeric_limits<Single>::infinity();
  return static_cast<Single>(v);  // NaN stays NaN
}

// v rounded to the nearest integer with halves to the even neighbour, whatever the current
// rounding mode; NaN and infinities stay as they are.
template <std::floating_point F>
F round_half_even(F v) noexcept {
  const F r = std::round(v);  // halves away from zero; exact, as is r - v
  return std::fabs(r - v) == F(0.5) ? F(2) * std::round(v / F(2)) : r;
}

}  // namespace rt

// ---- Random numbers -----------------------------------------------------------

Double MATH_RANDOM(Single n);  // n != 0: next value in [0, 1); n = 0: previous value

// ---- Runtime errors -----------------------------------------------------------

// Error numbers of the report.
enum RuntimeErrorNumber : Integer {
  ERR_ILLEGAL_FUNCTION_CALL = 1,
  ERR_OUT_OF_MEMORY = 4,
  ERR_OUT_OF_BOUNDS = 6,
  ERR_NULL_POINTER = 7,
};

// Ends the program with the report for `number` at `line` (0: unknown) in the current context.
// None of the reports throws, so callers need no unwinding paths for them.
[[noreturn]] void RUNTIME_ERROR(Integer number, Integer line) noexcept;

// Raises `number` for the caller's source line when `result` is non-zero.
inline void RUNTIME_CHECK(Integer result, std::source_location where = std::source_location::current()) {
  if (result != 0) [[unlikely]]
    RUNTIME_ERROR(result, static_cast<Integer>(where.line()));
}

// The error number recorded by the last surface operation that can fail (0: success).
Integer RUNTIME_LAST_ERROR();
void RUNTIME_SET_LAST_ERROR(Integer number);  // records `number` as the current error

namespace rt {
// Longest report text in bytes.
inline constexpr std::size_t kReportMax = 1023;

// The report text for `number` at `line` (0: unknown) in (module, proc), either of which may be
// null; at most kReportMax bytes.
String format_report(Integer number, Integer line, const char* module, const char* proc);

// The same text written into out[0..cap-1], cut to min(cap - 1, kReportMax) bytes and
// NUL-terminated; returns its length. Allocates nothing and is async-signal-safe.
std::size_t format_report_to(char* out, std::size_t cap, Integer number, Integer line,
                             const char* module, const char* proc) noexcept;

// The innermost registered module and procedure names; null when nothing is registered.
const char* current_module() noexcept;
const char* current_procedure() noexcept;

// Writes the report for `number` (line 0: unknown) in the current context to stderr and ends
// the process at once with that exit status, without running destructors. Async-signal-safe.
[[noreturn]] void abort_with_report(Integer number, Integer line) noexcept;

// Starts the runtime; a program calls it first, and SCREEN_OPEN, OPENWINDOW and INITGFX call it
// before they open a window. It opens /dev/null on each of the descriptors 0..2 that is closed,
// so that no report can land in a file or connection opened later, and installs the handlers
// that turn processor faults and termination signals into reports. Calling it again changes
// nothing.
void start() noexcept;
}  // namespace rt

// Registers a procedure as the innermost error context for its lifetime.
// Use as the first statement: `const ErrorContext ctx{"Inc/GUI", "BUTTON_NEW"};`
class ErrorContext {
 public:
  ErrorContext(const char* module, const char* procedure) noexcept;
  ~ErrorContext();
  ErrorContext(const ErrorContext&) = delete;
  ErrorContext& operator=(const ErrorContext&) = delete;

 private:
  const char* saved_module_;
  const char* saved_procedure_;
};

// ---- Checked arrays -------------------------------------------------------------

// An index that remembers the source line of the statement that uses it.
struct Index {
  Integer value;
  std::source_location where;
  Index(Integer v, std::source_location w = std::source_location::current()) noexcept
      : value(v), where(w) {}
};

namespace rt {
[[noreturn]] void out_of_bounds(const std::source_location& where) noexcept;   // error 6 at where's line
[[noreturn]] void null_procedure(const std::source_location& where) noexcept;  // error 7 at where's line
[[noreturn]] void out_of_memory(const std::source_location& where) noexcept;   // error 4 at where's line
}  // namespace rt

// A one-dimensional array with its own inclusive bounds lower..upper; every access is checked.
template <class T>
class Array {
 public:
  Array() = default;  // empty: bounds 0..-1
  // Bounds lower..upper; an allocation failure raises error 4 for the caller's line.
  Array(Integer lower, Integer upper, std::source_location where = std::source_location::current()) {
    redim(lower, upper, where);
  }

  Integer lower() const noexcept { return lower_; }
  Integer upper() const noexcept { return upper_; }
  Integer size() const noexcept { return static_cast<Integer>(items_.size()); }

  // Element at i; outside lower..upper raises error 6 for the caller's line.
  T& operator[](Index i) { return items_[offset(i)]; }
  const T& operator[](Index i) const { return items_[offset(i)]; }

  // New bounds with every element value-initialised; upper < lower gives an empty array.
  // An allocation failure raises error 4 for the caller's line.
  void redim(Integer lower, Integer upper, std::source_location where = std::source_location::current()) {
    const long long n = static_cast<long long>(upper) - lower + 1;
    try {
      items_.assign(n > 0 ? static_cast<std::size_t>(n) : 0u, T{});
    } catch (const std::bad_alloc&) {
      rt::out_of_memory(where);
    } catch (const std::length_error&) {
      rt::out_of_memory(where);
    }
    lower_ = lower;
    upper_ = upper;
  }

  T* data() noexcept { return items_.data(); }
  const T* data() const noexcept { return items_.data(); }

 private:
  std::size_t offset(const Index& i) const {
    if (i.value < lower_ || i.value > upper_) [[unlikely]]
      rt::out_of_bounds(i.where);
    return static_cast<std::size_t>(static_cast<long long>(i.value) - lower_);
  }

  Integer lower_ = 0;
  Integer upper_ = -1;
  std::vector<T> items_;
};

// A two-dimensional array with inclusive bounds on both indices; every access is checked.
template <class T>
class Array2 {
 public:
  Array2() = default;
  // Bounds lower1..upper1 by lower2..upper2; an allocation failure raises error 4 for the caller's line.
  Array2(Integer lower1, Integer upper1, Integer lower2, Integer upper2,
         std::source_location where = std::source_location::current()) {
    redim(lower1, upper1, lower2, upper2, where);
  }

  Integer lower(int dim) const noexcept { return dim == 1 ? lo1_ : lo2_; }
  Integer upper(int dim) const noexcept { return dim == 1 ? hi1_ : hi2_; }

  T& operator()(Index i, Index j) { return items_[offset(i, j)]; }
  const T& operator()(Index i, Index j) const { return items_[offset(i, j)]; }

  // New bounds with every element value-initialised; an empty range in either dimension gives
  // an empty array. An allocation failure raises error 4 for the caller's line.
  void redim(Integer lower1, Integer upper1, Integer lower2, Integer upper2,
             std::source_location where = std::source_location::current()) {
    const long long n1 = static_cast<long long>(upper1) - lower1 + 1;
    const long long n2 = static_cast<long long>(upper2) - lower2 + 1;
    const bool empty = n1 <= 0 || n2 <= 0;
    // Each extent is at most 2^32, so the product needs an unsigned 64-bit check, not a signed one.
    const unsigned long long count =
        empty ? 0u : static_cast<unsigned long long>(n1) * static_cast<unsigned long long>(n2);
    if (!empty && count / static_cast<unsigned long long>(n1) != static_cast<unsigned long long>(n2))
      rt::out_of_memory(where);
    try {
      items_.assign(static_cast<std::size_t>(count), T{});
    } catch (const std::bad_alloc&) {
      rt::out_of_memory(where);
    } catch (const std::length_error&) {
      rt::out_of_memory(where);
    }
    lo1_ = lower1, hi1_ = upper1, lo2_ = lower2, hi2_ = upper2;
  }

 private:
  std::size_t offset(const Index& i, const Index& j) const {
    if (i.value < lo1_ || i.value > hi1_) [[unlikely]]
      rt::out_of_bounds(i.where);
    if (j.value < lo2_ || j.value > hi2_) [[unlikely]]
      rt::out_of_bounds(j.where);
    const long long n2 = static_cast<long long>(hi2_) - lo2_ + 1;
    return static_cast<std::size_t>((static_cast<long long>(i.value) - lo1_) * n2 +
                                    (static_cast<long long>(j.value) - lo2_));
  }

  Integer lo1_ = 0, hi1_ = -1, lo2_ = 0, hi2_ = -1;
  std::vector<T> items_;
};

// ---- Procedure pointers -------------------------------------------------------------

// Returns f unchanged; a null f raises error 7 for the caller's line. Call as `checked(f)(args...)`.
template <class F>
F checked(F f, std::source_location where = std::source_location::current()) {
  if (f == nullptr) [[unlikely]]
    rt::null_procedure(where);
  return f;
}
