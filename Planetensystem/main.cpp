// Entry point of the planet program.
#include "Planetensystem/Planetensystem.hpp"

int main(int argc, char** argv) {
  std::optional<int> exit;
  const std::optional<Integer> view = planets::start_view("Planetensystem", argc, argv, exit);
  return exit ? *exit : planets::main_sequence(view);
}
