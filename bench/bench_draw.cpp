// Drawing primitives on the headless surface against plain memory operations on the same
// number of pixels, measured in the same run. Items processed are pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "surface/core.hpp"
#include "surface/headless.hpp"
#include "surface/runtime.hpp"
#include "surface/surface.hpp"

namespace {

constexpr int kW = 1000, kH = 500;

void open_surface() {
  headless::reset();
  if (SCREEN_OPEN(kW, kH, 32, 2, 4, 0) != 0) std::abort();
}

// Reference: filling n pixels with memset-speed stores.
void fill_reference(benchmark::State& state, std::size_t n) {
  std::vector<std::uint32_t> buf(n);
  for (auto _ : state) {
    std::memset(buf.data(), 0x5A, n * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(buf.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

constexpr std::size_t kRectPixels = 900 * 480;
void BM_FilledRect(benchmark::State& state) {
  open_surface();
  Integer c = 0;
  for (auto _ : state) SCREEN_LINE(nullptr, 50, 10, 949, 489, ++c, 2);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRectPixels));
}
void BM_FilledRect_MemsetRef(benchmark::State& state) { fill_reference(state, kRectPixels); }
BENCHMARK(BM_FilledRect);
BENCHMARK(BM_FilledRect_MemsetRef);

// Radius 240: about π·240² pixels.
constexpr std::size_t kDiscPixels = 180956;
void BM_FilledCircle(benchmark::State& state) {
  open_surface();
  Integer c = 0;
  for (auto _ : state) SCREEN_CIRCLE(nullptr, 500, 250, 240, ++c, 0, 0, SCREEN_FULL_CIRCLE, 1);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kDiscPixels));
}
void BM_FilledCircle_MemsetRef(benchmark::State& state) { fill_reference(state, kDiscPixels); }
BENCHMARK(BM_FilledCircle);
BENCHMARK(BM_FilledCircle_MemsetRef);

constexpr std::size_t kLinePixels = 1000;
void BM_LongLine(benchmark::State& state) {
  open_surface();
  Integer c = 0;
  for (auto _ : state) SCREEN_LINE(nullptr, 0, 0, 999, 499, ++c);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kLinePixels));
}
void BM_LongLine_MemsetRef(benchmark::State& state) { fill_reference(state, kLinePixels); }
BENCHMARK(BM_LongLine);
BENCHMARK(BM_LongLine_MemsetRef);

// A line whose end points lie far outside: only the visible part may cost anything.
void BM_HugeLine(benchmark::State& state) {
  open_surface();
  for (auto _ : state) SCREEN_LINE(nullptr, -1e30f, 250, 1e30f, 250, 1);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kW));
}
BENCHMARK(BM_HugeLine);

// Circles and arcs of radius 1e9 whose edge crosses the surface: the cost must follow the
// visible pixels (one row or a few columns), not the circumference. Reported per visible pixel
// against the long line's memset reference.
void BM_HugeCircleEdge(benchmark::State& state) {
  open_surface();
  for (auto _ : state) SCREEN_CIRCLE(nullptr, 500, 250 + 1e9f, 1e9f, 1);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kW));
}
BENCHMARK(BM_HugeCircleEdge);
void BM_HugeArcEdge(benchmark::State& state) {
  open_surface();
  for (auto _ : state) SCREEN_CIRCLE(nullptr, 500, 250 + 1e9f, 1e9f, 1, 0, 1.0f, 2.0f);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kW));
}
BENCHMARK(BM_HugeArcEdge);

constexpr std::size_t kPutPixels = 500 * 500;
void BM_Put500(benchmark::State& state) {
  open_surface();
  Image* img = SCREEN_IMAGE_CREATE(500, 500, 0x336699);
  // The surface is 500 rows high: place it so that all 500 rows land.
  for (auto _ : state) SCREEN_PUT(nullptr, 250, 0, img);
  SCREEN_IMAGE_DESTROY(img);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPutPixels));
}
void BM_Put500_MemcpyRef(benchmark::State& state) {
  std::vector<std::uint32_t> src(kPutPixels, 1), dst(static_cast<std::size_t>(kW) * kH);
  for (auto _ : state) {
    for (int y = 0; y < 500; ++y)
      std::memcpy(dst.data() + static_cast<std::size_t>(y) * kW + 250, src.data() + static_cast<std::size_t>(y) * 500,
                  500 * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPutPixels));
}
BENCHMARK(BM_Put500);
BENCHMARK(BM_Put500_MemcpyRef);

// 100 characters of 8 x 16 cells.
constexpr std::size_t kTextPixels = 100 * 8 * 16;
void BM_DrawText(benchmark::State& state) {
  open_surface();
  SCREEN_SET_TEXT_GRID(kW / 8, kH / 16);
  const std::string text(100, 'W');
  for (auto _ : state) SCREEN_DRAW_TEXT(nullptr, 10, 100, 0, text, 0xFFFFFF);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kTextPixels));
}
void BM_DrawText_MemsetRef(benchmark::State& state) { fill_reference(state, kTextPixels); }
BENCHMARK(BM_DrawText);
BENCHMARK(BM_DrawText_MemsetRef);

void BM_PSet(benchmark::State& state) {
  open_surface();
  float x = 0;
  for (auto _ : state) {
    SCREEN_PSET(nullptr, x, 100, 0xFF00FF);
    x = x < 998 ? x + 1 : 0;
  }
  state.SetItemsProcessed(state.iterations());
}
// Reference: an uncontended mutex around one pixel store.
void BM_PSet_MutexStoreRef(benchmark::State& state) {
  std::mutex m;
  std::vector<std::uint32_t> buf(kW);
  std::size_t x = 0;
  for (auto _ : state) {
    m.lock();
    buf[x] = 0xFF00FF;
    m.unlock();
    x = x < 998 ? x + 1 : 0;
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetItemsProcessed(state.iterations());
}
// The fixed costs inside every primitive, each alone: registering the procedure, and the
// surface lock with nothing drawn.
void BM_PSet_ErrorContextPart(benchmark::State& state) {
  for (auto _ : state) {
    const ErrorContext ctx{"bench", "PART"};
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
void BM_PSet_DrawLockPart(benchmark::State& state) {
  open_surface();
  for (auto _ : state) {
    surf::DrawLock lock(surf::core());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PSet);
BENCHMARK(BM_PSet_MutexStoreRef);
BENCHMARK(BM_PSet_ErrorContextPart);
BENCHMARK(BM_PSet_DrawLockPart);

}  // namespace

BENCHMARK_MAIN();
