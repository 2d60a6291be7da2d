#pragma once
// Scripted pictures of a program on the headless backend. A script of timed clicks, keys and
// shots, one per line, drives the program in-process on the virtual clock, and every shot is
// written as a PNG file. Part of every program linked against the headless backend:
//   int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, my_program); }
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "surface/types.hpp"

namespace snapshot {

enum class Verb { Click, Move, Leave, Press, Release, Wheel, Key, Type, Shot, Close };

// One line of a script.
struct Event {
  double at_ms = 0;   // virtual time, 0 .. kMaxTimeMs
  Verb verb = Verb::Close;
  int x = 0, y = 0;   // Click, Move: pixel; Press, Release: button bit in x; Wheel: notches in x
  double hold_ms = 0;  // Click: time between press and release
  Integer code = 0;    // Key: key code
  std::string text;    // Type: code page 437 bytes; Shot: file path
  int line = 0;        // source line, for messages
};

// Virtual times beyond one day are refused: no session needs them and they only hide typos.
inline constexpr double kMaxTimeMs = 86'400'000;
// Pointer positions are kept to a range far outside any window but safe to add to.
inline constexpr int kMaxCoordinate = 1'000'000;
inline constexpr double kDefaultHoldMs = 100;  // meets at least one poll of a 60 ms loop
// How long (virtual ms) a program may go on after the close request before it counts as stuck.
inline constexpr double kGraceMs = 10'000;

// The events of `text` in line order; on the first bad line, nullopt and `error` = "line N: why".
std::optional<std::vector<Event>> parse(std::string_view text, std::string& error);

// Key code for a name ("enter", "end", "f1", ...) or a decimal code; nullopt when neither.
std::optional<Integer> key_code(std::string_view word);

// The script format, as the help texts show it.
extern const char* const kScriptHelp;

// A program's whole run: window, polling loop until the close request; returns its exit status.
using Program = int (*)();

// Schedules the input of one event on the headless backend (a Shot has none).
void schedule(const Event& e);

// Schedules `events` (plus a close request 100 ms after the last event when there is none and a
// picture to `final_png` at the close request), runs `program` and reports failures to `err`.
// 0 when the program returned 0 and every picture was written, else 1. A program still running
// kGraceMs after the close request ends the process with status 1.
int run_session(Program program, const std::vector<Event>& events, const std::string& final_png, std::ostream& err);

// A picture tool's whole command line, `<name> <out.png> [script | -]` ('-': standard input;
// no script: closed at 100 ms); --help shows the script format. Exit status 0, 1 on a failed
// session, 2 on a usage or script error.
int tool_main(int argc, char** argv, Program program);

}  // namespace snapshot
