#pragma once
// One program session on the headless surface, driven by a snapshot script.
#include <iosfwd>
#include <string>
#include <vector>

#include "script.hpp"

namespace snapshot {

// A program's whole run: window, polling loop until the close request; returns its exit status.
using Program = int (*)();

// How long (virtual ms) a program may go on after the close request before it counts as stuck.
inline constexpr double kGraceMs = 10'000;

// Schedules `events` (plus a close request 100 ms after the last event when there is none and a
// picture to `final_png` at the close request), runs `program` and reports failures to `err`.
// 0 when the program returned 0 and every picture was written, else 1. A program still running
// kGraceMs after the close request ends the process with status 1.
int run_session(Program program, const std::vector<Event>& events, const std::string& final_png, std::ostream& err);

// The command line of one program's snapshot executable: <out.png> [script | -].
int tool_main(int argc, char** argv, Program program);

}  // namespace snapshot
