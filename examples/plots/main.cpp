// Shows one of each diagram until the window's close button is pressed.
#include "Inc/GUI.hpp"
#include "plots_drawing.hpp"

int main() {
  const ErrorContext ctx{"plots", "MAIN"};
  plots_example::open_window();
  plots_example::draw_all();
  while (!WINDOW_EVENT_CLOSE()) TIME_SLEEP(10);
  return 0;
}
