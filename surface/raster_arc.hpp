#pragma once
// Elliptic arcs.
#include <cstdint>

#include "surface/raster.hpp"

namespace surf::raster {

// Arc from angle start to end (radians, counter-clockwise on screen); a negative angle also
// draws the radius line to that end.
void arc(Canvas& c, const Rect& clip, Point centre, double a, double b, double start, double end,
         std::uint32_t colour, Rows& rows) noexcept;

}  // namespace surf::raster
