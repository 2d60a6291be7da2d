// Snapshots of the orbit program.
#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/snapshot.hpp"

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, orbit::main_sequence); }
