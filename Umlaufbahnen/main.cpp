// Entry point of the orbit program.
#include "Umlaufbahnen/Umlaufbahnen.hpp"

int main() { return orbit::main_sequence(); }
