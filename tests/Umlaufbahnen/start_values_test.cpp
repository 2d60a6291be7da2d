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

// The start values of a command line, and what it wrote to standard error.
orbit::StartValues from_command_line(std::vector<const char*> argv, std::string& err) {
  argv.insert(argv.begin(), "Umlaufbahnen");
  std::optional<int> exit;
  testing::internal::CaptureStderr();
  const orbit::StartValues values =
      orbit::start_values("Umlaufbahnen", static_cast<int>(argv.size()), argv.data(), exit);
  err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(exit.has_value());
  return values;
}

bool same(const orbit::StartValues& a, const orbit::StartValues& b) {
  return a.potential == b.potential && a.y0 == b.y0 && a.vx0 == b.vx0 && a.fenster == b.fenster && a.start == b.start;
}

TEST(StartValues, GoodValuesInEitherForm) {
  const auto r = read({"--potential=2", "y0=1,5", "--vx0= 0.3 ", "fenster=4e0", "--start"});
  ASSERT_EQ(r.outcome, Outcome::Values) << r.line;
  const orbit::StartValues v = orbit::start_values(r.values);
  // The texts go into the fields as given, blanks around them aside.
  EXPECT_TRUE(same(v, {1, "1,5", "0.3", "4e0", true}));

  EXPECT_EQ(orbit::start_values(read({"start=0", "potential=4,0"}).values).start, false);
  EXPECT_EQ(orbit::start_values(read({"start=1", "potential=4"}).values).potential, 3);
  // Any finite number is taken, as the field would take it when typed; too small a one is 0.
  for (const char* text : {"y0=-0,25", "y0=1e308", "y0=1e-400", "y0=+.5", "y0=0"})
    EXPECT_EQ(read({text}).outcome, Outcome::Values) << text;
  EXPECT_EQ(read({}).outcome, Outcome::Values);
  EXPECT_TRUE(same(orbit::start_values(read({}).values), {}));
}

TEST(StartValues, EveryBadValueIsNamedInOneLine) {
  const char* const bad[] = {
      "potential=0", "potential=5",  "potential=-1", "potential=2.5", "potential=", "potential", "potential=zwei",
      "y0=abc",      "y0=1,5,3",     "y0=1e400",     "y0=-1e999",     "y0=inf",     "y0=nan",    "y0=",
      "y0",          "y0=&H10",      "y0=0x10",      "y0=1.5abc",     "vx0=1 2",    "fenster=,", "start=2",
      "start=ja",    "start=",       "farbe=rot",    "--",            "",           "=1",        "-y0=1",
      "--Y0=1",      "---y0=1",
  };
  for (const char* arg : bad) {
    const auto r = read({arg});
    EXPECT_EQ(r.outcome, Outcome::Bad) << arg;
    EXPECT_TRUE(r.line.starts_with("Ungültiger Startwert: ")) << r.line;
    EXPECT_EQ(r.line.find('\n'), std::string::npos) << r.line;
    EXPECT_TRUE(r.values.empty()) << arg;
  }
  EXPECT_EQ(read({"--potential=2", "--y0=abc"}).line,
            "Ungültiger Startwert: y0=abc (erwartet eine Zahl wie 1,5 oder -0.3). Es gelten die Voreinstellungen.");
  EXPECT_EQ(read({"potential=9"}).line,
            "Ungültiger Startwert: potential=9 (erwartet eine ganze Zahl von 1 bis 4). Es gelten die Voreinstellungen.");
  EXPECT_EQ(read({"farbe=rot"}).line,
            "Ungültiger Startwert: farbe=rot (unbekannter Name; bekannt sind potential, y0, vx0, fenster, start). "
            "Es gelten die Voreinstellungen.");
  // A name given twice is a mistake too: which one was meant?
  EXPECT_EQ(read({"y0=1", "--y0=2"}).line,
            "Ungültiger Startwert: y0=2 (y0 ist schon angegeben). Es gelten die Voreinstellungen.");
}

TEST(StartValues, ALongOrStrangeArgumentStaysOneShortLine) {
  const std::string huge = "y0=" + std::string(100000, '9') + "x";
  const std::string broken = "farbe=" + std::string(53, 'a') + "\xC3\xA4\xC3\xA4";  // an umlaut across the cut
  for (const std::string& arg : {huge, std::string("y0=1\n2\r\x7f"), broken}) {
    const auto r = read({arg});
    ASSERT_EQ(r.outcome, Outcome::Bad);
    EXPECT_LT(r.line.size(), 250u);
    for (const char c : r.line) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7f) << r.line;
  }
  // Cut before the umlaut, not inside it.
  EXPECT_NE(read({broken}).line.find("farbe=" + std::string(53, 'a') + "... ("), std::string::npos);
}

TEST(StartValues, OneBadValueLeavesAllDefaultsAndOneLineOnStderr) {
  std::string err;
  const auto values = from_command_line({"--potential=4", "--y0=1,5", "--fenster=unendlich", "--start"}, err);
  EXPECT_TRUE(same(values, {}));
  EXPECT_EQ(err,
            "Ungültiger Startwert: fenster=unendlich (erwartet eine Zahl wie 1,5 oder -0.3). "
            "Es gelten die Voreinstellungen.\n");

  const auto good = from_command_line({"--potential=4", "--y0=1,5"}, err);
  EXPECT_TRUE(same(good, {3, "1,5", std::nullopt, std::nullopt, false}));
  EXPECT_EQ(err, "");
}

TEST(StartValues, HelpWinsAndEndsWithStatusZero) {
  for (const char* word : {"--help", "-h", "help"}) {
    const char* argv[] = {"Umlaufbahnen", "y0=abc", word};
    std::optional<int> exit;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const auto values = orbit::start_values("Umlaufbahnen", 3, argv, exit);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(exit, 0);
    EXPECT_TRUE(same(values, {}));
    EXPECT_TRUE(out.starts_with("Aufruf: Umlaufbahnen [--name=Wert ...]\n")) << out;
    for (const char* form : {"--potential=1..4", "--y0=Zahl", "--vx0=Zahl", "--fenster=Zahl", "--start[=0|1]"})
      EXPECT_NE(out.find(form), std::string::npos) << form;
  }
}

// ---- Sessions --------------------------------------------------------------------------------------

constexpr int kWidth = 1000, kHeight = 500;
constexpr int kButtonX = 245, kStartY = 230, kStopY = 260, kFieldX = 280, kListX = 100;

std::vector<std::uint32_t> screen() {
  std::vector<std::uint32_t> px;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) px.push_back(headless::pixel(x, y) & 0xFFFFFF);
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

// Clicks the field at row y, replaces its three characters with `text` and presses Enter.
void retype(double at, int y, const std::string& text) {
  headless::click(at, kFieldX, y, 100);
  headless::key(at + 200, KEY_END);
  headless::type(at + 210, "\b\b\b" + text + "\r");
}

struct Orbit {
  Integer potential;
  std::string y0, vx0, fenster;
};

// The window after `steps` steps of `o` typed into the fields and the row clicked.
std::vector<std::uint32_t> typed(const Orbit& o, long steps) {
  headless::reset();
  headless::click(100, kListX, 58 + 16 * o.potential, 100);
  retype(400, 140, o.y0);
  retype(900, 170, o.vx0);
  retype(1400, 200, o.fenster);
  headless::click(1900, kButtonX, kStartY, 100);
  stop_after(steps);
  EXPECT_EQ(orbit::main_sequence(), 0);
  return screen();
}

// The same from start values, with the run started by them or by a click on Start.
std::vector<std::uint32_t> linked(const Orbit& o, bool start, long steps) {
  headless::reset();
  if (!start) headless::click(300, kButtonX, kStartY, 100);
  stop_after(steps);
  EXPECT_EQ(orbit::main_sequence({o.potential, o.y0, o.vx0, o.fenster, start}), 0);
  return screen();
}

TEST(StartValuesSession, ALinkGivesThePictureOfTheSameValuesClickedAndTyped) {
  const Orbit orbits[] = {{1, "1,5", "0,6", "2"}, {2, "1", "0.5", "1.2"}, {3, "2", "1", "2.5"}};
  for (const Orbit& o : orbits) {
    const auto by_hand = typed(o, 20000);
    EXPECT_EQ(TEXTBOX_GETTEXT(TEXTBOX_Y0), o.y0);
    EXPECT_EQ(POTENTIAL, o.potential);
    EXPECT_TRUE(by_hand == linked(o, true, 20000)) << o.potential;
    EXPECT_EQ(TEXTBOX_GETTEXT(TEXTBOX_Y0), o.y0);
    EXPECT_TRUE(by_hand == linked(o, false, 20000)) << o.potential;
    // A few pixels more of the path are another picture.
    EXPECT_FALSE(by_hand == linked(o, true, 20100)) << o.potential;
  }
}

TEST(StartValuesSession, WithoutOrWithBadValuesTheStartPictureIsTheDefault) {
  headless::reset();
  headless::close_request(100);
  ASSERT_EQ(orbit::main_sequence(), 0);
  const auto plain = screen();

  std::string err;
  const auto values = from_command_line({"--potential=3", "--y0=1,5", "--vx0=1e999"}, err);
  EXPECT_NE(err, "");
  headless::reset();
  headless::close_request(100);
  ASSERT_EQ(orbit::main_sequence(values), 0);
  EXPECT_TRUE(screen() == plain);
  EXPECT_EQ(POTENTIAL, 0);
  EXPECT_EQ(TEXTBOX_GETTEXT(TEXTBOX_Y0), "2.0");
}

}  // namespace
