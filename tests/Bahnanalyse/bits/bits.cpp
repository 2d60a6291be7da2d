// Prints the bits of x, y, vx and vy after 10^6 steps of each force law from one start, so that
// the desktop and the browser build can be compared byte for byte.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "Bahnanalyse/messung.hpp"
#include "Umlaufbahnen/Umlaufbahnen.hpp"

namespace {

std::uint64_t bits(Double v) {
  std::uint64_t b = 0;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

}  // namespace

int main() {
  for (Integer p = 0; p < bahn::kPotentiale; ++p) {
    bahn::Messung m;
    bahn::start(m, p, 1.5, 0.55, orbit::kStep);
    for (int i = 0; i < 1000000; ++i) bahn::step(m);
    std::printf("%d %016" PRIx64 " %016" PRIx64 " %016" PRIx64 " %016" PRIx64 " %" PRId64 "\n", p, bits(m.x),
                bits(m.y), bits(m.vx), bits(m.vy), m.pericentres);
  }
  return 0;
}
