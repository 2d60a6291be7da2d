// The list box under random adds, clears, selections, wheel turns, keys and clicks. Its
// counters stay consistent, every shown row names a held item, and a click only ever selects
// an item that exists.
#include <cstdint>

#include "Inc/GUI.hpp"
#include "fuzz/script.hpp"

namespace {

void check_state(const LISTBOX& list) {
  fuzz::check(list.MAXINDEX >= -1 && list.MAXINDEX <= list.ITEMS.upper());
  fuzz::check(list.INDEX >= -1 && list.INDEX <= list.MAXINDEX);
  fuzz::check(list.TOPINDEX >= 0);
  fuzz::check(list.ITEMS.lower() == 0 && list.ITEMS.upper() == 1000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  headless::reset();
  constexpr Integer kWidth = 256, kHeight = 256;
  OPENWINDOW(kWidth, kHeight, "fuzz");

  // At most 1001 rows: a taller list would show rows past the last possible item, which ends
  // the program with the out-of-bounds report by design.
  const Integer x = fuzz::integer(in, -20, 250), y = fuzz::integer(in, -40, 250);
  const Integer w = fuzz::integer(in, -8, 300);
  Integer h = fuzz::integer(in, -20, 300);
  if (h > 16 * 1002 - 1) h = in.ConsumeIntegralInRange<Integer>(16 * 1001, 16 * 1002 - 1);
  LISTBOX list = LISTBOX_NEW(x, y, w, h);
  check_state(list);

  for (int op = 0; op < 40 && in.remaining_bytes() > 0; ++op) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
      case 0:
        LISTBOX_ADD(list, in.ConsumeRandomLengthString(40));
        break;
      case 1: {  // many at once, up to past the capacity (fewer when every add redraws many rows)
        const int n = in.ConsumeIntegralInRange<int>(1, list.ROWS > 64 ? 16 : 1100);
        for (int i = 0; i < n; ++i) LISTBOX_ADD(list, std::to_string(i));
        break;
      }
      case 2:
        LISTBOX_CLEAR(list);
        break;
      case 3:
        LISTBOX_SETINDEX(list, fuzz::integer(in, -2, 1002));
        break;
      case 4: {
        const Integer i = in.ConsumeIntegralInRange<Integer>(-3, 1000);
        const String item = LISTBOX_GETITEM(list, i);
        if (i > list.MAXINDEX) fuzz::check(item.empty());
        break;
      }
      default: {
        const Integer before_max = list.MAXINDEX;
        fuzz::script(in, headless::now_ms(), 4, x, y, w, h, kWidth, kHeight);
        const bool chosen = LISTBOX_GETEVENT(list);
        fuzz::check(list.MAXINDEX == before_max);
        if (chosen) fuzz::check(list.INDEX >= 0);
        break;
      }
    }
    check_state(list);
    fuzz::check(LISTBOX_GETMAXINDEX(list) == list.MAXINDEX && LISTBOX_GETINDEX(list) == list.INDEX);
  }
  return 0;
}
