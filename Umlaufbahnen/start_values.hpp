#pragma once
// The orbit's start values: the potential, the three field texts and whether to start at once,
// from the command line or the page address. Shared by every program that sets up an orbit the
// way the orbit program's window does.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "surface/arguments.hpp"
#include "surface/types.hpp"

namespace orbit {

// The names, in the order of the table: potential (1..4 in the list's order), y0, vx0, fenster, start.
extern const std::array<args::Option, 5> kStartOptions;

// What the start values ask for; what is not given stays as the window starts.
struct StartValues {
  std::optional<Integer> potential;  // list index 0..3
  std::optional<std::string> y0, vx0, fenster;  // field texts as given (good numbers)
  bool start = false;  // press "Simulation Start" at once

  bool operator==(const StartValues&) const = default;
};

// The start values of a reading's values for kStartOptions.
StartValues start_values(const std::vector<args::Value>& values);

// The start values of `program`'s command line: with --help, the help printed and the exit status
// in `exit`; with a bad value, its line shown and no start values.
StartValues start_values(const char* program, int argc, const char* const* argv, std::optional<int>& exit);

}  // namespace orbit
