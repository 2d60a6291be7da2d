// Running a program under a snapshot script and writing its pictures.
#include "surface/snapshot.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>

#include "surface/headless.hpp"
#include "surface/runtime.hpp"

namespace snapshot {
namespace {

constexpr double kCloseAfterMs = 100;

struct Shot {
  double at_ms;
  std::string path;
  bool taken = false;
};

bool read_all(std::istream& in, std::string& out) {
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

void schedule(const Event& e) {
  switch (e.verb) {
    case Verb::Click: headless::click(e.at_ms, e.x, e.y, e.hold_ms); break;
    case Verb::Move: headless::move(e.at_ms, e.x, e.y); break;
    case Verb::Leave: headless::leave(e.at_ms); break;
    case Verb::Press: headless::press(e.at_ms, e.x); break;
    case Verb::Release: headless::release(e.at_ms, e.x); break;
    case Verb::Wheel: headless::wheel(e.at_ms, e.x); break;
    case Verb::Key: headless::key(e.at_ms, e.code); break;
    case Verb::Type: headless::type(e.at_ms, e.text); break;
    case Verb::Close: headless::close_request(e.at_ms); break;
    case Verb::Shot: break;  // pictures are taken by whoever runs the session
  }
}

int run_session(Program program, const std::vector<Event>& events, const std::string& final_png, std::ostream& err) {
  const ErrorContext ctx{"snapshot", "RUN_SESSION"};
  headless::reset();

  double close_ms = 0, last_ms = 0;
  bool has_close = false;
  for (const Event& e : events) {
    last_ms = std::max(last_ms, e.at_ms);
    if (e.verb == Verb::Close) {
      has_close = true;
      close_ms = e.at_ms;
    }
  }
  if (!has_close) close_ms = last_ms + kCloseAfterMs;

  // Shots live in a list shared with the scheduled actions. An action runs once its time has
  // come, before the program's next look at the key queue, so the picture at the close request
  // shows the window as the close found it.
  auto shots = std::make_shared<std::vector<Shot>>();
  for (const Event& e : events)
    if (e.verb == Verb::Shot) shots->push_back({e.at_ms, e.text});
  shots->push_back({close_ms, final_png});
  auto failures = std::make_shared<int>(0);
  for (std::size_t i = 0; i < shots->size(); ++i) {
    headless::at((*shots)[i].at_ms, [shots, failures, i, &err] {
      Shot& s = (*shots)[i];
      s.taken = true;
      if (!headless::write_png(s.path)) {
        err << "snapshot: could not write " << s.path << "\n";
        ++*failures;
      }
    });
  }

  for (const Event& e : events) schedule(e);
  if (!has_close) headless::close_request(close_ms);

  headless::at(close_ms + kGraceMs, [close_ms] {
    std::fprintf(stderr,
                 "snapshot: the program was still running %.0f ms after the close request at %.0f ms "
                 "(a simulation that was not stopped?)\n",
                 kGraceMs, close_ms);
    std::fflush(nullptr);
    // The program's stack is live below this point; leave without unwinding it.
    std::_Exit(1);
  });

  const int status = program();
  int result = *failures == 0 ? 0 : 1;
  if (status != 0) {
    err << "snapshot: the program ended with status " << status << "\n";
    result = 1;
  }
  for (const Shot& s : *shots)
    if (!s.taken) {
      err << "snapshot: no picture " << s.path << " at " << s.at_ms << " ms: the program ended at "
          << headless::now_ms() << " ms\n";
      result = 1;
    }
  return result;
}

int tool_main(int argc, char** argv, Program program) {
  const ErrorContext ctx{"snapshot", "TOOL_MAIN"};
  const std::string name = argc > 0 && argv[0] != nullptr ? argv[0] : "snapshot";
  const std::string usage = "usage: " + name + " <out.png> [script | -]";
  if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::cout << usage << "\n\n"
              << "Runs the program in-process on the headless surface with a virtual clock, feeds it\n"
                 "the script's input at virtual times and writes pictures of the window as PNG files.\n"
                 "<out.png> is the picture at the close request. Without a script the program is\n"
                 "closed at 100 ms; '-' reads the script from standard input.\n\n"
              << kScriptHelp;
    return 0;
  }
  if (argc < 2 || argc > 3) {
    std::cerr << usage << "   (--help for the script format)\n";
    return 2;
  }
  std::string text;
  if (argc == 3) {
    const std::string source = argv[2];
    bool ok = false;
    if (source == "-") {
      ok = read_all(std::cin, text);
    } else {
      std::ifstream file(source, std::ios::binary);
      ok = file && read_all(file, text);
    }
    if (!ok) {
      std::cerr << "snapshot: cannot read the script " << source << "\n";
      return 2;
    }
  }
  std::string error;
  const auto events = parse(text, error);
  if (!events) {
    std::cerr << "snapshot: script " << (argc == 3 ? argv[2] : "") << " " << error << "\n";
    return 2;
  }
  return run_session(program, *events, argv[1], std::cerr);
}

}  // namespace snapshot
