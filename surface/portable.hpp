#pragma once
// What one of our toolchains' standard libraries lacks, filled in here and nowhere else.
// The desktop build (GCC's library) has all of it and uses the standard's own; the browser
// build's library (Emscripten's libc++ 14) has no <source_location> and no floating-point
// to_chars/from_chars.
#include <charconv>
#include <cstddef>
#include <system_error>
#include <version>

#if defined(__cpp_lib_source_location)
#include <source_location>
#else
// The standard's interface, built on the compiler's builtins, which a default argument
// evaluates at the caller's site just like the library's own.
namespace std {
struct source_location {
  static constexpr source_location current(unsigned line = __builtin_LINE(), unsigned column = __builtin_COLUMN(),
                                           const char* file = __builtin_FILE(),
                                           const char* function = __builtin_FUNCTION()) noexcept {
    source_location s;
    s.line_ = line;
    s.column_ = column;
    s.file_ = file;
    s.function_ = function;
    return s;
  }
  constexpr unsigned line() const noexcept { return line_; }
  constexpr unsigned column() const noexcept { return column_; }
  constexpr const char* file_name() const noexcept { return file_; }
  constexpr const char* function_name() const noexcept { return function_; }

 private:
  unsigned line_ = 0, column_ = 0;
  const char* file_ = "";
  const char* function_ = "";
};
}  // namespace std
#endif

namespace portable {

// "%.<precision>g" of `value` in the C locale into [first, last), as std::to_chars with
// chars_format::general and a precision defines it.
std::to_chars_result to_chars_general(char* first, char* last, double value, int precision) noexcept;

// "%.<precision>f" of `value` in the C locale into [first, last), as std::to_chars with
// chars_format::fixed and a precision defines it.
std::to_chars_result to_chars_fixed(char* first, char* last, double value, int precision) noexcept;

// The decimal number at the start of [first, last), correctly rounded, as std::from_chars with
// chars_format::general reads it: result_out_of_range (value untouched) when the nearest double
// is infinite or a non-zero number rounds to zero; invalid_argument when there is no number.
std::from_chars_result from_chars_general(const char* first, const char* last, double& value);

// Gives the calling thread [base, base + size) as the stack its signal handlers run on; false
// where the platform has no such stacks (the browser, which delivers no processor faults).
bool set_signal_stack(void* base, std::size_t size) noexcept;

// Blocks the calling thread for good (while another thread ends the process); where there is
// only one thread, ends the process with status 255.
[[noreturn]] void block_forever() noexcept;

}  // namespace portable
