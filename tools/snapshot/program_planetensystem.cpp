// Snapshots of the planet program.
#include "Planetensystem/Planetensystem.hpp"
#include "session.hpp"

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, planets::main_sequence); }
