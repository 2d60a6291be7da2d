// The line editor fed random keys and clicks on a text box of random size, mode and
// read-only flag. The cursor stays within the text, a read-only box keeps its text, a digits
// box takes no other character, a decimal box that starts empty holds only the characters of a
// number with at most one point or comma, and editing ends at Enter or a click outside.
#include <algorithm>
#include <cstdint>

#include "Inc/GUI.hpp"
#include "fuzz/script.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  headless::reset();
  constexpr Integer kWidth = 256, kHeight = 256;
  OPENWINDOW(kWidth, kHeight, "fuzz");

  const Integer x = fuzz::integer(in, -20, 250), y = fuzz::integer(in, -20, 250);
  const Integer w = fuzz::integer(in, -8, 300), h = fuzz::integer(in, -8, 60);
  const Integer readonly = in.ConsumeBool() ? 0 : fuzz::integer(in, -1, 2);
  const Integer mode = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? fuzz::integer(in, -1, 4)
                                                                  : in.ConsumeIntegralInRange<Integer>(0, 3);
  const String initial = in.ConsumeRandomLengthString(40);
  TEXTBOX box = TEXTBOX_NEW(x, y, w, h, initial, readonly, mode);

  double t = fuzz::script(in, 0, 6, x, y, w, h, kWidth, kHeight);
  const bool clicked = TEXTBOX_GETEVENT(box);
  fuzz::check(box.CURSOR >= 0 && static_cast<std::size_t>(box.CURSOR) <= box.TEXT.size());
  fuzz::check(!clicked || box.TEXT == initial);

  t = fuzz::script(in, std::max(t, headless::now_ms()), 60, x, y, w, h, kWidth, kHeight);
  headless::key(t + 1, 13);
  TEXTBOX_EDIT(box);

  fuzz::check(box.CURSOR >= 0 && static_cast<std::size_t>(box.CURSOR) <= box.TEXT.size());
  if (readonly != 0) fuzz::check(box.TEXT == initial);
  if (mode == MODE_DIGITS && std::all_of(initial.begin(), initial.end(), [](char c) { return c >= '0' && c <= '9'; }))
    fuzz::check(std::all_of(box.TEXT.begin(), box.TEXT.end(), [](char c) { return c >= '0' && c <= '9'; }));
  if (mode == MODE_DECIMAL && initial.empty()) {
    fuzz::check(box.TEXT.find_first_not_of("0123456789+-.,eE") == String::npos);
    fuzz::check(std::count_if(box.TEXT.begin(), box.TEXT.end(), [](char c) { return c == '.' || c == ','; }) <= 1);
  }
  fuzz::check(box.X == x && box.Y == y && box.W == w && box.H == h && box.MODE == mode && box.READONLY == readonly);
  return 0;
}
