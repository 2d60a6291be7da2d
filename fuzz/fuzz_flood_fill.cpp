// Flood fill on random pictures in random viewports, compared pixel for pixel with a plain
// breadth-first search of the region: the 4-connected pixels inside the viewport, reached
// from the start pixel without crossing the border colour.
#include <cmath>
#include <cstdint>
#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

#include "fuzz/values.hpp"
#include "surface/headless.hpp"
#include "surface/surface.hpp"

namespace {

// Round half away from zero, as the coordinate transform does; false when the value is no pixel.
bool to_pixel(Single v, long long& out) {
  if (!std::isfinite(v) || std::fabs(v) > 1e9f) return false;
  out = std::llround(static_cast<double>(v));
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto [w, h] = fuzz::open_surface(in, 1, 1);  // one page: no byte is read for it

  // The picture: runs of a few colours, so that borders, holes and corridors appear.
  constexpr Integer kColours[] = {0x000000, 0xFFFFFF, 0x0000FF, 0xFF0000};
  const int palette = in.ConsumeIntegralInRange<int>(2, 4);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w;) {
      const Integer run = in.ConsumeIntegralInRange<Integer>(1, 8);
      const Integer c = kColours[in.ConsumeIntegralInRange<int>(0, palette - 1)];
      SCREEN_LINE(nullptr, static_cast<Single>(x), static_cast<Single>(y), static_cast<Single>(x + run - 1),
                  static_cast<Single>(y), c, 0, 0xFFFF, 0);
      x += run;
    }

  // A viewport that lies at least partly on the surface; without view-screen the start point
  // is relative to its corner.
  long long ox = 0, oy = 0;
  if (in.ConsumeBool()) {
    Integer x1 = in.ConsumeIntegralInRange<Integer>(-4, w + 4), y1 = in.ConsumeIntegralInRange<Integer>(-4, h + 4);
    Integer x2 = in.ConsumeIntegralInRange<Integer>(-4, w + 4), y2 = in.ConsumeIntegralInRange<Integer>(-4, h + 4);
    const bool screen = in.ConsumeBool();
    SCREEN_SET_VIEW(x1, y1, x2, y2, 0, 0, SCREEN_VIEW_NO_FILL | SCREEN_VIEW_NO_BORDER | (screen ? SCREEN_VIEW_SCREEN : 0));
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x1 < w && x2 >= 0 && y1 < h && y2 >= 0 && !screen) {
      ox = std::max(x1, 0);
      oy = std::max(y1, 0);
    }
  }
  Integer left, top, right, bottom;
  SCREEN_QUERY(11, left, top, right, bottom);

  const Single sx = in.ConsumeBool() ? fuzz::coord(in) : static_cast<Single>(in.ConsumeIntegralInRange<int>(-2, 66));
  const Single sy = in.ConsumeBool() ? fuzz::coord(in) : static_cast<Single>(in.ConsumeIntegralInRange<int>(-2, 50));
  const Integer fill = in.ConsumeBool() ? kColours[in.ConsumeIntegralInRange<int>(0, 3)] : fuzz::colour(in);
  Integer border = in.ConsumeBool() ? kColours[in.ConsumeIntegralInRange<int>(0, 3)] : fuzz::colour(in);
  const Integer flags = in.ConsumeBool() ? 0x40000000 : 0;
  if (flags != 0) border = fill;

  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) px[static_cast<std::size_t>(y * w + x)] = headless::pixel(x, y);
  std::vector<std::uint32_t> expected = px;
  long long x0, y0;
  if (to_pixel(sx, x0) && to_pixel(sy, y0)) {
    x0 += ox;
    y0 += oy;
    const std::uint32_t b = static_cast<std::uint32_t>(border);
    if (x0 >= left && x0 <= right && y0 >= top && y0 <= bottom && px[static_cast<std::size_t>(y0 * w + x0)] != b) {
      std::vector<char> seen(px.size(), 0);
      std::deque<std::pair<long long, long long>> queue{{x0, y0}};
      seen[static_cast<std::size_t>(y0 * w + x0)] = 1;
      while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        expected[static_cast<std::size_t>(y * w + x)] = static_cast<std::uint32_t>(fill);
        const long long nx[] = {x - 1, x + 1, x, x};
        const long long ny[] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4; ++k) {
          if (nx[k] < left || nx[k] > right || ny[k] < top || ny[k] > bottom) continue;
          const std::size_t i = static_cast<std::size_t>(ny[k] * w + nx[k]);
          if (seen[i] || px[i] == b) continue;
          seen[i] = 1;
          queue.emplace_back(nx[k], ny[k]);
        }
      }
    }
  }

  SCREEN_PAINT(nullptr, sx, sy, fill, border, {}, 0, 4 | flags);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) fuzz::check(headless::pixel(x, y) == expected[static_cast<std::size_t>(y * w + x)]);
  return 0;
}
