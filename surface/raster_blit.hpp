#pragma once
// Copying one block of pixels onto another.
#include "surface/raster.hpp"

namespace surf::raster {

// The pixels blit() writes: src's area with its top-left corner at p, clipped to clip.
Rect blit_box(const Rect& clip, Point p, const Canvas& src) noexcept;

// Copies src (whole) with its top-left corner at p into dst, clipped to clip; src may be dst.
void blit(Canvas& dst, const Rect& clip, Point p, const Canvas& src, Rows& rows) noexcept;

}  // namespace surf::raster
