// Snapshots of one program: its own main.cpp, compiled with main renamed to
// snapshot_program_main, run under the script runner.
#include "surface/snapshot.hpp"

int snapshot_program_main();

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, snapshot_program_main); }
