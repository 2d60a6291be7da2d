#pragma once
// The widget toolkit: plain records drawn on the surface and polled by the program.
#include <span>

#include "surface/runtime.hpp"
#include "surface/surface.hpp"

// ---- Colour scheme -------------------------------------------------------------------
inline constexpr Integer COLOR_BACKGROUND = 0xEEEEEE;
inline constexpr Integer COLOR_BORDER = 0xAAAAAA;
inline constexpr Integer COLOR_BUTTON_FACE = 0xE5E5E5;
inline constexpr Integer COLOR_BUTTON_PRESSED = 0xCCCCDD;
inline constexpr Integer COLOR_FIELD = 0xFFFFFF;
inline constexpr Integer COLOR_TEXT = 0x000000;
inline constexpr Integer COLOR_CURSOR = 0xFF5555;
inline constexpr Integer COLOR_SELECTION = 0x00AAEE;
inline constexpr Integer COLOR_TITLE = 0x0055AA;

// ---- Text modes ------------------------------------------------------------------------
inline constexpr Integer MODE_TEXT = 0;
inline constexpr Integer MODE_DIGITS = 1;
inline constexpr Integer MODE_MASKED = 2;

// ---- Widget records (value semantics; each begins with X, Y, W, H) ----------------------
struct BUTTON {
  Integer X = 0, Y = 0, W = 0, H = 0;
  String CAPTION;
  Integer PRESSED = 0;
};
struct CHECKBOX {
  Integer X = 0, Y = 0, W = 0, H = 0;
  String CAPTION;
  Integer CHECKED = 0;
};
struct RADIOBUTTON {
  Integer X = 0, Y = 0, W = 0, H = 0;
  String CAPTION;
  Integer CHECKED = 0;
};
struct LABEL {
  Integer X = 0, Y = 0, W = 0, H = 0;
  String CAPTION;
};
struct TEXTBOX {
  Integer X = 0, Y = 0, W = 0, H = 0;
  String TEXT;
  Integer READONLY = 0;
  Integer MODE = MODE_TEXT;
  Integer CURSOR = 0;
};
struct LISTBOX {
  Integer X = 0, Y = 0, W = 0, H = 0;
  Array<String> ITEMS{0, 1000};
  Integer MAXINDEX = 0;
  Integer TOPINDEX = 0;
  Integer ROWS = 0;
  Integer INDEX = 0;
};
struct TRACKBAR {
  Integer X = 0, Y = 0, W = 0, H = 0;
  Integer MIN = 0, MAX = 0, VALUE = 0;
};
struct PROGRESSBAR {
  Integer X = 0, Y = 0, W = 0, H = 0;
  Integer MIN = 0, MAX = 0, VALUE = 0;
};
struct PANEL {
  Integer X = 0, Y = 0, W = 0, H = 0;
  String CAPTION;
};
struct FRAME {
  Integer X = 0, Y = 0, W = 0, H = 0;
  String CAPTION;
};

// ---- Window -------------------------------------------------------------------------------
// Opens the width x height window titled `title` with the 8x16 cell, cleared to COLOR_BACKGROUND.
void OPENWINDOW(Integer width, Integer height, const String& title);
// Takes one key; true when it was the window's close request.
Boolean WINDOW_EVENT_CLOSE();
// Draws one text cell inside (x, y)-(x+w, y+h) without touching its edge.
void SETTEXT(Integer x, Integer y, Integer w, Integer h, const String& text, Integer mode, Integer fore,
             Integer back);

// ---- Buttons, check boxes, radio buttons, labels ----------------------------------------------
// Draws a released button and returns its record.
BUTTON BUTTON_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);
// True for a click; shows the pressed face until the release when the viewport is the whole screen.
Boolean BUTTON_GETEVENT(BUTTON& button);
// Draws outline, face (by PRESSED) and the centred caption.
void DRAWBUTTON(BUTTON& button);
// Draws a clear check box cell and returns its record.
CHECKBOX CHECKBOX_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);
// Stores state; redraws the cell for states 0 and 1 only.
void CHECKBOX_SETCHECK(CHECKBOX& box, Integer state);
// True for a click strictly inside; toggles CHECKED when the button goes down.
Boolean CHECKBOX_GETEVENT(CHECKBOX& box);
// CHECKED as stored.
Integer CHECKBOX_GETCHECK(CHECKBOX& box);
// Draws a clear radio button cell and returns its record.
RADIOBUTTON RADIOBUTTON_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);
// Stores state; redraws the cell for states 0 and 1 only.
void RADIOBUTTON_SETCHECK(RADIOBUTTON& button, Integer state);
// True for a click on a member of group (indexed from 0); index receives it, or -1.
Boolean RADIOBUTTON_GETEVENT(std::span<RADIOBUTTON> group, Integer& index);
// The same for a checked array, scanned from index 0 to its upper bound.
Boolean RADIOBUTTON_GETEVENT(Array<RADIOBUTTON>& group, Integer& index);
// Draws a static text cell and returns its record.
LABEL LABEL_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);

// ---- Text box ----------------------------------------------------------------------------------
// Draws the framed field showing text by mode and returns its record with CURSOR 0.
TEXTBOX TEXTBOX_NEW(Integer x, Integer y, Integer w, Integer h, const String& text, Integer readonly,
                    Integer mode);
// Redraws the field with text, then stores it; CURSOR is kept.
void TEXTBOX_SETTEXT(TEXTBOX& box, const String& text);
// A copy of TEXT.
String TEXTBOX_GETTEXT(TEXTBOX& box);
// True for a click on the field; puts CURSOR at the clicked column.
Boolean TEXTBOX_GETEVENT(TEXTBOX& box);
// The modal line editor: runs until Enter or a click outside the field.
void TEXTBOX_EDIT(TEXTBOX& box);

// ---- List box -------------------------------------------------------------------------------------
// Draws the empty framed field and returns an empty list with ROWS = h \ 16.
LISTBOX LISTBOX_NEW(Integer x, Integer y, Integer w, Integer h);
// Appends an item (dropped when 1001 are held) and redraws the rows.
void LISTBOX_ADD(LISTBOX& list, const String& text);
// Removes all items and redraws the rows.
void LISTBOX_CLEAR(LISTBOX& list);
// MAXINDEX: the last item's index, -1 when empty.
Integer LISTBOX_GETMAXINDEX(LISTBOX& list);
// INDEX: the selected item, -1 for none.
Integer LISTBOX_GETINDEX(LISTBOX& list);
// Selects index when it names an item and redraws; any other index is ignored.
void LISTBOX_SETINDEX(LISTBOX& list, Integer index);
// A copy of item index; "" for a negative index; past 1000 the out-of-bounds report.
String LISTBOX_GETITEM(LISTBOX& list, Integer index);
// One pass of mouse, wheel and key input; true when a click chose an item.
Boolean LISTBOX_GETEVENT(LISTBOX& list);
// Redraws the visible rows.
void DISPLAYITEMS(LISTBOX& list);
// The wheel reading shared by all list boxes.
extern Integer LASTWHEEL;

// ---- Internals shared by the widgets ------------------------------------------------------------
namespace gui {

// Saturates a wide intermediate result into the Integer range.
Integer saturate(long long v) noexcept;

// The solid rectangle (x1, y1)-(x2, y2), corners inclusive, in surface pixels: filled or outline.
void box(double x1, double y1, double x2, double y2, Integer colour, bool filled);

// A widget rectangle with inclusive corners (X, Y)-(X+W, Y+H).
struct Rect {
  Integer X, Y, W, H;
};

// Inclusive: edges count as inside; Strict: only the interior does.
enum class Edges { Inclusive, Strict };

// One mouse sample and the click rules applied to it.
struct Click {
  Integer status = 1;  // INPUT_MOUSE's result: 0, or 1 when the pointer is not in the window
  Integer x = -1, y = -1, wheel = -1, buttons = -1;

  // Polls the mouse once.
  static Click poll();
  // True when the poll succeeded and (x, y) lies in r under the edge rule.
  bool inside(const Rect& r, Edges edges) const noexcept;
  // A hit: inside r with the left button alone held.
  bool hits(const Rect& r, Edges edges) const noexcept { return buttons == 1 && inside(r, edges); }
  // Polls, sleeping 1 ms after each poll, until no button is held (a failed poll, -1, keeps waiting).
  static void wait_release();
};

// The click protocol: poll once; on a hit run press(sample), wait for the release, run release()
// and return true; otherwise change nothing and return false.
template <class Press, class Release>
Boolean click_event(const Rect& r, Edges edges, Press&& press, Release&& release) {
  const Click c = Click::poll();
  if (!c.hits(r, edges)) return false;
  press(c);
  Click::wait_release();
  release();
  return true;
}

// The line editor's scroll state for one TEXTBOX_EDIT call.
struct EditView {
  long long columns;   // c = W \ 8
  long long start = 0; // v: index of the first character shown
};

// Applies one key of the line editor to box.TEXT / box.CURSOR and the view.
void edit_key(TEXTBOX& box, EditView& view, const String& key);
// Moves the cursor for a click at x inside the field while editing.
void edit_click(TEXTBOX& box, const EditView& view, Integer x);
// Scrolls one page up (by ROWS, not below 0).
void page_up(LISTBOX& list) noexcept;
// Scrolls one page down so that the last item ends in the last row; false when nothing lay below.
bool page_down(LISTBOX& list) noexcept;

}  // namespace gui

// Track bar, progress bar, panel, frame and the dialogs.
#include "Inc/GUI/controls.hpp"
