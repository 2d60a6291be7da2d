// Start values of the orbit program: reading the command line, and a run started from them
// against the same values clicked and typed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/headless.hpp"

namespace {

using Outcome = args::Reading::Outcome;

args::Reading read(const std::vector<std::string>& list) { return args::read(list, orbit::kStartOptions); }

// The start values of a command line, what it wrote to standard output and error, and its exit.
struct CommandLine {
  orbit::StartValues values;
  std::string out, err;
  std::optional<int> exit;
};
CommandLine run_command_line(std::vector<const char*> argv) {
  argv.insert(argv.begin(), "Umlaufbahnen");
  CommandLine c;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  c.values = orbit::start_values("Umlaufbahnen", static_cast<int>(argv.size()), argv.data(), c.exit);
  c.err = testing::internal::GetCapturedStderr();
  c.out = testing::internal::GetCapturedStdout();
  return c;
}

TEST(StartValues, GoodValuesInEitherForm) {
  // The texts go into the fields as given, blanks around them aside.
  EXPECT_EQ(orbit::start_values(read({"--potential=2", "y0=1,5", "--vx0= 0.3 ", "fenster=4e0", "--start"}).values),
            (orbit::StartValues{1, "1,5", "0.3", "4e0", true}));
  EXPECT_EQ(orbit::start_values(read({"start=0", "potential=4,0"}).values), (orbit::StartValues{3, {}, {}, {}, false}));
  // Any finite number is taken, as the field would take it when typed; too small a one is 0.
  for (const char* text : {"y0=-0,25", "y0=1e308", "y0=1e-400", "y0=+.5"})
    EXPECT_EQ(read({text}).outcome, Outcome::Values) << text;
  EXPECT_EQ(orbit::start_values(read({}).values), orbit::StartValues{});
}

TEST(StartValues, EveryBadValueIsNamedInOneLine) {
  for (const char* arg : {"potential=0", "potential=5", "potential=2.5", "potential", "y0=abc", "y0=1,5,3", "y0=1e400",
                          "y0=-inf", "y0=nan", "y0=", "y0", "y0=&H10", "vx0=1 2", "start=2", "start=", "farbe=rot", "--",
                          "", "=1", "-y0=1", "--Y0=1"}) {
    const auto r = read({"potential=2", arg});
    EXPECT_EQ(r.outcome, Outcome::Bad) << arg;
    EXPECT_TRUE(r.line.starts_with("Ungültiger Startwert: ") && r.line.find('\n') == std::string::npos) << r.line;
    EXPECT_TRUE(r.values.empty()) << arg;
  }
  EXPECT_EQ(read({"potential=9"}).line,
            "Ungültiger Startwert: potential=9 (erwartet eine ganze Zahl von 1 bis 4). Es gelten die Voreinstellungen.");
  // A name given twice is a mistake too: which one was meant?
  EXPECT_EQ(read({"y0=1", "--y0=2"}).line,
            "Ungültiger Startwert: y0=2 (y0 ist schon angegeben). Es gelten die Voreinstellungen.");
}

TEST(StartValues, ALongArgumentIsCutBeforeAnUmlautNotInsideIt) {
  // The fuzz target checks that every line is short and printable; here the cut itself.
  const auto r = read({"farbe=" + std::string(53, 'a') + "\xC3\xA4\xC3\xA4"});
  EXPECT_NE(r.line.find("farbe=" + std::string(53, 'a') + "... ("), std::string::npos) << r.line;
}

TEST(StartValues, OneBadValueLeavesAllDefaultsAndOneLineOnStderrHelpEndsWithZero) {
  const auto bad = run_command_line({"--potential=4", "--y0=1,5", "--fenster=unendlich", "--start"});
  EXPECT_EQ(bad.values, orbit::StartValues{});
  EXPECT_EQ(bad.err,
            "Ungültiger Startwert: fenster=unendlich (erwartet eine Zahl wie 1,5 oder -0.3). "
            "Es gelten die Voreinstellungen.\n");
  EXPECT_EQ(std::tuple(bad.out, bad.exit), std::tuple("", std::nullopt));

  const auto help = run_command_line({"y0=abc", "-h"});
  EXPECT_EQ(std::tuple(help.values, help.err, help.exit), std::tuple(orbit::StartValues{}, "", 0));
  EXPECT_TRUE(help.out.starts_with("Aufruf: Umlaufbahnen [--name=Wert ...]\n")) << help.out;
  EXPECT_NE(help.out.find("--start[=0|1]"), std::string::npos);
}

// ---- Sessions --------------------------------------------------------------------------------------

constexpr int kButtonX = 245, kStartY = 230, kStopY = 260;

std::vector<std::uint32_t> screen() {
  std::vector<std::uint32_t> px;
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 1000; ++x) px.push_back(headless::pixel(x, y) & 0xFFFFFF);
  return px;
}

// Presses Stop `steps` steps after the run began (the first poll that finds the drawing area
// black), whenever that is, then closes the window: the same step count in every session.
void stop_after(long steps, double at = 0, std::shared_ptr<long> seen = std::make_shared<long>(-1)) {
  headless::at(at, [steps, seen] {
    const double now = headless::now_ms();
    if (*seen < 0 && (headless::pixel(990, 490) & 0xFFFFFF) == 0) *seen = 0;
    if (*seen >= 0 && ++*seen == steps) {
      headless::click(now, kButtonX, kStopY, 100);
      headless::close_request(now + 300);
      return;
    }
    stop_after(steps, now + 0.001, seen);  // less than one poll's step of the clock
  });
}

// The window after `steps` steps of `o`'s row clicked and texts typed, each field's three
// characters replaced (End, 3 x Backspace).
std::vector<std::uint32_t> typed(const orbit::StartValues& o, long steps) {
  headless::reset();
  headless::click(100, 100, 58 + 16 * *o.potential, 100);
  const std::pair<int, std::string> fields[] = {{140, *o.y0}, {170, *o.vx0}, {200, *o.fenster}};
  for (double at = 400; const auto& [y, text] : fields) {
    headless::click(at, 280, y, 100);
    headless::key(at + 200, KEY_END);
    headless::type(at + 210, "\b\b\b" + text + "\r");
    at += 500;
  }
  headless::click(1900, kButtonX, kStartY, 100);
  stop_after(steps);
  EXPECT_EQ(orbit::main_sequence(), 0);
  return screen();
}

// The same from start values, with the run started by them or by a click on Start.
std::vector<std::uint32_t> linked(orbit::StartValues o, bool start, long steps) {
  headless::reset();
  if (!start) headless::click(300, kButtonX, kStartY, 100);
  stop_after(steps);
  o.start = start;
  EXPECT_EQ(orbit::main_sequence(o), 0);
  return screen();
}

TEST(StartValuesSession, ALinkGivesThePictureOfTheSameValuesClickedAndTyped) {
  const orbit::StartValues orbits[] = {{1, "1,5", "0,6", "2"}, {2, "1", "0.5", "1.2"}, {3, "2", "1", "2.5"}};
  for (const orbit::StartValues& o : orbits) {
    const auto by_hand = typed(o, 20000);
    EXPECT_EQ(std::tuple(POTENTIAL, TEXTBOX_GETTEXT(TEXTBOX_Y0)), std::tuple(*o.potential, *o.y0));
    EXPECT_TRUE(by_hand == linked(o, true, 20000)) << *o.potential;
    EXPECT_EQ(std::tuple(POTENTIAL, TEXTBOX_GETTEXT(TEXTBOX_Y0)), std::tuple(*o.potential, *o.y0));
    EXPECT_TRUE(by_hand == linked(o, false, 20000)) << *o.potential;
    // A few pixels more of the path are another picture.
    EXPECT_FALSE(by_hand == linked(o, true, 20100)) << *o.potential;
  }
}

TEST(StartValuesSession, WithBadValuesTheStartPictureIsTheDefault) {
  headless::reset();
  headless::close_request(100);
  ASSERT_EQ(orbit::main_sequence(), 0);
  const auto plain = screen();
  const auto bad = run_command_line({"--potential=3", "--y0=1,5", "--vx0=1e999", "--start"});
  headless::reset();
  headless::close_request(100);
  ASSERT_EQ(orbit::main_sequence(bad.values), 0);
  EXPECT_TRUE(screen() == plain);
}

}  // namespace
