// Snapshots of the widget gallery.
#include "gallery.hpp"
#include "surface/snapshot.hpp"

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, gallery::run); }
