// A program built from the numerics alone: it links the runtime, never the surface or a backend.
#include <cstdio>

#include "Inc/Mathe.hpp"

int main() {
  KOMPLEX x1, x2;
  QUADGL(1, 0, -4, x1, x2);  // x^2 - 4 = 0
  Array<Double> c(0, 2);
  c[0] = 1, c[1] = 2, c[2] = 3;
  const bool ok = FAK(5) == 120 && x1.RE == 2 && x2.RE == -2 && POLYNOM(c, 2) == 17;
  std::printf("%s\n", ok ? "numerics ok" : "numerics wrong");
  return ok ? 0 : 1;
}
