// The start value ansicht: the chosen view starts as a click on its list entry would start it.
#include <algorithm>
#include <string>
#include <vector>

#include "helpers.hpp"

using namespace planet_test;

namespace {

TEST(StartView, TheListEntryByItsNumber) {
  for (const auto& [arg, view] : {std::pair("--ansicht=1", 0), {"ansicht=2", 1}, {"ansicht=3", -1}, {"ansicht=0", -1},
                                  {"ansicht=1,5", -1}, {"potential=1", -1}}) {
    const char* argv[] = {"Planetensystem", arg};
    std::optional<int> exit;
    testing::internal::CaptureStderr();
    EXPECT_EQ(planets::start_view("Planetensystem", 2, argv, exit).value_or(-1), view) << arg;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.starts_with("Ungültiger Startwert: ") && std::count(err.begin(), err.end(), '\n') == 1, view < 0) << err;
    EXPECT_FALSE(exit);
  }
}

// The window after a session whose first animation ran from about 100 to `stop_ms` (virtual ms),
// started by a click on the first entry or by the start value.
std::vector<std::uint32_t> session(bool linked, double stop_ms) {
  fresh_session();
  if (!linked) headless::click(100, 100, 68, 60);
  headless::click(stop_ms, 100, 120, 60);
  headless::close_request(stop_ms + 300);
  EXPECT_EQ(planets::main_sequence(linked ? std::optional<Integer>(0) : std::nullopt), 0);
  EXPECT_EQ(LISTBOX_GETINDEX(LIST_AUSWAHL), 0);
  std::vector<std::uint32_t> px;
  for (int y = 0; y < 520; ++y)
    for (int x = 0; x < 900; ++x) px.push_back(rgb(x, y));
  return px;
}

TEST(StartView, AnsichtOneStartsTheInnerPlanetsAsAClickWould) {
  // Where two clicked runs of different lengths agree (controls, star field, rings, Sun), the
  // linked run must agree too, except where it shows a planet of its own and in the year counter
  // (its digits at the bottom left of the area).
  const auto short_run = session(false, 600), long_run = session(false, 1500);
  const auto link = session(true, 600);
  const auto planet = [](std::uint32_t c) { return c == 0xFFFF55 || c == 0x5555FF || c == 0xAA0000; };
  const auto counter = [](std::size_t i) { return i / 900 >= 490 && i % 900 >= 390 && i % 900 < 600; };
  long agreed = 0, moved = 0;
  for (std::size_t i = 0; i < link.size(); ++i) {
    if (short_run[i] != long_run[i] || (link[i] != short_run[i] && planet(link[i])) || counter(i)) {
      ++moved;
      continue;
    }
    ++agreed;
    ASSERT_EQ(link[i], short_run[i]) << "pixel (" << i % 900 << ", " << i / 900 << ")";
  }
  EXPECT_GT(moved, 20);
  EXPECT_GT(agreed, 460000);
  EXPECT_EQ(link[259 * 900 + 640], 0xFFFF55u);  // the Sun of the inner view
}

}  // namespace
