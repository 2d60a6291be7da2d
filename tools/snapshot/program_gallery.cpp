// Snapshots of the widget gallery.
#include "gallery.hpp"
#include "session.hpp"

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, gallery::run); }
