// A windowed program built against the installed library: opens, waits for the close request.
#include "Inc/GUI.hpp"

int main() {
  OPENWINDOW(320, 160, "consumer");
  BUTTON_NEW(10, 10, 100, 24, "Ok");
  while (!WINDOW_EVENT_CLOSE()) TIME_SLEEP(10);
  return 0;
}
