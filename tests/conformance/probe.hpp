#pragma once
// The conformance probe: a program that reports what it receives through the input polls as
// lines of text and draws a picture that depends only on what it received. Built once per
// backend; see tests/conformance/sessions/README.md for what the drivers do with it.
#include <functional>
#include <string>

namespace conformance {

// Surface size of the probe's window.
inline constexpr int kWidth = 320, kHeight = 200;

// Where the probe's lines go; by default each is written to standard output and flushed at once
// (a driver reads them while the probe runs).
void set_log(std::function<void(const std::string&)> sink);

// The probe's whole run: opens its window, reports input until the close request (0), or gives
// up after 60 s of the steady clock (2); 10 + n when SCREEN_OPEN returned n.
int probe();

}  // namespace conformance
