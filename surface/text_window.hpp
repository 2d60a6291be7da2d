#pragma once
// Opening the window with the 8 x 16 text cell, as the toolkit's OPENWINDOW and the plot helpers'
// INITGFX both do.
#include "surface/portable.hpp"
#include "surface/types.hpp"

namespace surf {

// Starts the runtime, opens a width x height window (32 bits, 2 pages, windowed), sets its
// caption, selects the 8 x 16 cell with width \ 8 columns and height \ 16 rows, sets the colours
// and clears the page. A failure ends the program with the report for the caller's line; a window
// too small for one cell (width < 8 and height < 16) is an illegal function call.
void open_text_window(Integer width, Integer height, const String& title, Integer fore, Integer back,
                      std::source_location where = std::source_location::current());

}  // namespace surf
