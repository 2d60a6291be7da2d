// The conformance suite's headless driver, and the judge of the other drivers' results:
//   conformance run <sessions dir>
//     plays every session on the headless backend in-process; at each shot the presenter's
//     picture must equal page 0.
//   conformance check <session> <log> <shot dir> [--no-close]
//     compares what another backend's probe reported (one line each in <log>) and showed
//     (<shot dir>/<shot>.ppm, at any integer scale) with the session's expected lines and with
//     the headless pictures at the same shots. --no-close: the backend has no close request,
//     so the expected lines end before it.
// Exit status 0 when everything matches, 1 when something differs, 2 on a usage error.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "surface/headless.hpp"
#include "surface/snapshot.hpp"
#include "tests/conformance/probe.hpp"

namespace fs = std::filesystem;

namespace {

// Virtual time after the close request by which the probe must have ended.
constexpr double kGraceMs = 10'000;

struct Session {
  std::string name;
  std::vector<snapshot::Event> events;
  std::vector<std::string> expected;  // the probe's lines, from "open" on
};

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, row by row
};

std::string shot_name(const snapshot::Event& e) { return fs::path(e.text).stem().string(); }

std::optional<Session> load(const fs::path& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path.string();
    return std::nullopt;
  }
  Session s;
  s.name = path.stem().string();
  s.expected.push_back("open " + std::to_string(conformance::kWidth) + " " + std::to_string(conformance::kHeight));
  std::string script, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with(">")) {
      s.expected.push_back(line.substr(line.starts_with("> ") ? 2 : 1));
      line.clear();  // keeps the script's line numbers
    }
    script += line + "\n";
  }
  auto events = snapshot::parse(script, error);
  if (!events) {
    error = path.string() + ": " + error;
    return std::nullopt;
  }
  for (std::size_t i = 1; i < events->size(); ++i)
    if ((*events)[i].at_ms < (*events)[i - 1].at_ms) {
      // Real drivers play the lines in order.
      error = path.string() + ": line " + std::to_string((*events)[i].line) + ": time goes back";
      return std::nullopt;
    }
  s.events = std::move(*events);
  return s;
}

// The lines as compared. A script's "wheel 3" may reach the probe at one poll or spread over
// three, so a wheel line that the next one continues in the same direction is left out: only
// where the count settles or turns is compared.
std::vector<std::string> settled(const std::vector<std::string>& lines) {
  const auto count = [](const std::string& l) { return std::atoi(l.c_str() + 6); };
  const auto is_wheel = [](const std::string& l) { return l.starts_with("wheel "); };
  std::vector<std::string> out;
  int before = 0;  // the count before the current line
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!is_wheel(lines[i])) {
      out.push_back(lines[i]);
      continue;
    }
    const int now = count(lines[i]);
    const bool continued = i + 1 < lines.size() && is_wheel(lines[i + 1]) &&
                           (now - before > 0) == (count(lines[i + 1]) - now > 0);
    if (!continued) out.push_back(lines[i]);
    before = now;
  }
  return out;
}

// "" when equal, else both lists with the first difference marked.
std::string compare_logs(const std::vector<std::string>& expected_raw, const std::vector<std::string>& got_raw) {
  const auto expected = settled(expected_raw), got = settled(got_raw);
  if (expected == got) return "";
  std::size_t first = 0;
  while (first < expected.size() && first < got.size() && expected[first] == got[first]) ++first;
  std::ostringstream out;
  out << "the probe's lines differ from line " << first + 1 << " on:\n";
  for (std::size_t i = 0; i < std::max(expected.size(), got.size()); ++i) {
    out << (i == first ? " -> " : "    ");
    std::string e = i < expected.size() ? expected[i] : "(end)";
    e.resize(std::max<std::size_t>(e.size(), 24), ' ');
    out << "expected " << e << "  got " << (i < got.size() ? got[i] : "(end)") << "\n";
  }
  return out.str();
}

// A binary PPM (P6, 8 bits) as ImageMagick and the web driver write it.
std::optional<Picture> read_ppm(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  Picture p;
  if (!(in >> magic >> p.width >> p.height >> maxval) || magic != "P6" || maxval != 255 || p.width <= 0 ||
      p.height <= 0 || p.width > 16384 || p.height > 16384)
    return std::nullopt;
  in.get();  // the one blank after the header
  std::vector<unsigned char> rgb(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 3);
  if (!in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()))) return std::nullopt;
  p.pixels.resize(rgb.size() / 3);
  for (std::size_t i = 0; i < p.pixels.size(); ++i)
    p.pixels[i] = (std::uint32_t{rgb[3 * i]} << 16) | (std::uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
  return p;
}

// "" when `shown` is `reference` at some integer scale (each pixel a block of equal pixels).
std::string compare_pictures(const Picture& reference, const Picture& shown) {
  const int k = shown.width / reference.width;
  if (k < 1 || shown.width != k * reference.width || shown.height != k * reference.height)
    return "shown at " + std::to_string(shown.width) + "x" + std::to_string(shown.height) +
           ", which is no scale of " + std::to_string(reference.width) + "x" + std::to_string(reference.height);
  long differing = 0;
  std::string first;
  for (int y = 0; y < shown.height; ++y)
    for (int x = 0; x < shown.width; ++x) {
      const std::uint32_t want = reference.pixels[static_cast<std::size_t>((y / k) * reference.width + x / k)];
      const std::uint32_t got = shown.pixels[static_cast<std::size_t>(y * shown.width + x)];
      if (got == want) continue;
      if (differing++ == 0) {
        char text[96];
        std::snprintf(text, sizeof text, "first at surface pixel (%d, %d): %06X, expected %06X", x / k, y / k,
                      static_cast<unsigned>(got), static_cast<unsigned>(want));
        first = text;
      }
    }
  return differing == 0 ? "" : std::to_string(differing) + " pixels differ, " + first;
}

struct Run {
  int status = 0;
  std::vector<std::string> log;
  std::map<std::string, Picture> page, shown;  // by shot
};

Picture capture(std::uint32_t (*read)(int, int)) {
  Picture p{conformance::kWidth, conformance::kHeight, {}};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) p.pixels.push_back(read(x, y) & 0xFFFFFF);
  return p;
}

// Plays `s` on the headless backend with the probe in this process.
Run play(const Session& s) {
  headless::reset();
  Run run;
  conformance::set_log([&run](const std::string& line) { run.log.push_back(line); });
  double close_ms = -1, last_ms = 0;
  for (const snapshot::Event& e : s.events) {
    snapshot::schedule(e);
    last_ms = e.at_ms;
    if (e.verb == snapshot::Verb::Close) close_ms = e.at_ms;
    if (e.verb == snapshot::Verb::Shot)
      headless::at(e.at_ms, [&run, name = shot_name(e)] {
        run.page[name] = capture(headless::pixel);
        run.shown[name] = capture(headless::shown_pixel);
      });
  }
  if (close_ms < 0) headless::close_request(close_ms = last_ms + 100);
  headless::at(close_ms + kGraceMs, [] {
    std::fprintf(stderr, "conformance: the probe still runs %.0f ms after the close request\n", kGraceMs);
    std::fflush(nullptr);
    std::_Exit(1);  // the probe's stack is live below this point
  });
  run.status = conformance::probe();
  conformance::set_log(nullptr);
  return run;
}

// Failures of the headless backend itself on `s`, one per line.
std::string run_headless(const Session& s) {
  const Run run = play(s);
  std::string failures = compare_logs(s.expected, run.log);
  if (run.status != 0) failures += "the probe ended with status " + std::to_string(run.status) + "\n";
  for (const snapshot::Event& e : s.events) {
    if (e.verb != snapshot::Verb::Shot) continue;
    const std::string name = shot_name(e);
    if (!run.page.count(name)) failures += "shot " + name + ": the probe had ended\n";
    else if (const std::string d = compare_pictures(run.page.at(name), run.shown.at(name)); !d.empty())
      failures += "shot " + name + ": the presenter's picture is not page 0: " + d + "\n";
  }
  return failures;
}

// Failures of another backend on `s`, as its driver recorded them.
std::string check(const Session& s, const fs::path& log_file, const fs::path& shots, bool no_close) {
  std::vector<std::string> expected = s.expected;
  if (no_close && !expected.empty() && expected.back() == "close") expected.pop_back();
  std::vector<std::string> got;
  std::ifstream in(log_file, std::ios::binary);
  for (std::string line; std::getline(in, line);) got.push_back(line);
  std::string failures = compare_logs(expected, got);
  const Run reference = play(s);
  for (const snapshot::Event& e : s.events) {
    if (e.verb != snapshot::Verb::Shot) continue;
    const std::string name = shot_name(e);
    const fs::path file = shots / (name + ".ppm");
    const auto shown = read_ppm(file);
    if (!shown) failures += "shot " + name + ": no readable picture in " + file.string() + "\n";
    else if (!reference.page.count(name)) failures += "shot " + name + ": no headless picture\n";
    else if (const std::string d = compare_pictures(reference.page.at(name), *shown); !d.empty())
      failures += "shot " + name + ": " + d + "\n";
  }
  return failures;
}

int usage() {
  std::cerr << "usage: conformance run <sessions dir>\n"
               "       conformance check <session> <log> <shot dir> [--no-close]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  if (args.size() == 2 && args[0] == "run") {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(args[1], ec))
      if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (ec || files.empty()) {
      std::cerr << "conformance: no sessions in " << args[1] << "\n";
      return 2;
    }
    int failed = 0;
    for (const fs::path& file : files) {
      const auto s = load(file, error);
      const std::string failures = s ? run_headless(*s) : error + "\n";
      std::cout << (failures.empty() ? "ok: " : "FAIL: ") << file.stem().string() << "\n" << failures;
      failed += failures.empty() ? 0 : 1;
    }
    return failed == 0 ? 0 : 1;
  }
  if ((args.size() == 4 || (args.size() == 5 && args[4] == "--no-close")) && args[0] == "check") {
    const auto s = load(args[1], error);
    if (!s) {
      std::cerr << "conformance: " << error << "\n";
      return 2;
    }
    const std::string failures = check(*s, args[2], args[3], args.size() == 5);
    std::cout << (failures.empty() ? "ok: " : "FAIL: ") << s->name << "\n" << failures;
    return failures.empty() ? 0 : 1;
  }
  return usage();
}
