// The error context, the runtime error report and the end of the program on an error.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <iterator>

#include "surface/portable.hpp"
#include "surface/runtime.hpp"

namespace {

// The innermost registered procedure. Plain process-wide values rather than thread-local ones:
// only the program's thread registers, and a fault on any thread must still name it. Atomics
// with relaxed order compile to plain moves and are safe to read from a signal handler.
std::atomic<const char*> g_module{nullptr};
std::atomic<const char*> g_procedure{nullptr};

std::atomic<Integer> g_last_error{0};

// Set by the first thread that starts a report, so two failing threads cannot mix their texts.
std::atomic<bool> g_reporting{false};

constexpr const char* kMessages[] = {
    nullptr,
    "illegal function call",
    "file not found",
    "file I/O error",
    "out of memory",
    "illegal resume",
    "out of bounds array access",
    "null pointer access",
    "no privileges",
    "\"interrupted\" signal",
    "\"illegal instruction\" signal",
    "\"floating point error\" signal",
    "\"segmentation violation\" signal",
    "\"termination request\" signal",
    "\"abnormal termination\" signal",
    "\"quit request\" signal",
    "return without gosub",
    "end of file",
};

// Appends to a fixed buffer, dropping whatever does not fit; no allocation, no locale.
class Writer {
 public:
  Writer(char* out, std::size_t limit) noexcept : out_(out), limit_(limit) {}

  void text(const char* s) noexcept {
    for (; *s != '\0' && len_ < limit_; ++s) out_[len_++] = *s;
  }

  void number(Integer v) noexcept {
    char digits[12];
    int n = 0;
    // Work in the unsigned magnitude so that the most negative Integer needs no special case.
    unsigned long long m = v < 0 ? 0ull - static_cast<unsigned long long>(static_cast<long long>(v))
                                  : static_cast<unsigned long long>(v);
    do {
      digits[n++] = static_cast<char>('0' + m % 10);
      m /= 10;
    } while (m != 0);
    if (v < 0) digits[n++] = '-';
    while (n > 0 && len_ < limit_) out_[len_++] = digits[--n];
  }

  std::size_t length() const noexcept { return len_; }

 private:
  char* out_;
  std::size_t limit_;
  std::size_t len_ = 0;
};

bool known(const char* name) noexcept { return name != nullptr && name[0] != '\0'; }

void write_all(int fd, const char* p, std::size_t n) noexcept {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
}

}  // namespace

namespace rt {

std::size_t format_report_to(char* out, std::size_t cap, Integer number, Integer line,
                             const char* module, const char* proc) noexcept {
  if (out == nullptr || cap == 0) return 0;
  Writer w(out, cap - 1 < kReportMax ? cap - 1 : kReportMax);
  w.text("\nAborting due to runtime error ");
  w.number(number);
  if (number >= 0 && number < static_cast<Integer>(std::size(kMessages)) && kMessages[number] != nullptr) {
    w.text(" (");
    w.text(kMessages[number]);
    w.text(")");
  }
  if (line > 0) {
    w.text(" at line ");
    w.number(line);
  }
  if (known(module)) {
    w.text(line > 0 ? " of " : " in ");
    w.text(module);
    if (known(proc)) {
      w.text("::");
      w.text(proc);
    }
    w.text("()\n\n");
  } else {
    w.text("\n\n");
  }
  out[w.length()] = '\0';
  return w.length();
}

String format_report(Integer number, Integer line, const char* module, const char* proc) {
  char buf[kReportMax + 1];
  const std::size_t n = format_report_to(buf, sizeof buf, number, line, module, proc);
  return String(buf, n);
}

const char* current_module() noexcept { return g_module.load(std::memory_order_relaxed); }
const char* current_procedure() noexcept { return g_procedure.load(std::memory_order_relaxed); }

void abort_with_report(Integer number, Integer line) noexcept {
  // No signal may interrupt the report and start a second one on this thread.
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
  if (g_reporting.exchange(true)) {
    // Another thread is reporting and is about to end the process.
    portable::block_forever();
  }
  static char buf[kReportMax + 1];
  const std::size_t n = format_report_to(buf, sizeof buf, number, line, current_module(), current_procedure());
  write_all(STDERR_FILENO, buf, n);
  // An exit status is one byte; a number outside 1..255 would read as a different error or as
  // success (256 -> 0), so it ends with the generic failure status 255 instead.
  _exit(number >= 1 && number <= 255 ? number : 255);
}

void out_of_bounds(const std::source_location& where) noexcept {
  abort_with_report(ERR_OUT_OF_BOUNDS, static_cast<Integer>(where.line()));
}

void null_procedure(const std::source_location& where) noexcept {
  abort_with_report(ERR_NULL_POINTER, static_cast<Integer>(where.line()));
}

void out_of_memory(const std::source_location& where) noexcept {
  abort_with_report(ERR_OUT_OF_MEMORY, static_cast<Integer>(where.line()));
}

}  // namespace rt

void RUNTIME_ERROR(Integer number, Integer line) noexcept { rt::abort_with_report(number, line); }

Integer RUNTIME_LAST_ERROR() { return g_last_error.load(std::memory_order_relaxed); }

void RUNTIME_SET_LAST_ERROR(Integer number) { g_last_error.store(number, std::memory_order_relaxed); }

// Every procedure of the system registers here on entry, so these stay plain moves: relaxed
// atomics cost nothing over ordinary stores, while sequentially consistent ones would add a
// fence per procedure call.
// - A fault on this thread runs its handler on this thread, which sees its own stores in
//   program order. The signal fences (no instructions, only a compiler barrier) keep the
//   procedure's body, which may fault, after the registration and before its removal, also
//   when the constructor is inlined.
// - A handler on another thread (the window thread) reads the latest stores it can see; the
//   report is written at once after that and the process ends, so no later registration can
//   replace the name it took.
// - A signal that arrives between the two stores may see the new module with the old
//   procedure; only asynchronous signals can land there, never a fault of the procedure.
ErrorContext::ErrorContext(const char* module, const char* procedure) noexcept
    : saved_module_(g_module.load(std::memory_order_relaxed)),
      saved_procedure_(g_procedure.load(std::memory_order_relaxed)) {
  g_module.store(module, std::memory_order_relaxed);
  g_procedure.store(procedure, std::memory_order_relaxed);
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

ErrorContext::~ErrorContext() {
  std::atomic_signal_fence(std::memory_order_seq_cst);
  g_module.store(saved_module_, std::memory_order_relaxed);
  g_procedure.store(saved_procedure_, std::memory_order_relaxed);
}
