#pragma once
// Text in the code page 437 bitmap fonts, and scrolling by text rows.
#include <cstdint>
#include <string>

#include "surface/raster.hpp"

namespace surf {

// The three code page 437 fonts, one byte per glyph row, bit 0 = leftmost pixel.
extern const std::uint8_t kFont8x8[256 * 8];
extern const std::uint8_t kFont8x14[256 * 14];
extern const std::uint8_t kFont8x16[256 * 16];

namespace raster {

// Glyph table for a font height of 8, 14 or 16 (anything else gives the 8x8 font).
const std::uint8_t* font_for(int height) noexcept;

// Ink pixels of text from the top-left corner p, cells 8 pixels apart.
void text(Canvas& c, const Rect& clip, Point p, const std::string& s, const std::uint8_t* font, int font_height,
          std::uint32_t colour, Rows& rows) noexcept;

// Text in opaque cells (ink in fore, the rest in back) from the pixel (x, y), clipped to clip.
void text_cells(Canvas& c, const Rect& clip, int x, int y, const std::string& s, const std::uint8_t* font,
                int font_height, std::uint32_t fore, std::uint32_t back, Rows& rows) noexcept;

// Moves rows `by` pixels up (whole canvas width) and fills the freed rows at the bottom with colour.
void scroll_up(Canvas& c, int by, std::uint32_t colour, Rows& rows) noexcept;

}  // namespace raster
}  // namespace surf
