// Shows one of each diagram until the window's close button is pressed.
#include "plots_drawing.hpp"

int main() { return plots_example::run(); }
