// The line editor's cost per pass:
// - with a 100,000-character text against a 10-character one: a pass draws only the visible
//   part, so the two should cost about the same;
// - with the cursor in the field's last column against one mid-field: the cursor then reaches
//   over the border, and what it covers there is saved and put back on every pass.
#include <benchmark/benchmark.h>

#include "Inc/GUI.hpp"
#include "surface/headless.hpp"

namespace {

// One TEXTBOX_EDIT session of `keys` typed characters and Enter, on a text of `length` bytes
// (range 0) with the cursor after character `cursor` (range 1).
void edit_session(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0));
  const auto cursor = static_cast<Integer>(state.range(1));
  constexpr int kKeys = 200;
  headless::reset();
  OPENWINDOW(640, 480, "bench");
  for (auto _ : state) {
    TEXTBOX box = TEXTBOX_NEW(100, 100, 80, 20, String(length, 'x'), 0, MODE_TEXT);
    box.CURSOR = cursor;
    const double t0 = headless::now_ms();
    for (int i = 0; i < kKeys; ++i) headless::key(t0 + 1 + 2 * i, i % 2 ? 8 : 'y');  // type, Backspace
    headless::key(t0 + 2 + 2 * kKeys, 13);
    TEXTBOX_EDIT(box);
    benchmark::DoNotOptimize(box.TEXT.data());
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}

}  // namespace

// 9 characters fill the 80-pixel field's nine columns: cursor 4 stands mid-field, cursor 9 in
// the last column, over the right border.
BENCHMARK(edit_session)
    ->Args({10, 0})
    ->Args({100000, 0})
    ->Args({9, 4})
    ->Args({9, 9})
    ->ArgNames({"length", "cursor"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
