// Entry point of Bahnanalyse: the orbit program's start values, from the command line or the
// page address.
#include "Bahnanalyse/Bahnanalyse.hpp"

int main(int argc, char** argv) {
  std::optional<int> exit;
  const orbit::StartValues values = orbit::start_values("Bahnanalyse", argc, argv, exit);
  return exit ? *exit : bahn::main_sequence(values);
}
