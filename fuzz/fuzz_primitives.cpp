// Every drawing primitive with random coordinates (NaN, infinities, huge values, negative
// radii), random viewports and logical windows, on a small surface and on images. Whatever
// the arguments, a primitive on page 0 writes only inside the viewport, and the viewport
// always lies on the surface.
#include <cstdint>
#include <vector>

#include "fuzz/values.hpp"
#include "surface/headless.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

namespace {

using fuzz::coord;
using fuzz::integer;

struct View {
  Integer left, top, right, bottom;
};

View viewport() {
  View v{};
  SCREEN_QUERY(11, v.left, v.top, v.right, v.bottom);
  return v;
}

std::vector<std::uint32_t> snapshot(Integer w, Integer h) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) px[static_cast<std::size_t>(y * w + x)] = headless::pixel(x, y);
  return px;
}

// Pixels outside the viewport are as they were.
void check_outside_unchanged(const std::vector<std::uint32_t>& before, Integer w, Integer h, const View& v) {
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      const bool inside = x >= v.left && x <= v.right && y >= v.top && y <= v.bottom;
      if (!inside) fuzz::check(headless::pixel(x, y) == before[static_cast<std::size_t>(y * w + x)]);
    }
}

String text(FuzzedDataProvider& in) { return in.ConsumeRandomLengthString(24); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto [w, h] = fuzz::open_surface(in, -1, 3);

  Image* image = nullptr;
  for (int op = 0; op < 32 && in.remaining_bytes() > 0; ++op) {
    Image* target = image != nullptr && in.ConsumeIntegralInRange<int>(0, 3) == 0 ? image : nullptr;
    const int kind = in.ConsumeIntegralInRange<int>(0, 17);
    // Operations that may write outside the viewport: the border of a new one, printing,
    // clearing the whole page.
    bool clipped = target == nullptr && kind != 0 && kind != 10;
    const std::vector<std::uint32_t> before = clipped ? snapshot(w, h) : std::vector<std::uint32_t>{};
    const View view = viewport();
    switch (kind) {
      case 0:
        SCREEN_SET_VIEW(integer(in), integer(in), integer(in), integer(in), fuzz::colour(in), fuzz::colour(in),
                        fuzz::flags(in) | (in.ConsumeBool() ? 1 : 0));
        break;
      case 1:
        SCREEN_SET_VIEW(SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, SCREEN_VIEW_RESET, 0, 0, 0);
        break;
      case 2:
        if (in.ConsumeBool())
          SCREEN_SET_WINDOW(coord(in), coord(in), coord(in), coord(in), in.ConsumeBool() ? 1 : 0);
        else
          SCREEN_SET_WINDOW(0, 0, 0, 0, 0);
        break;
      case 3:
        (void)SCREEN_MAP_COORD(coord(in), in.ConsumeIntegralInRange<Integer>(-1, 4));
        break;
      case 4:
        SCREEN_PSET(target, coord(in), coord(in), fuzz::colour(in), fuzz::flags(in), in.ConsumeIntegralInRange<Integer>(0, 1));
        break;
      case 5: {
        const Integer p = SCREEN_POINT(target, coord(in), coord(in));
        (void)p;
        break;
      }
      case 6:
        SCREEN_LINE(target, coord(in), coord(in), coord(in), coord(in), fuzz::colour(in),
                    in.ConsumeIntegralInRange<Integer>(0, 2), in.ConsumeBool() ? 0xFFFF : in.ConsumeIntegral<Integer>(),
                    fuzz::flags(in));
        break;
      case 7:
        SCREEN_CIRCLE(target, coord(in), coord(in), coord(in), fuzz::colour(in), in.ConsumeBool() ? 0 : coord(in),
                      in.ConsumeBool() ? 0 : coord(in), in.ConsumeBool() ? SCREEN_FULL_CIRCLE : coord(in),
                      in.ConsumeIntegralInRange<Integer>(0, 1), fuzz::flags(in));
        break;
      case 8:
        SCREEN_PAINT(target, coord(in), coord(in), fuzz::colour(in), fuzz::colour(in), {}, 0, fuzz::flags(in));
        break;
      case 9:
        (void)SCREEN_DRAW_TEXT(target, coord(in), coord(in), fuzz::flags(in), text(in), fuzz::colour(in));
        break;
      case 10:
        SCREEN_PRINT(text(in), in.ConsumeIntegralInRange<Integer>(0, 1));
        break;
      case 11: {
        const Integer mode = in.ConsumeBool() ? SCREEN_CLEAR_DEFAULT : in.ConsumeIntegralInRange<Integer>(-1, 2);
        SCREEN_CLEAR(mode);
        clipped = clipped && (mode == 1 || mode == SCREEN_CLEAR_DEFAULT);
        break;
      }
      case 12:
        (void)SCREEN_COPY_PAGE(in.ConsumeIntegralInRange<Integer>(-2, 3), in.ConsumeIntegralInRange<Integer>(-2, 3));
        break;
      case 13:
        SCREEN_IMAGE_DESTROY(image);
        image = SCREEN_IMAGE_CREATE(integer(in, -4, 80), integer(in, -4, 80), fuzz::colour(in),
                                    in.ConsumeBool() ? 0 : integer(in, -1, 33), 0);
        break;
      case 14:
        (void)SCREEN_PUT(target, coord(in), coord(in), in.ConsumeBool() ? image : nullptr, 0);
        break;
      case 15:
        (void)SCREEN_SET_TEXT_GRID(integer(in), integer(in));
        break;
      case 16:
        (void)SCREEN_SET_COLOR(fuzz::colour(in), fuzz::colour(in), in.ConsumeIntegralInRange<Integer>(0, 3));
        break;
      case 17:
        SCREEN_LOCK();
        SCREEN_UNLOCK(integer(in), integer(in));
        break;
    }
    if (clipped) check_outside_unchanged(before, w, h, view);

    // The viewport is never empty and never leaves the surface.
    const View v = viewport();
    fuzz::check(0 <= v.left && v.left <= v.right && v.right < w && 0 <= v.top && v.top <= v.bottom && v.bottom < h);
  }
  SCREEN_IMAGE_DESTROY(image);
  return 0;
}
