// Entry point of Pendel.
#include "pendel.hpp"

int main() { return pendel::run(); }
