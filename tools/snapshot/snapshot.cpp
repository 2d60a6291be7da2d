// The snapshot front end: picks the executable of the named program, which lies beside this one
// (each program needs its own, since their module-level names coincide), and runs it.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "programs.hpp"
#include "surface/snapshot.hpp"

namespace {

// The program names, separated by ", ".
std::string program_names() {
  std::string names;
  for (const std::string_view p : kPrograms) names.append(names.empty() ? "" : ", ").append(p);
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::cout << "usage: snapshot <program> <out.png> [script | -]\n\n"
                 "Runs <program> in-process on the headless surface with a virtual clock, feeds it the\n"
                 "script's input at virtual times and writes pictures of the window as PNG files.\n"
                 "<out.png> is the picture at the close request. Without a script the program is closed at\n"
                 "100 ms; '-' reads the script from standard input. Any other program linked against the\n"
                 "headless backend offers the same command line through snapshot::tool_main.\n"
                 "Programs: "
              << program_names() << "\n\n"
              << snapshot::kScriptHelp;
    return 0;
  }
  if (argc < 3 || argc > 4) {
    std::cerr << "usage: snapshot <program> <out.png> [script | -]   (--help for the script format)\n";
    return 2;
  }
  const std::string_view program = argv[1];
  bool known = false;
  for (const std::string_view p : kPrograms) known = known || p == program;
  if (!known) {
    std::cerr << "snapshot: unknown program '" << program << "' (" << program_names() << ")\n";
    return 2;
  }
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) {
    std::cerr << "snapshot: cannot find its own directory: " << ec.message() << "\n";
    return 1;
  }
  const std::string target = (self.parent_path() / ("snapshot_" + std::string(program))).string();
  if (access(target.c_str(), X_OK) != 0) {
    std::cerr << "snapshot: " << program << " is not built into this tool (" << target << " missing)\n";
    return 1;
  }
  std::vector<char*> args{const_cast<char*>(target.c_str())};
  for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  execv(target.c_str(), args.data());
  std::cerr << "snapshot: cannot run " << target << ": " << std::strerror(errno) << "\n";
  return 1;
}
