#include "Umlaufbahnen/start_values.hpp"

namespace orbit {

const std::array<args::Option, 5> kStartOptions = {{
    {"potential", args::Kind::Choice, 4,
     "Potential in der Reihenfolge der Liste: 1 Kepler, 2 gestörtes Kepler, 3 logarithmisch, 4 Oszillator"},
    {"y0", args::Kind::Decimal, 0, "Anfangskoordinate y0"},
    {"vx0", args::Kind::Decimal, 0, "Anfangsgeschwindigkeit vx0"},
    {"fenster", args::Kind::Decimal, 0, "halbe Breite des gezeigten Ausschnitts (\"Fenstergroesse +/-\")"},
    {"start", args::Kind::Switch, 0, "drückt gleich \"Simulation Start\""},
}};

StartValues start_values(const std::vector<args::Value>& values) {
  StartValues s;
  if (const auto* v = args::find(values, 0)) s.potential = v->number - 1;
  if (const auto* v = args::find(values, 1)) s.y0 = v->text;
  if (const auto* v = args::find(values, 2)) s.vx0 = v->text;
  if (const auto* v = args::find(values, 3)) s.fenster = v->text;
  if (const auto* v = args::find(values, 4)) s.start = v->number == 1;
  return s;
}

StartValues start_values(const char* program, int argc, const char* const* argv, std::optional<int>& exit) {
  std::vector<args::Value> values;
  exit = args::from_command_line(program, argc, argv, kStartOptions, values);
  return start_values(values);
}

}  // namespace orbit
