#pragma once
// The snapshot script: one timed input event or picture per line, read from text.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "surface/types.hpp"

namespace snapshot {

enum class Verb { Click, Move, Leave, Press, Release, Wheel, Key, Type, Shot, Close };

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

// The events of `text` in line order; on the first bad line, nullopt and `error` = "line N: why".
std::optional<std::vector<Event>> parse(std::string_view text, std::string& error);

// Key code for a name ("enter", "end", "f1", ...) or a decimal code; nullopt when neither.
std::optional<Integer> key_code(std::string_view word);

// The usage text of the tool, with the script format.
extern const char* const kHelp;

}  // namespace snapshot
