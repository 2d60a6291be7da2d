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
BUTTON BUTTON_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);
// True for a click; shows the pressed face until the release when the viewport is the whole screen.
Boolean BUTTON_GETEVENT(BUTTON& button);
void DRAWBUTTON(BUTTON& button);
CHECKBOX CHECKBOX_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);
void CHECKBOX_SETCHECK(CHECKBOX& box, Integer state);
Boolean CHECKBOX_GETEVENT(CHECKBOX& box);
Integer CHECKBOX_GETCHECK(CHECKBOX& box);
RADIOBUTTON RADIOBUTTON_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);
void RADIOBUTTON_SETCHECK(RADIOBUTTON& button, Integer state);
// True for a click on a member of group (indexed from 0); index receives it, or -1.
Boolean RADIOBUTTON_GETEVENT(std::span<RADIOBUTTON> group, Integer& index);
LABEL LABEL_NEW(Integer x, Integer y, Integer w, Integer h, const String& caption);

// ---- Text box ----------------------------------------------------------------------------------
TEXTBOX TEXTBOX_NEW(Integer x, Integer y, Integer w, Integer h, const String& text, Integer readonly,
                    Integer mode);
void TEXTBOX_SETTEXT(TEXTBOX& box, const String& text);
String TEXTBOX_GETTEXT(TEXTBOX& box);
// True for a click on the field; puts CURSOR at the clicked column.
Boolean TEXTBOX_GETEVENT(TEXTBOX& box);
// The modal line editor: runs until Enter or a click outside the field.
void TEXTBOX_EDIT(TEXTBOX& box);

// ---- List box -------------------------------------------------------------------------------------
LISTBOX LISTBOX_NEW(Integer x, Integer y, Integer w, Integer h);
void LISTBOX_ADD(LISTBOX& list, const String& text);
void LISTBOX_CLEAR(LISTBOX& list);
Integer LISTBOX_GETMAXINDEX(LISTBOX& list);
Integer LISTBOX_GETINDEX(LISTBOX& list);
void LISTBOX_SETINDEX(LISTBOX& list, Integer index);
String LISTBOX_GETITEM(LISTBOX& list, Integer index);
// One pass of mouse, wheel and key input; true when a click chose an item.
Boolean LISTBOX_GETEVENT(LISTBOX& list);
void DISPLAYITEMS(LISTBOX& list);
// The wheel reading shared by all list boxes.
extern Integer LASTWHEEL;
