#pragma once
// The widget gallery: every widget of the toolkit in one window, polled by one loop.
// Copy this program to start your own: open the window, create the widgets, then poll
// them in a loop until the window's close request.
#include "Inc/GUI.hpp"

namespace gallery {

inline constexpr Integer kWidth = 800;
inline constexpr Integer kHeight = 352;
inline constexpr const char* kTitle = "Widget Gallery";

// The records of every widget on the window. The toolkit keeps no state of its own: what a
// widget shows and what the user chose lives here.
struct Gallery {
  BUTTON input_button;    // opens the input box
  BUTTON message_button;  // opens the message box
  LABEL answer;           // the last dialog answer
  CHECKBOX grid_box;
  CHECKBOX sound_box;
  Array<RADIOBUTTON> sizes{0, 2};  // a radio group: one array indexed from 0
  TEXTBOX name_field;      // free text
  TEXTBOX number_field;    // digits only
  TEXTBOX password_field;  // shown as stars
  LISTBOX list;            // more items than rows: scroll with the wheel or the up/down keys
  TRACKBAR slider;         // drives the progress bar
  PROGRESSBAR progress;
  LABEL slider_label;
  LABEL list_label;    // inside the panel: the chosen list item
  LABEL choice_label;  // inside the panel: check boxes and radio choice
};

// Opens the kWidth x kHeight window and creates every widget.
void open_window(Gallery& g);
// One pass of the polling loop: asks each widget once and runs its handler. Blocks while a
// click is held on a button, while a text field is edited and while a dialog is open.
void poll_widgets(Gallery& g);
// The whole program: opens the window, polls until the close request; returns exit status 0.
int run();

}  // namespace gallery
