#pragma once
// Instrumentation of the presenter and the frame handover, for benchmarks only: programs and
// tests have no use for it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace surf::bench {

// Starts recording the steady-clock time in ms of each presenter pass; clears earlier records.
void record_start();
// Number of passes recorded since the start.
std::size_t record_count();
// Number of those passes that showed changed rows (a new picture reached the window).
std::size_t record_shown();
// Stops recording and returns the recorded pass times.
std::vector<double> record_stop();
// Records one presenter pass that has just shown its rows (`rows`: it had any); called by the
// frame source.
void record_pass(bool rows);

// Turns the frame handover on (the default) or off. Off, SCREEN_LOCK never waits for the
// presenter, as before the handover existed: a reference for measurements in the same run.
void set_frame_handover(bool on);
bool frame_handover();

// Frames completed by SCREEN_UNLOCK since the surface was reset, and how many of them the
// presenter took; the others were replaced before it came.
std::uint64_t frames_completed();
std::uint64_t frames_shown();

}  // namespace surf::bench
