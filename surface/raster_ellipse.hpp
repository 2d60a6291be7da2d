#pragma once
// Whole ellipses, outlined or filled.
#include <cstdint>

#include "surface/raster.hpp"

namespace surf::raster {

// The whole ellipse with radii a (horizontal) and b (vertical) around the integer centre.
void ellipse(Canvas& c, const Rect& clip, Point centre, double a, double b, std::uint32_t colour, bool fill,
             Rows& rows) noexcept;

}  // namespace surf::raster
