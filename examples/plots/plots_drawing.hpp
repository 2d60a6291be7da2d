#pragma once
// The example's picture: one of each diagram, each in its own panel.
#include "surface/types.hpp"

namespace plots_example {

inline constexpr Integer kWidth = 960;
inline constexpr Integer kHeight = 720;

// Opens the kWidth x kHeight window, black on white.
void open_window();
// Draws every panel into the open window and leaves viewport and mapping reset.
void draw_all();
// The whole example: opens the window, draws, then waits for the close request; returns 0.
int run();

}  // namespace plots_example
