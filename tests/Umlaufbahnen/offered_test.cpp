// What the orbit program offers a page in each of its states: the controls its loop polls.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Umlaufbahnen/Umlaufbahnen.hpp"
#include "surface/headless.hpp"

namespace {

using surf::ControlKind;

// The offered controls at `at_ms` as "kind:name" lines, with a list's items, selection and a
// field's text and editing state.
std::shared_ptr<std::vector<std::string>> offered_at(double at_ms) {
  auto seen = std::make_shared<std::vector<std::string>>();
  headless::at(at_ms, [seen] {
    for (const surf::Control& c : headless::offered().controls()) {
      std::string line;
      switch (c.kind) {
        case ControlKind::Button: line = "button:" + c.name; break;
        case ControlKind::List:
          line = "list:" + std::to_string(c.items.size()) + " items, selected " + std::to_string(c.selected);
          break;
        case ControlKind::Field: line = "field:" + c.name + "=" + c.text + (c.editing ? " editing" : ""); break;
        default: line = "other:" + c.name; break;
      }
      seen->push_back(line);
    }
  });
  return seen;
}

using Lines = std::vector<std::string>;

const Lines kIdle = {"list:4 items, selected 0", "field:Anfangskoordinate y0:=2.0",
                     "field:Anfangsgeschwindigkeit vx0:=0.4", "field:Fenstergroesse +/-=3.0",
                     "button:Simulation Start"};

}  // namespace

TEST(Offered, IdleRunEditAndIdleAgain) {
  headless::reset();
  const auto idle = offered_at(90);
  headless::click(100, 245, 230, 100);  // Start
  const auto running = offered_at(240);
  headless::click(300, 245, 260, 100);  // Stop
  const auto lingering = offered_at(450);
  const auto after = offered_at(690);
  headless::click(700, 280, 140, 100);  // the y0 field: its editor runs
  headless::type(850, "5");
  const auto editing = offered_at(900);
  headless::type(950, "\r");
  const auto edited = offered_at(1090);
  headless::close_request(1100);
  EXPECT_EQ(orbit::main_sequence(), 0);

  // Idle: the list, the three fields by their labels and Start; Stop is not polled, so not offered.
  EXPECT_EQ(*idle, kIdle);
  // A run polls Stop alone.
  EXPECT_EQ(*running, Lines{"button:Simulation Stop"});
  // Back in the loop, Stop stays for the loop's next two passes, then goes; everything else as
  // before (in the order of first polls).
  EXPECT_NE(std::find(lingering->begin(), lingering->end(), "button:Simulation Stop"), lingering->end());
  Lines sorted_after = *after, sorted_idle = kIdle;
  std::sort(sorted_after.begin(), sorted_after.end());
  std::sort(sorted_idle.begin(), sorted_idle.end());
  EXPECT_EQ(sorted_after, sorted_idle);
  // The editor polls its field alone, with the text as typed so far.
  EXPECT_EQ(*editing, Lines{"field:Anfangskoordinate y0:=2.05 editing"});
  ASSERT_FALSE(edited->empty());
  EXPECT_NE(std::find(edited->begin(), edited->end(), "field:Anfangskoordinate y0:=2.05"), edited->end());
}
