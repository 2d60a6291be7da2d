// The record of polled controls on its own, without a window: passes, names, status and JSON.
#include <gtest/gtest.h>

#include <string>

#include "surface/controls.hpp"

namespace {

using surf::Control;
using surf::ControlKind;
using surf::ControlSet;

Control button(int x, const std::string& caption) {
  Control c;
  c.kind = ControlKind::Button;
  c.x = x;
  c.y = 10;
  c.w = 50;
  c.h = 20;
  c.name = caption;
  return c;
}

Control field(int x, int y) {
  Control c;
  c.kind = ControlKind::Field;
  c.x = x;
  c.y = y;
  c.w = 80;
  c.h = 20;
  return c;
}

std::vector<std::string> names(const ControlSet& set) {
  std::vector<std::string> out;
  for (const Control& c : set.controls()) out.push_back(c.name);
  return out;
}

}  // namespace

TEST(ControlSet, ALoopPassOffersWhatItPollsAndDropsWhatItNoLongerPolls) {
  ControlSet set;
  // Idle loop: A, B, A, B ...
  for (int i = 0; i < 3; ++i) {
    set.poll(button(0, "A"));
    set.poll(button(100, "B"));
  }
  EXPECT_EQ(names(set), (std::vector<std::string>{"A", "B"}));
  // A run polls only Stop: A and B stay for two passes, then go.
  set.poll(button(200, "Stop"));
  set.poll(button(200, "Stop"));
  set.poll(button(200, "Stop"));
  EXPECT_EQ(names(set), (std::vector<std::string>{"A", "B", "Stop"}));
  set.poll(button(200, "Stop"));
  EXPECT_EQ(names(set), (std::vector<std::string>{"Stop"}));
}

TEST(ControlSet, AControlPolledEveryOtherPassStaysAndStateChangesShowInTheVersion) {
  ControlSet set;
  for (int i = 0; i < 10; ++i) {
    set.poll(button(0, "A"));
    if (i % 2 == 0) set.poll(button(100, "B"));
  }
  EXPECT_EQ(names(set).size(), 2u);

  const auto before = set.version();
  set.poll(button(0, "A"));  // the same again: nothing new for a page
  EXPECT_EQ(set.version(), before);
  Control renamed = button(0, "A2");
  set.poll(renamed);
  EXPECT_GT(set.version(), before);
  EXPECT_EQ(set.controls()[0].name, "A2");
}

TEST(ControlSet, FieldsAreNamedByTheLabelAtTheirLeftElseJustAbove) {
  ControlSet set;
  set.label({10, 130, 230, 20, "Anfangskoordinate y0:"});
  set.label({10, 100, 120, 20, "far left:"});       // same row as nothing
  set.label({240, 170, 80, 20, "Prompt above"});   // above the second field
  set.label({500, 130, 40, 20, "right of it"});    // starts right of the first field: not its name
  set.poll(field(240, 130));
  set.poll(field(240, 200));
  set.label({300, 400, 100, 20, "too far left"});
  set.poll(field(600, 400));  // no label near: unnamed
  ASSERT_EQ(set.controls().size(), 3u);
  EXPECT_EQ(set.controls()[0].name, "Anfangskoordinate y0:");
  EXPECT_EQ(set.controls()[1].name, "Prompt above");
  EXPECT_EQ(set.controls()[2].name, "");
  // Extreme rectangles neither overflow nor match.
  EXPECT_EQ(set.label_for(2147483647, 2147483647, 2147483647, 2147483647), "");
  EXPECT_EQ(set.label_for(-2147483647 - 1, 0, -5, -5), "");
}

TEST(ControlSet, ARelabelIsNewsTheFirstDrawingIsNot) {
  ControlSet set;
  set.label({10, 10, 100, 20, "Zeit t: 0 s"});
  EXPECT_EQ(set.status_count(), 0u);
  set.label({10, 10, 100, 20, "Zeit t: 0 s"});
  EXPECT_EQ(set.status_count(), 0u);
  set.label({10, 10, 100, 20, "Zeit t: 1 s"});
  EXPECT_EQ(set.status_text(), "Zeit t: 1 s");
  EXPECT_EQ(set.status_count(), 1u);
  set.status(std::string(1000, 'x'));
  EXPECT_EQ(set.status_text().size(), ControlSet::kMaxStatus);
}

TEST(ControlSet, ARunawayLoopCannotGrowTheSetForEver) {
  ControlSet set;
  for (int i = 0; i < 1000; ++i) set.poll(button(i, "B"));
  EXPECT_EQ(set.controls().size(), ControlSet::kMaxControls);
}

TEST(ControlsJson, EscapesWhatAStringMayNotHoldAndSpeaksUtf8) {
  ControlSet set;
  Control list;
  list.kind = ControlKind::List;
  list.items = {"a\"b\\c", std::string("\x01\x7f", 2), "Gr\x94\xe1" "e"};  // code page 437: ö, ß
  list.selected = 2;
  list.rows = 4;
  set.poll(list);
  set.status("tab\there");
  const std::string json = surf::controls_json(set);
  EXPECT_NE(json.find(R"("items":["a\"b\\c")"), std::string::npos) << json;
  EXPECT_NE(json.find("Gr\xc3\xb6\xc3\x9f" "e"), std::string::npos) << json;
  EXPECT_EQ(json.find('\t'), std::string::npos);
  EXPECT_EQ(json.find('\x01'), std::string::npos);
  EXPECT_NE(json.find(R"("kind":"list")"), std::string::npos);
  EXPECT_NE(json.find(R"("selected":2)"), std::string::npos);
}
