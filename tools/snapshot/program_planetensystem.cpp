// Snapshots of the planet program.
#include "Planetensystem/Planetensystem.hpp"
#include "surface/snapshot.hpp"

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, planets::main_sequence); }
