#pragma once
// Flood fill.
#include <cstdint>

#include "surface/raster.hpp"

namespace surf::raster {

// Flood fill of the 4-connected region around p that does not have the border colour.
// Returns false when memory for the search ran out (nothing is drawn then).
bool paint(Canvas& c, const Rect& clip, Point p, std::uint32_t colour, std::uint32_t border, Rows& rows) noexcept;

}  // namespace surf::raster
