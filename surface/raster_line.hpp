#pragma once
// Lines and rectangles.
#include <cstdint>

#include "surface/raster.hpp"

namespace surf::raster {

// Line with both end points, clipped to clip without changing the pixels the whole line
// would set; style bit 15 applies to the first pixel, one bit per pixel, repeating.
void line(Canvas& c, const Rect& clip, Point a, Point b, std::uint32_t colour, std::uint16_t style,
          Rows& rows) noexcept;

// Rectangle with corners a, b (any order): outline (style as for lines) or filled.
void rect(Canvas& c, const Rect& clip, Point a, Point b, std::uint32_t colour, bool fill, std::uint16_t style,
          Rows& rows) noexcept;

// Fills r ∩ clip with colour.
void fill_rect(Canvas& c, const Rect& clip, const Rect& r, std::uint32_t colour, Rows& rows) noexcept;

}  // namespace surf::raster
