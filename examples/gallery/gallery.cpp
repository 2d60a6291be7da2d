// The widget gallery: window layout, handlers and the polling loop.
#include "gallery.hpp"

namespace gallery {

namespace {

constexpr const char* kModule = "gallery";

// Redraws a label with a new caption: a label is drawn once and has no SET operation.
void relabel(LABEL& label, const String& caption) {
  label = LABEL_NEW(label.X, label.Y, label.W, label.H, caption);
}

// ---- Handlers: one per widget, run when its GETEVENT reports a click -------------------------

void input_button_event(Gallery& g) {
  const ErrorContext ctx{kModule, "INPUT_BUTTON_EVENT"};
  // Modal: returns when "Ok" is clicked; the picture behind the dialog is restored.
  const String name = INPUTBOX(250, 110, 300, "Input box", "Your name:", TEXTBOX_GETTEXT(g.name_field), 0);
  TEXTBOX_SETTEXT(g.name_field, name);
  relabel(g.answer, "Answer: " + name);
}

void message_button_event(Gallery& g) {
  const ErrorContext ctx{kModule, "MESSAGE_BUTTON_EVENT"};
  static const char* const kAnswers[] = {"Yes", "No", "Not sure"};
  const Integer pressed = MSGBOX(220, 120, 360, "Message box", "Do you like the toolkit?", kAnswers[0],
                                 kAnswers[1], kAnswers[2]);
  relabel(g.answer, String{"Answer: "} + kAnswers[pressed]);
}

void choice_event(Gallery& g) {
  const ErrorContext ctx{kModule, "CHOICE_EVENT"};
  String text = "Grid ";
  text += CHECKBOX_GETCHECK(g.grid_box) == 1 ? "on" : "off";
  text += ", sound ";
  text += CHECKBOX_GETCHECK(g.sound_box) == 1 ? "on" : "off";
  for (Integer i = 0; i <= g.sizes.upper(); ++i)
    if (g.sizes[i].CHECKED == 1) text += ", " + g.sizes[i].CAPTION;
  relabel(g.choice_label, text);
}

void list_event(Gallery& g) {
  const ErrorContext ctx{kModule, "LIST_EVENT"};
  relabel(g.list_label, "List: " + LISTBOX_GETITEM(g.list, LISTBOX_GETINDEX(g.list)));
}

void slider_event(Gallery& g) {
  const ErrorContext ctx{kModule, "SLIDER_EVENT"};
  // The progress bar ignores values outside its range; both share 0..100 here.
  const Integer value = TRACKBAR_GETVALUE(g.slider);
  PROGRESSBAR_SETVALUE(g.progress, value);
  relabel(g.slider_label, "Value: " + STR_FROM_SINGLE(static_cast<Single>(value)));
}

}  // namespace

void open_window(Gallery& g) {
  const ErrorContext ctx{kModule, "OPEN_WINDOW"};
  OPENWINDOW(kWidth, kHeight, kTitle);

  // Left column: frames group the simple widgets. Draw a frame before the widgets inside it.
  FRAME_NEW(10, 16, 290, 80, "Buttons");
  g.input_button = BUTTON_NEW(20, 32, 130, 24, "Input box...");
  g.message_button = BUTTON_NEW(160, 32, 130, 24, "Message box...");
  g.answer = LABEL_NEW(20, 66, 270, 20, "Answer: -");

  FRAME_NEW(10, 112, 290, 44, "Check boxes");
  g.grid_box = CHECKBOX_NEW(20, 126, 130, 20, "Grid");
  g.sound_box = CHECKBOX_NEW(160, 126, 130, 20, "Sound");

  FRAME_NEW(10, 172, 290, 44, "Radio group");
  g.sizes[0] = RADIOBUTTON_NEW(20, 186, 86, 20, "Small");
  g.sizes[1] = RADIOBUTTON_NEW(108, 186, 90, 20, "Medium");
  g.sizes[2] = RADIOBUTTON_NEW(200, 186, 90, 20, "Large");
  RADIOBUTTON_SETCHECK(g.sizes[1], 1);

  FRAME_NEW(10, 232, 290, 104, "Text boxes");
  LABEL_NEW(20, 246, 80, 20, "Text:");
  g.name_field = TEXTBOX_NEW(100, 246, 190, 20, "Hello", 0, MODE_TEXT);
  LABEL_NEW(20, 276, 80, 20, "Digits:");
  g.number_field = TEXTBOX_NEW(100, 276, 190, 20, "42", 0, MODE_DIGITS);
  LABEL_NEW(20, 306, 80, 20, "Secret:");
  g.password_field = TEXTBOX_NEW(100, 306, 190, 20, "secret", 0, MODE_MASKED);

  // Right column: the list, the range widgets and a panel.
  FRAME_NEW(320, 16, 220, 124, "List");
  g.list = LISTBOX_NEW(330, 32, 200, 100);  // 100 \ 16 = 6 rows
  for (Integer i = 1; i <= 12; ++i) LISTBOX_ADD(g.list, "Item " + STR_FROM_SINGLE(static_cast<Single>(i)));
  // Adding follows the newest item; show the list from its top with the first item chosen.
  g.list.TOPINDEX = 0;
  LISTBOX_SETINDEX(g.list, 0);

  FRAME_NEW(560, 16, 230, 124, "Track bar and progress bar");
  g.slider = TRACKBAR_NEW(570, 34, 210, 20);
  g.progress = PROGRESSBAR_NEW(570, 70, 210, 20);
  g.slider_label = LABEL_NEW(570, 104, 210, 20, "Value: 0");

  PANEL_NEW(320, 160, 470, 176, "Panel");
  LABEL_NEW(330, 190, 450, 20, "A panel: a title bar over a grey area.");
  g.list_label = LABEL_NEW(330, 220, 450, 20, "List: " + LISTBOX_GETITEM(g.list, 0));
  g.choice_label = LABEL_NEW(330, 250, 450, 20, "Grid off, sound off, Medium");
  LABEL_NEW(330, 300, 450, 20, "Close the window to quit.");
}

void poll_widgets(Gallery& g) {
  const ErrorContext ctx{kModule, "POLL_WIDGETS"};
  // Each GETEVENT samples the mouse once; the order only matters for overlapping widgets.
  if (BUTTON_GETEVENT(g.input_button)) input_button_event(g);
  if (BUTTON_GETEVENT(g.message_button)) message_button_event(g);
  if (CHECKBOX_GETEVENT(g.grid_box)) choice_event(g);
  if (CHECKBOX_GETEVENT(g.sound_box)) choice_event(g);
  Integer index = -1;
  if (RADIOBUTTON_GETEVENT(g.sizes, index)) choice_event(g);
  // A click on a field places the cursor; the editor then runs until Enter or a click outside.
  if (TEXTBOX_GETEVENT(g.name_field)) TEXTBOX_EDIT(g.name_field);
  if (TEXTBOX_GETEVENT(g.number_field)) TEXTBOX_EDIT(g.number_field);
  if (TEXTBOX_GETEVENT(g.password_field)) TEXTBOX_EDIT(g.password_field);
  // The list also scrolls on the wheel and the up/down keys while the pointer is over it.
  if (LISTBOX_GETEVENT(g.list)) list_event(g);
  // Reported on every pass while the button is held on the track: a drag is a run of events.
  if (TRACKBAR_GETEVENT(g.slider)) slider_event(g);
}

int run() {
  const ErrorContext ctx{kModule, "RUN"};
  rt::start();
  Gallery g;
  open_window(g);
  // No sleep of its own: the list box's poll waits 50 ms, which paces the loop.
  do {
    poll_widgets(g);
  } while (!WINDOW_EVENT_CLOSE());
  return 0;
}

}  // namespace gallery
