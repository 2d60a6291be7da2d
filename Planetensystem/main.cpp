// Entry point of the planet program.
#include "Planetensystem/Planetensystem.hpp"

int main() { return planets::main_sequence(); }
