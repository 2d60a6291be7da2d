#pragma once
// Clang's thread-safety attributes, so that "this mutex guards that state" is checked by the
// compiler (-Wthread-safety) instead of only written in a comment (other compilers ignore them),
// and the surface's mutex, which the program's thread and the presenter share.
#include <atomic>
#include <mutex>

#if defined(__clang__)
#define PHYS_THREAD_ATTRIBUTE(x) __attribute__((x))
#else
#define PHYS_THREAD_ATTRIBUTE(x)
#endif

// A class that is a lock.
#define CAPABILITY(name) PHYS_THREAD_ATTRIBUTE(capability(name))
// A class whose objects hold a lock from construction to destruction.
#define SCOPED_CAPABILITY PHYS_THREAD_ATTRIBUTE(scoped_lockable)
// A member that may only be touched while the given lock is held.
#define GUARDED_BY(lock) PHYS_THREAD_ATTRIBUTE(guarded_by(lock))
// A function that takes, gives back or needs the given locks.
#define ACQUIRE(...) PHYS_THREAD_ATTRIBUTE(acquire_capability(__VA_ARGS__))
#define RELEASE(...) PHYS_THREAD_ATTRIBUTE(release_capability(__VA_ARGS__))
#define REQUIRES(...) PHYS_THREAD_ATTRIBUTE(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) PHYS_THREAD_ATTRIBUTE(locks_excluded(__VA_ARGS__))
// A function whose locking the analysis cannot follow; the reason is written beside it.
#define NO_THREAD_SAFETY_ANALYSIS PHYS_THREAD_ATTRIBUTE(no_thread_safety_analysis)

namespace surf {

// The surface's mutex, with a fair handover to the presenter: a program thread that draws in
// a tight loop would otherwise retake it before the waiting presenter wakes up, and the
// picture would freeze. The program's side blocks (rather than yields) while the presenter
// waits, which leaves the CPU to the presenter on a busy machine.
class CAPABILITY("mutex") SurfaceMutex {
 public:
  // The program's side: lets a waiting presenter in first.
  void lock() ACQUIRE() {
    while (presenter_waiting_.load(std::memory_order_acquire))
      presenter_waiting_.wait(true, std::memory_order_acquire);
    m_.lock();
  }
  // The presenter's side: announces itself, so that the program's side lets it in next.
  void lock_presenter() ACQUIRE() {
    presenter_waiting_.store(true, std::memory_order_release);
    m_.lock();
    presenter_waiting_.store(false, std::memory_order_release);
    presenter_waiting_.notify_all();
  }
  void unlock() RELEASE() { m_.unlock(); }

 private:
  std::mutex m_;
  std::atomic<bool> presenter_waiting_{false};
};

// Holds a SurfaceMutex for a scope, on the program's side or the presenter's.
class SCOPED_CAPABILITY MutexLock {
 public:
  enum Side { Program, Presenter };
  explicit MutexLock(SurfaceMutex& m, Side side = Program) ACQUIRE(m) : m_(m) {
    if (side == Presenter) m_.lock_presenter();
    else m_.lock();
  }
  ~MutexLock() RELEASE() { m_.unlock(); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  SurfaceMutex& m_;
};

}  // namespace surf
