#pragma once
// The list of module-level state that a new session puts back to its start values. Each module
// that keeps state between calls adds its reset function once; headless::reset() runs them all,
// so that a test, benchmark or tool starts every session as a new process would.
// Used from the program's thread only.

namespace rt {

// Adds `reset` to the list; adding the same function again changes nothing.
void on_reset(void (*reset)());

// Runs every function on the list, the one added last first.
void reset_all();

// Adds its function to the list when constructed, for state at namespace scope:
//   const rt::ResetHook reset_hook{reset_module};
struct ResetHook {
  explicit ResetHook(void (*reset)()) { on_reset(reset); }
};

}  // namespace rt
