// Snapshots of the plot example.
#include "Inc/GUI.hpp"
#include "plots_drawing.hpp"
#include "session.hpp"

namespace {

// The example's main loop: draw once, then wait for the close request.
int plots_session() {
  const ErrorContext ctx{"plots", "MAIN"};
  plots_example::open_window();
  plots_example::draw_all();
  while (!WINDOW_EVENT_CLOSE()) TIME_SLEEP(10);
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, plots_session); }
