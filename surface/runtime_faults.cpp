// The start of the runtime: standard streams that are surely open, and processor faults and
// termination signals that end the program with a runtime error report.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <atomic>
#include <exception>
#include <new>
#include <stdexcept>

#include "surface/portable.hpp"
#include "surface/runtime.hpp"

namespace {

struct FaultSignal {
  int signal;
  Integer number;
};

// A bad system call is reported like an illegal instruction, the CPU-time limit like a
// termination request. Hang-up, broken pipe, the user signals and the alarm keep their default
// actions.
constexpr FaultSignal kFaults[] = {
    {SIGINT, 9},   {SIGILL, 10},  {SIGSYS, 10},  {SIGFPE, 11}, {SIGSEGV, 12},
    {SIGBUS, 12},  {SIGTERM, 13}, {SIGXCPU, 13}, {SIGABRT, 14}, {SIGQUIT, 15},
};

void on_fault(int sig) {
  for (const FaultSignal& f : kFaults)
    if (f.signal == sig) rt::abort_with_report(f.number, 0);
  rt::abort_with_report(14, 0);  // not reached: only the signals above are routed here
}

// A stack overflow raises SIGSEGV with no stack left, so the handler runs on its own stack.
// Only the thread that installs it (the program's thread, at start) gets it.
alignas(16) char g_alt_stack[64 * 1024];

// An exception that nobody catches: running out of memory is error 4 like a failed array
// allocation; anything else ends as an abnormal termination.
[[noreturn]] void on_terminate() noexcept {
  Integer number = 14;
  if (const std::exception_ptr e = std::current_exception()) {
    try {
      std::rethrow_exception(e);
    } catch (const std::bad_alloc&) {
      number = ERR_OUT_OF_MEMORY;
    } catch (const std::length_error&) {
      number = ERR_OUT_OF_MEMORY;
    } catch (...) {
    }
  }
  rt::abort_with_report(number, 0);
}

// Opens /dev/null on each of the descriptors 0..2 that is closed. Otherwise the next file or
// connection opened (the window system's) would take its number, and a report written to the
// standard error stream would go into it.
void open_closed_standard_streams() noexcept {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open() takes the lowest free number, which is fd: every lower one is open by now.
    const int opened = open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

void install_fault_handlers() noexcept {
  const bool have_alt_stack = portable::set_signal_stack(g_alt_stack, sizeof g_alt_stack);

  for (const FaultSignal& f : kFaults) {
    struct sigaction sa{};
    sa.sa_handler = on_fault;
    // Every signal stays blocked while a report is written, so none can interrupt it.
    sigfillset(&sa.sa_mask);
    sa.sa_flags = have_alt_stack ? SA_ONSTACK : 0;
    sigaction(f.signal, &sa, nullptr);
  }
  std::set_terminate(on_terminate);
}

std::atomic<bool> g_started{false};

}  // namespace

namespace rt {

void start() noexcept {
  if (g_started.exchange(true)) return;
  open_closed_standard_streams();
  install_fault_handlers();
}

}  // namespace rt
