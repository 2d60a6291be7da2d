#pragma once
// Clang's thread-safety attributes, so that "this mutex guards that state" is checked by the
// compiler (-Wthread-safety) instead of only written in a comment. Other compilers ignore them.
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
