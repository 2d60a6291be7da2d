// Entry point of the orbit program.
#include "Umlaufbahnen/Umlaufbahnen.hpp"

int main(int argc, char** argv) {
  std::optional<int> exit;
  const orbit::StartValues values = orbit::start_values("Umlaufbahnen", argc, argv, exit);
  return exit ? *exit : orbit::main_sequence(values);
}
