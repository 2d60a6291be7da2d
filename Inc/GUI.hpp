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
// Decimal numbers: the editor takes only what keeps the text a beginning of [+-]digits[(.|,)digits]
// [(e|E)[+-]digits] (an exponent after a digit); shown as typed; read it with STR_READ_DECIMAL.
inline constexpr Integer MODE_DECIMAL = 3;

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

// ---- Track bar -----------------------------------------------------------------------------------
// Draws a track bar with range 0..100 and value 0; returns its record.
TRACKBAR TRACKBAR_NEW(Integer x, Integer y, Integer w, Integer h);
// Stores MIN and MAX; neither VALUE nor the picture changes.
void TRACKBAR_SETRANGE(TRACKBAR& bar, Integer min, Integer max);
// Stores value whatever it is; redraws only when MIN <= value <= MAX.
void TRACKBAR_SETVALUE(TRACKBAR& bar, Integer value);
// VALUE as stored.
Integer TRACKBAR_GETVALUE(TRACKBAR& bar);
// True while the left button alone is held on the track; moves the knob to the pointer, no wait.
Boolean TRACKBAR_GETEVENT(TRACKBAR& bar);
// Draws frame, field and the knob at VALUE.
void DRAWTRACKBAR(TRACKBAR& bar);

// ---- Progress bar --------------------------------------------------------------------------------
// Draws a progress bar with range 0..100 and value 0; returns its record.
PROGRESSBAR PROGRESSBAR_NEW(Integer x, Integer y, Integer w, Integer h);
// Stores MIN and MAX; neither VALUE nor the picture changes.
void PROGRESSBAR_SETRANGE(PROGRESSBAR& bar, Integer min, Integer max);
// Stores value and redraws when MIN <= value <= MAX; any other value is ignored.
void PROGRESSBAR_SETVALUE(PROGRESSBAR& bar, Integer value);
// Paints the field white inside the frame; VALUE is kept.
void PROGRESSBAR_CLEAR(PROGRESSBAR& bar);
// Draws frame, field and the bar up to VALUE.
void DRAWPROGRESSBAR(PROGRESSBAR& bar);

// ---- Containers ----------------------------------------------------------------------------------
// Draws a grey area with a dark blue outline and title bar carrying caption; returns its record.
PANEL PANEL_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);
// Draws a grey outline with caption set into its top edge; returns its record.
FRAME FRAME_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);

// ---- Modal dialogs (the picture behind them is saved on page 1 and put back) -------------------
// Asks for one line of text; returns the field's text when "Ok" is clicked.
String INPUTBOX(Integer x, Integer y, Integer w, const String& title, const String& prompt, const String& text,
                Integer readonly);
// Shows message with one to three buttons (empty button2/button3: none); returns 0, 1 or 2.
Integer MSGBOX(Integer x, Integer y, Integer w, const String& title, const String& message, const String& button1,
               const String& button2, const String& button3);
