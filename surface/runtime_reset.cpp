// The list of module resets that headless::reset() runs.
#include <algorithm>
#include <vector>

#include "surface/reset.hpp"

namespace {

// Never destroyed: modules add to it during static initialisation, in any order of their
// translation units, and a reset may still run while static objects go away.
std::vector<void (*)()>& resets() {
  static auto* const list = new std::vector<void (*)()>;
  return *list;
}

}  // namespace

namespace rt {

void on_reset(void (*reset)()) {
  auto& list = resets();
  if (reset != nullptr && std::find(list.begin(), list.end(), reset) == list.end()) list.push_back(reset);
}

void reset_all() {
  const auto& list = resets();
  // By index: a reset may add a function (the random generator adds its own on first use).
  for (std::size_t i = list.size(); i-- > 0;) list[i]();
}

}  // namespace rt
