// Snapshots of the plot example.
#include "plots_drawing.hpp"
#include "surface/snapshot.hpp"

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, plots_example::run); }
