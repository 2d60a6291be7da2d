// The line editor's cost per pass:
// - with a 100,000-character text against a 10-character one: a pass draws only the visible
//   part, so the two should cost about the same;
// - with the cursor in the field's last column against one mid-field: the cursor then reaches
//   over the border, and what it covers there is saved and put back on every pass.
// And the time per key of a burst typed at machine speed (all keys at one instant, as many as
// the key queue holds) against keys typed one per presenter interval: the editor takes every
// waiting key before it draws again, so a burst should cost far less per key than the same keys
// typed slowly, in time on the processor and on the surface's clock ("virtual_ms_per_key").
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

// One TEXTBOX_EDIT session of 15 characters and Enter (16 keys: a full queue, none lost) that
// arrive `spacing` ms apart (range 0; 0: all at once).
void key_burst(benchmark::State& state) {
  const double spacing = static_cast<double>(state.range(0));
  constexpr int kKeys = 16;
  headless::reset();
  OPENWINDOW(640, 480, "bench");
  double virtual_ms = 0;
  for (auto _ : state) {
    TEXTBOX box = TEXTBOX_NEW(100, 100, 200, 20, "", 0, MODE_TEXT);
    const double t0 = headless::now_ms() + 1;
    for (int i = 0; i < kKeys - 1; ++i) headless::key(t0 + spacing * i, 'a' + i);
    headless::key(t0 + spacing * (kKeys - 1), 13);
    TEXTBOX_EDIT(box);
    virtual_ms += headless::now_ms() - t0;
    if (box.TEXT.size() != kKeys - 1) state.SkipWithError("keys lost");
    benchmark::DoNotOptimize(box.TEXT.data());
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
  state.counters["virtual_ms_per_key"] = virtual_ms / static_cast<double>(state.iterations() * kKeys);
}

}  // namespace

BENCHMARK(key_burst)->Arg(0)->Arg(10)->ArgNames({"spacing_ms"})->Unit(benchmark::kMicrosecond);

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
