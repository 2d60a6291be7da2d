// Widgets placed at the far end of the Integer range lie wholly off the surface: creating and
// filling them leaves the picture untouched.
#include <gtest/gtest.h>

#include <limits>

#include "Inc/GUI.hpp"
#include "surface/headless.hpp"

namespace {

int changed_pixels() {
  int n = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 320; ++x) n += (headless::pixel(x, y) & 0xFFFFFFu) != static_cast<std::uint32_t>(COLOR_BACKGROUND);
  return n;
}

TEST(RegressFarWidgets, OffSurfaceWidgetsDrawNothing) {
  headless::reset();
  OPENWINDOW(320, 256, "far");
  constexpr Integer kFar = std::numeric_limits<Integer>::max() - 20;
  constexpr Integer kNear = std::numeric_limits<Integer>::min() + 20;
  TEXTBOX right = TEXTBOX_NEW(kFar, 10, 100, 20, "abc", 0, MODE_TEXT);
  TEXTBOX_SETTEXT(right, "abcdef");
  LISTBOX below = LISTBOX_NEW(10, kFar, 100, 40);
  LISTBOX_ADD(below, "item");
  LISTBOX above = LISTBOX_NEW(10, kNear, 100, 40);
  LISTBOX_ADD(above, "item");
  (void)BUTTON_NEW(kNear, 10, 60, 20, "left");
  EXPECT_EQ(changed_pixels(), 0);
}

}  // namespace
