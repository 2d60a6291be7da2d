// Instrumentation of the presenter and the frame handover for benchmarks: all of it is here, and
// with no benchmark listening a presenter pass costs one atomic load.
#include "surface/bench_hook.hpp"

#include <atomic>
#include <chrono>
#include <mutex>
#include <utility>

#include "surface/core.hpp"

namespace surf::bench {

namespace {

struct Record {
  std::atomic<bool> on{false};  // read without the mutex: a pass nobody records takes no lock
  std::mutex m;                 // guards everything below
  std::vector<double> passes;
  std::size_t shown = 0;
};

Record& record() {
  static Record r;
  return r;
}

std::atomic<bool> g_handover{true};

}  // namespace

void record_start() {
  Record& r = record();
  std::lock_guard lock(r.m);
  r.passes.clear();
  r.shown = 0;
  r.on = true;
}

std::size_t record_count() {
  Record& r = record();
  std::lock_guard lock(r.m);
  return r.passes.size();
}

std::size_t record_shown() {
  Record& r = record();
  std::lock_guard lock(r.m);
  return r.shown;
}

std::vector<double> record_stop() {
  Record& r = record();
  std::lock_guard lock(r.m);
  r.on = false;
  return std::exchange(r.passes, {});
}

void record_pass(bool rows) {
  Record& r = record();
  if (!r.on.load(std::memory_order_relaxed)) return;
  std::lock_guard lock(r.m);
  if (!r.on) return;
  r.passes.push_back(
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count());
  if (rows) ++r.shown;
}

void set_frame_handover(bool on) { g_handover.store(on); }
bool frame_handover() { return g_handover.load(); }

std::uint64_t frames_completed() { return core().handover().completed(); }
std::uint64_t frames_shown() { return core().handover().shown(); }

}  // namespace surf::bench

namespace surf {

void FrameSource::shown(const Frame& frame) { bench::record_pass(frame.has_rows()); }

}  // namespace surf
