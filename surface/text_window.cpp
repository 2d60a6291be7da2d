#include "surface/text_window.hpp"

#include "surface/runtime.hpp"
#include "surface/surface.hpp"

namespace surf {

void open_text_window(Integer width, Integer height, const String& title, Integer fore, Integer back,
                      std::source_location where) {
  rt::start();
  RUNTIME_CHECK(SCREEN_OPEN(width, height, 32, 2, 4, 0), where);
  SCREEN_SET_TITLE(title);
  const Integer columns = width / 8, rows = height / 16;
  const Integer grid = SCREEN_SET_TEXT_GRID(columns, rows);
  // With both counts non-positive the grid call only reports the current grid, and the 8 x 16
  // cell that every text measure assumes was not chosen: an illegal call, not a success.
  RUNTIME_CHECK(columns <= 0 && rows <= 0 ? ERR_ILLEGAL_FUNCTION_CALL : grid, where);
  SCREEN_SET_COLOR(fore, back, 0);
  SCREEN_CLEAR(0);
}

}  // namespace surf
