#pragma once
// The drawing surface in its window, and mouse, keyboard and time services.
// Every operation is called from the program's single thread.
#include <string_view>

#include "surface/key_table.hpp"
#include "surface/types.hpp"

// An off-screen image: a target for primitives and a source for SCREEN_PUT.
struct Image;

// Flag bits of the primitives' flags argument.
inline constexpr Integer SCREEN_FLAG_FORE = static_cast<Integer>(0x80000000u);  // bit 31: use the current colour
inline constexpr Integer SCREEN_FLAG_FORE2 = 0x40000000;                         // bit 30: same, second colour
// Flag bits of SCREEN_SET_VIEW.
inline constexpr Integer SCREEN_VIEW_SCREEN = 1;                                  // bit 0: absolute coordinates
inline constexpr Integer SCREEN_VIEW_NO_BORDER = 0x40000000;                      // bit 30
inline constexpr Integer SCREEN_VIEW_NO_FILL = static_cast<Integer>(0x80000000u); // bit 31
// SCREEN_CLEAR's "mode left out".
inline constexpr Integer SCREEN_CLEAR_DEFAULT = -65536;
// SCREEN_SET_VIEW's reset corner.
inline constexpr Integer SCREEN_VIEW_RESET = -32768;
// The Single that callers pass as the end angle of a full circle (bit pattern 0x40C90FDC).
inline constexpr Single SCREEN_FULL_CIRCLE = 6.283186f;

// ---- Window, state and viewport --------------------------------------------------

// Opens the window and its surface; 0, or 1 for bad arguments or when no window can be made.
Integer SCREEN_OPEN(Integer width, Integer height, Integer depth, Integer pages, Integer flags, Integer rate);
// Sets the window caption from the first 127 bytes of text.
void SCREEN_SET_TITLE(const String& text);
// Chooses the 8x8, 8x14 or 8x16 font from the cell size; 0, or the current grid when both args are <= 0.
Integer SCREEN_SET_TEXT_GRID(Integer columns, Integer rows);
// Sets the given colours (flag bit 0: no fore, bit 1: no back); returns the previous foreground.
Integer SCREEN_SET_COLOR(Integer fore, Integer back, Integer flags);
// Fills with the background colour: 0 whole page (cursor home), 1 viewport, SCREEN_CLEAR_DEFAULT either.
void SCREEN_CLEAR(Integer mode = SCREEN_CLEAR_DEFAULT);
// what 4: p1, p2 = surface size; what 11: viewport left, top, right, bottom (inclusive).
void SCREEN_QUERY(Integer what, Integer& p1, Integer& p2, Integer& p3, Integer& p4);
// Sets the viewport (corners inclusive; all SCREEN_VIEW_RESET: whole surface).
void SCREEN_SET_VIEW(Integer x1, Integer y1, Integer x2, Integer y2, Integer fill, Integer border, Integer flags);
// Sets logical coordinates on the viewport; all four zero switches them off.
void SCREEN_SET_WINDOW(Single x1, Single y1, Single x2, Single y2, Integer screen);
// Converts one coordinate: 0 logical x->pixel, 1 logical y->pixel, 2 pixel->logical x, 3 pixel->logical y.
Single SCREEN_MAP_COORD(Single value, Integer func);
// Increments the lock count; nothing drawn is shown while it is above 0.
void SCREEN_LOCK();
// Marks rows first..last changed (-1, -1: all; last -1: to the bottom) and decrements the lock count.
void SCREEN_UNLOCK(Integer first_row, Integer last_row);
// Copies the viewport rectangle from page `from` to page `to` (-1: page 0); 0, or 1 for a bad page.
Integer SCREEN_COPY_PAGE(Integer from, Integer to);

// ---- Primitives (target nullptr: page 0) ------------------------------------------------

// Sets one pixel; with SCREEN_FLAG_FORE the foreground colour, or the background when preset is 1.
void SCREEN_PSET(Image* target, Single x, Single y, Integer colour, Integer flags = 4, Integer preset = 0);
// The pixel value at (x, y), or -1 outside the viewport.
Integer SCREEN_POINT(Image* target, Single x, Single y);
// type 0 line, 1 rectangle outline, 2 filled rectangle; style is a 16-bit pattern.
void SCREEN_LINE(Image* target, Single x1, Single y1, Single x2, Single y2, Integer colour, Integer type = 0,
                 Integer style = 0xFFFF, Integer flags = 0);
// Circle, ellipse, arc or filled ellipse; nothing for radius <= 0.
void SCREEN_CIRCLE(Image* target, Single x, Single y, Single radius, Integer colour, Single aspect = 0,
                   Single start = 0, Single end = SCREEN_FULL_CIRCLE, Integer fill = 0, Integer flags = 4);
// Flood fill from (x, y) up to the border colour (flag bit 30: border = fill colour).
void SCREEN_PAINT(Image* target, Single x, Single y, Integer colour, Integer border, const String& pattern = {},
                  Integer mode = 0, Integer flags = 4);
// Draws text's ink pixels from the top-left corner (x, y) in the current font; 0, or 1 without a surface.
Integer SCREEN_DRAW_TEXT(Image* target, Single x, Single y, Integer flags, const String& text, Integer colour);
// Prints text at the text cursor in opaque cells, then a new line when newline is 1; scrolls at the bottom.
void SCREEN_PRINT(const String& text, Integer newline = 1);
// A new image filled with colour; nullptr when memory runs out (error 4) or depth is unusable (error 1).
Image* SCREEN_IMAGE_CREATE(Integer width, Integer height, Integer colour, Integer depth = 0, Integer flags = 0);
// Frees an image; nullptr is ignored.
void SCREEN_IMAGE_DESTROY(Image* image);
// Copies image with its top-left corner at (x, y), clipped to the target's viewport; 0, or 1 without a surface or image.
Integer SCREEN_PUT(Image* target, Single x, Single y, const Image* image, Integer flags = 0);

// ---- Input and time ------------------------------------------------------------------------

// Pointer position, wheel count, button bits and clip flag; 0, or 1 with all outputs -1 when
// the window is inactive or the pointer is outside the drawing area.
Integer INPUT_MOUSE(Integer& x, Integer& y, Integer& wheel, Integer& buttons, Integer& clip);
// How the last press stands, wherever the pointer is: 0 while a button is held, 1 when every
// button came up with the pointer in the drawing area, 2 when the last came up outside it or
// while the window was inactive (deactivation lets go of every button). A short press that
// INPUT_MOUSE still reports as held counts as let go.
Integer INPUT_MOUSE_RELEASE();
// The number of the window's close requests waiting in the key queue; nothing is taken.
Integer INPUT_CLOSE_REQUESTS();
// A line editor now takes typed text in the field at (x, y), w x h surface pixels: a device
// without a keyboard opens its own there. Typed text still comes from INPUT_KEY.
void SCREEN_TEXT_INPUT(Integer x, Integer y, Integer w, Integer h);
// The line editor takes no more text: an on-screen keyboard opened for it closes.
void SCREEN_TEXT_INPUT_END();
// Hands on the program's changing status (a counter, a measured value) for a screen reader to
// announce; nothing is drawn.
void SCREEN_STATUS_TEXT(const String& text);
// Takes the oldest key without waiting: one byte, chr(255) + scan byte, or "" when none waits.
String INPUT_KEY();
// As INPUT_KEY, but the window's close request is only looked at: it stays at the front of the
// queue for WINDOW_EVENT_CLOSE, and every reader gets KEY_CLOSE until that takes it.
String INPUT_KEY_KEEP_CLOSE();
// Waits ms milliseconds; from 100 on, returns early when a key comes in (see the key-hit flag).
void TIME_SLEEP(Integer ms);
// Milliseconds on the monotonic clock that TIME_SLEEP waits on (headless: the virtual one); only differences count.
Double TIME_MS();

// ---- Keys as INPUT_KEY returns them ----------------------------------------------------------
// Typed characters are their code page 437 byte; these are the keys with a name.

inline constexpr std::string_view KEY_BACKSPACE = surf::key_text<surf::Key::Backspace>;  // chr(8)
inline constexpr std::string_view KEY_TAB = surf::key_text<surf::Key::Tab>;              // chr(9)
inline constexpr std::string_view KEY_ENTER = surf::key_text<surf::Key::Enter>;          // chr(13)
inline constexpr std::string_view KEY_ESCAPE = surf::key_text<surf::Key::Escape>;        // chr(27)
inline constexpr std::string_view KEY_LEFT = surf::key_text<surf::Key::Left>;            // chr(255) + "K"
inline constexpr std::string_view KEY_RIGHT = surf::key_text<surf::Key::Right>;          // chr(255) + "M"
inline constexpr std::string_view KEY_UP = surf::key_text<surf::Key::Up>;                // chr(255) + "H"
inline constexpr std::string_view KEY_DOWN = surf::key_text<surf::Key::Down>;            // chr(255) + "P"
inline constexpr std::string_view KEY_HOME = surf::key_text<surf::Key::Home>;            // chr(255) + "G"
inline constexpr std::string_view KEY_END = surf::key_text<surf::Key::End>;              // chr(255) + "O"
inline constexpr std::string_view KEY_DELETE = surf::key_text<surf::Key::Delete>;        // chr(255) + "S"
inline constexpr std::string_view KEY_INSERT = surf::key_text<surf::Key::Insert>;        // chr(255) + "R"
inline constexpr std::string_view KEY_PAGEUP = surf::key_text<surf::Key::PageUp>;        // chr(255) + "I"
inline constexpr std::string_view KEY_PAGEDOWN = surf::key_text<surf::Key::PageDown>;    // chr(255) + "Q"
inline constexpr std::string_view KEY_CLOSE = surf::key_text<surf::Key::Close>;          // chr(255) + "k"

// True when key, as INPUT_KEY returned it, is the window's close request.
inline Boolean IS_CLOSE_KEY(std::string_view key) noexcept { return key == KEY_CLOSE; }
