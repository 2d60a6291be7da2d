// Start values: any command line (arguments split at NUL bytes) is read as all good values or
// one bad one named in one short line, never half of them.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/values.hpp"
#include "surface/arguments.hpp"
#include "surface/runtime.hpp"

namespace {

constexpr args::Option kOptions[] = {
    {"potential", args::Kind::Choice, 4, ""},
    {"y0", args::Kind::Decimal, 0, ""},
    {"start", args::Kind::Switch, 0, ""},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> list(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      list.emplace_back();
    else
      list.back().push_back(static_cast<char>(data[i]));
  }
  const args::Reading r = args::read(list, kOptions);
  using Outcome = args::Reading::Outcome;
  if (r.outcome == Outcome::Bad) {
    fuzz::check(r.values.empty() && r.line.starts_with("Ungültiger Startwert: ") && r.line.size() < 400);
    for (const char c : r.line) fuzz::check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
  } else if (r.outcome == Outcome::Values) {
    fuzz::check(r.values.size() == list.size() && r.line.empty());
    for (const args::Value& v : r.values) {
      Double number = 0;
      if (kOptions[v.option].kind == args::Kind::Decimal) fuzz::check(STR_READ_DECIMAL(v.text, number));
      if (kOptions[v.option].kind == args::Kind::Choice) fuzz::check(v.number >= 1 && v.number <= 4);
      if (kOptions[v.option].kind == args::Kind::Switch) fuzz::check(v.number == 0 || v.number == 1);
    }
  }
  return 0;
}
