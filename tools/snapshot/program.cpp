// Snapshots of one program: its own main.cpp, compiled with main renamed to
// snapshot_program_main, run under the script runner.
#include "surface/snapshot.hpp"

// A program's main takes its command line or nothing; the linker leaves the form it lacks null.
[[gnu::weak]] int snapshot_program_main();
[[gnu::weak]] int snapshot_program_main(int argc, char** argv);

namespace {

// The program as a picture shows it: started without arguments.
int program() {
  int (*const plain)() = snapshot_program_main;
  if (plain != nullptr) return plain();
  char name[] = "snapshot";
  char* argv[] = {name, nullptr};
  return snapshot_program_main(1, argv);
}

}  // namespace

int main(int argc, char** argv) { return snapshot::tool_main(argc, argv, program); }
