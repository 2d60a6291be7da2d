#pragma once
// Start values: a program's optional settings from its command line, or in the browser from the
// page address (the page turns ?y0=1,5&start=1 into the arguments --y0=1,5 --start=1). Every
// argument must be good, or none is used: a program started with half of what was asked for
// would show something nobody asked for.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "surface/types.hpp"

// One line for the person who started the program about how it was started (a start value it
// cannot use); no runtime error, so never the error report: on the desktop standard error, in
// the browser the page's notice under the picture and the console.
void RUNTIME_NOTICE(const String& line);

namespace args {

// What a start value takes.
enum class Kind {
  Choice,   // a whole number 1..limit (a point or comma with zero decimals is allowed)
  Decimal,  // one finite number, with a point or a comma before the decimals
  Switch,   // 0 or 1; the name alone means 1
};

// One name a program takes, with its line of help.
struct Option {
  std::string_view name;
  Kind kind;
  Integer limit;  // Choice: the highest value; unused otherwise
  std::string_view help;
};

// One start value as given: the option's place in the table, its text with blanks and tabs around
// it cut off, and for Choice and Switch its number.
struct Value {
  std::size_t option = 0;
  std::string text;
  Integer number = 0;
};

// The reading of a whole command line.
struct Reading {
  enum class Outcome { Values, Help, Bad };
  Outcome outcome = Outcome::Values;
  std::vector<Value> values;  // Values only: one per given name, in the order given
  std::string line;           // Bad only: the one line that names the first bad argument
};

// Reads `args` (the program's name left out): each one --name=value or name=value, a Switch also
// its name alone; each name at most once; --help, -h or help anywhere asks for the help.
Reading read(std::span<const std::string> args, std::span<const Option> options);

// The usage line of `program` and one line per option, for --help.
std::string help(std::string_view program, std::span<const Option> options);

// A whole command line of `program` as main gets it: with --help, the help on standard output and
// 0 (the exit status for main; in the browser the help through RUNTIME_NOTICE, no values and
// nullopt); with a bad value, its line through RUNTIME_NOTICE, no values and nullopt; otherwise
// the values and nullopt.
std::optional<int> from_command_line(std::string_view program, int argc, const char* const* argv,
                                     std::span<const Option> options, std::vector<Value>& values);

// The value given for option `option`, or null.
const Value* find(const std::vector<Value>& values, std::size_t option);

}  // namespace args
