// The probe as a program of its own, for the backends with a real window.
#include "tests/conformance/probe.hpp"

int main() { return conformance::probe(); }
