// The whole program driven by scripted mouse and keys.
#include <algorithm>
#include <string>
#include <vector>

#include "helpers.hpp"

using namespace planet_test;

namespace {

constexpr int kListX = 100, kInnerY = 68, kAllY = 84, kEmptyY = 95;
constexpr int kStopX = 100, kStopY = 120;
constexpr std::uint32_t kEarth = 0x5555FF;

std::vector<std::uint32_t> area() {
  std::vector<std::uint32_t> px;
  for (int y = 10; y <= 510; ++y)
    for (int x = 390; x <= 890; ++x) px.push_back(rgb(x, y));
  return px;
}

// The drawing area still in the background colour; its corner (390..391, 10..15) lies
// in the last cell of the first printed line and is left out.
bool area_untouched() {
  for (int y = 10; y <= 510; ++y)
    for (int x = 390; x <= 890; ++x)
      if (rgb(x, y) != 0xEEEEEE && (x > 391 || y > 15)) return false;
  return true;
}

// x range of the pixels in Earth's colour.
std::pair<int, int> earth_columns() {
  int lo = 10000, hi = -1;
  for (int y = 10; y <= 510; ++y)
    for (int x = 390; x <= 890; ++x)
      if (rgb(x, y) == kEarth) lo = std::min(lo, x), hi = std::max(hi, x);
  return {lo, hi};
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override { fresh_session(); }
};

TEST_F(Program, StartPicture) {
  headless::close_request(10);
  EXPECT_EQ(planets::main_sequence(), 0);
  const auto nothing = [](int, int) { return false; };
  const String line1 = " Modell der neun Planetenbahnen des Sonnensystems";
  EXPECT_TRUE(shows_text(0, 0, line1, 0x000000, nothing));
  EXPECT_TRUE(shows_text(0, 16, " Naeherung: Kreisbahnen", 0x000000, nothing));
  for (int y = 0; y < 32; ++y)  // printed cells: ink or background, nothing else
    for (int x = 0; x < 8 * static_cast<int>(line1.size()); ++x)
      ASSERT_TRUE(rgb(x, y) == 0 || rgb(x, y) == 0xEEEEEE) << x << "," << y;
  EXPECT_TRUE(shows_text(14, 42, "Auswahl:", 0x000000, nothing));
  EXPECT_TRUE(shows_text(14, 60, "Innere Planeten (Merkur bis Mars)", 0x000000, nothing));
  EXPECT_TRUE(shows_text(14, 76, "Alle Planeten (Merkur bis Pluto)", 0x000000, nothing));
  EXPECT_TRUE(shows_text(100, 112, "Simulation Stop", 0x000000, nothing));
  EXPECT_EQ(rgb(11, 111), 0xE5E5E5u);
  EXPECT_EQ(LISTBOX_GETINDEX(LIST_AUSWAHL), -1);
  for (int y = 60; y <= 100; ++y)
    for (int x = 10; x <= 310; ++x) ASSERT_NE(rgb(x, y), 0x00AAEEu);
  EXPECT_TRUE(area_untouched());
}

TEST_F(Program, ClicksThatStartNothing) {
  headless::click(100, kListX, kEmptyY, 60);  // below the two entries
  headless::click(300, kStopX, kStopY, 60);   // Stop while idle
  headless::close_request(500);
  EXPECT_EQ(planets::main_sequence(), 0);
  EXPECT_EQ(LISTBOX_GETINDEX(LIST_AUSWAHL), -1);
  EXPECT_TRUE(area_untouched());
}

TEST_F(Program, StopKeepsLastFrameAndChoosingAgainRestarts) {
  planets::setup_tables(RADIUS, UMLAUFZEIT, FARBE);
  OPENWINDOW_MAIN();
  LISTBOX_SETINDEX(LIST_AUSWAHL, 0);
  const long first = draws_used();
  // About 300 frames, one per pass of the presenter.
  headless::click(headless::now_ms() + 3000, kStopX, kStopY);
  SIMULATION();
  // Earth has gone past half an orbit: left of the origin at pixel 640.
  EXPECT_LT(earth_columns().second, 640);
  expect_star_field(star_field(first));

  // Screen, coordinates and colour are given back; the frame stays while the list is polled.
  Integer l, t, r, b;
  SCREEN_QUERY(11, l, t, r, b);
  EXPECT_EQ(std::vector<Integer>({l, t, r, b}), std::vector<Integer>({0, 0, 899, 519}));
  EXPECT_EQ(SCREEN_MAP_COORD(16, 0), 16.0f);
  EXPECT_EQ(SCREEN_SET_COLOR(0, 0, 3) & 0xFFFFFF, 0xFFFFFF);
  const auto frame = area();
  for (int pass = 0; pass < 5; ++pass) EXPECT_FALSE(LISTBOX_GETEVENT(LIST_AUSWAHL));
  EXPECT_EQ(area(), frame);

  // A new run: the next field, and Earth back near its start at pixel (790, 259).
  headless::click(headless::now_ms() + 10, kStopX, kStopY);
  SIMULATION();
  expect_star_field(star_field(first + 1000));
  EXPECT_GT(earth_columns().first, 760);
}

// A close request made during an animation waits in the key queue behind a plain key; the
// pass after the one that reads that key ends the program, also with the pointer resting on
// the list, whose poll leaves the request where it is.
TEST_F(Program, CloseRequestDuringAnimation) {
  for (const bool on_list : {false, true}) {
    SCOPED_TRACE(on_list);
    fresh_session();
    headless::click(100, kListX, kAllY, 60);
    headless::type(250, "a");
    headless::close_request(260);
    headless::move(300, kStopX, kStopY);
    headless::press(300);
    headless::move(310, on_list ? kListX : 600, on_list ? kEmptyY : 300);
    headless::release(330);
    headless::move(900, 600, 300);
    headless::close_request(1000);
    EXPECT_EQ(planets::main_sequence(), 0);
    EXPECT_FALSE(area_untouched());
    EXPECT_LT(headless::now_ms(), 520);
  }
}

}  // namespace

TEST_F(Program, OffersTheListIdleAndStopWithTheYearCounterWhileRunning) {
  std::vector<std::string> idle, running;
  std::string said;
  const auto names = [](std::vector<std::string>& into) {
    return [&into] {
      for (const surf::Control& c : headless::offered().controls()) into.push_back(c.name);
    };
  };
  headless::at(90, names(idle));
  headless::click(100, kListX, kInnerY, 60);
  headless::at(400, names(running));
  headless::at(400, [&said] { said = headless::offered().status_text(); });
  headless::click(500, kStopX, kStopY, 60);
  headless::close_request(700);
  EXPECT_EQ(planets::main_sequence(), 0);
  EXPECT_EQ(idle, std::vector<std::string>{"Auswahl:"});  // the list, named by the label above it
  EXPECT_EQ(running, std::vector<std::string>{"Simulation Stop"});
  // The counter as drawn in that frame.
  ASSERT_GT(said.size(), 6u);
  EXPECT_EQ(said.substr(said.size() - 6), " Jahre");
}
