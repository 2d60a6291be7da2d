// Entry point of Bahnanalyse.
#include "Bahnanalyse/Bahnanalyse.hpp"

int main() { return bahn::main_sequence(0, "", "", false); }
