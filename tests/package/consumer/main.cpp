// Uses the installed library on the headless backend; exit status 0 when the picture is right.
#include <cstdio>

#include "Inc/GUI.hpp"
#include "Inc/Mathe.hpp"
#include "surface/headless.hpp"

int main() {
  headless::reset();
  OPENWINDOW(320, 160, "consumer");
  PROGRESSBAR bar = PROGRESSBAR_NEW(10, 10, 104, 20);
  PROGRESSBAR_SETVALUE(bar, 100);
  PANEL_NEW(10, 50, 200, 80, "Panel");
  const bool ok = (headless::pixel(112, 20) & 0xFFFFFF) == static_cast<unsigned>(COLOR_SELECTION) &&
                  (headless::pixel(113, 20) & 0xFFFFFF) == static_cast<unsigned>(COLOR_FIELD) &&
                  (headless::pixel(100, 55) & 0xFFFFFF) == static_cast<unsigned>(COLOR_TITLE) &&
                  FAK(5) == 120.0;
  std::printf("%s\n", ok ? "picture ok" : "picture wrong");
  return ok ? 0 : 1;
}
