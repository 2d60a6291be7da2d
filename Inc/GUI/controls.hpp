#pragma once
// Track bar, progress bar, panel, frame and the modal input and message boxes.
// Included by Inc/GUI.hpp; not meant to be included on its own.

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

namespace gui {

// Integer subtraction and product as 32-bit two's complement: overflow wraps instead of being undefined.
constexpr Integer wrap_sub(Integer a, Integer b) noexcept {
  return static_cast<Integer>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
constexpr Integer wrap_mul(Integer a, Integer b) noexcept {
  return static_cast<Integer>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// Knob centre of a track bar at `value`: X + 5 + (value - MIN)*(W - 10) / (MAX - MIN), halves to even.
// Degenerate bars (MIN = MAX or W <= 10) put the knob at its left end X + 5.
long long trackbar_knob(const TRACKBAR& bar, Integer value) noexcept;
// Value under pointer column mx: MIN + (mx - X - 5)*(MAX - MIN) / (W - 10), halves to even,
// saturated to the Integer range; MIN on a degenerate bar.
Integer trackbar_value_at(const TRACKBAR& bar, Integer mx) noexcept;
// Right end of a progress bar at `value`: X + 2 + (value - MIN)*(W - 4) / (MAX - MIN), halves to even.
// Degenerate bars (MIN = MAX or W <= 4) end at X + 2.
long long progress_end(const PROGRESSBAR& bar, Integer value) noexcept;

// The message box buttons: button 1 always, 2 and 3 only with a caption; widths 8*len + 16,
// left edges x+10, x+b1+20 and x+b1+b2+40 (b2 = 0 without button 2), saturated.
struct MsgboxLayout {
  bool shown[3] = {true, false, false};
  Integer x[3] = {};  // left edge of button 1, 2, 3
  Integer w[3] = {};  // width of button 1, 2, 3 (0 when absent)
};
MsgboxLayout msgbox_layout(Integer x, const String& button1, const String& button2, const String& button3) noexcept;
// Left edge of the input box's "Ok" button: x + w/2 - 30, halves to even, saturated.
Integer inputbox_ok_x(Integer x, Integer w) noexcept;

}  // namespace gui
