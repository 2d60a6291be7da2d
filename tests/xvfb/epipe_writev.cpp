// Loaded with LD_PRELOAD into a program under test: once the file named by PHYS_EPIPE_TRIGGER
// exists, every writev to the X server's socket fails as it would on a server that has gone
// away: EPIPE, and SIGPIPE to the writing thread, pending where that thread blocks it.
#include <dlfcn.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

using Writev = ssize_t (*)(int, const iovec*, int);

// True for a socket connected to an X server (its path, abstract or not, names X11-unix).
bool x_socket(int fd) {
  sockaddr_un peer{};
  socklen_t len = sizeof peer;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &len) != 0 || peer.sun_family != AF_UNIX) return false;
  const char* path = peer.sun_path;
  const std::size_t n = len > offsetof(sockaddr_un, sun_path) ? len - offsetof(sockaddr_un, sun_path) : 0;
  return memmem(path, n, "X11-unix", 8) != nullptr;
}

bool triggered() {
  const char* path = std::getenv("PHYS_EPIPE_TRIGGER");
  return path != nullptr && access(path, F_OK) == 0;
}

}  // namespace

extern "C" ssize_t writev(int fd, const iovec* iov, int count) {
  static const auto real = reinterpret_cast<Writev>(dlsym(RTLD_NEXT, "writev"));
  if (triggered() && x_socket(fd)) {
    pthread_kill(pthread_self(), SIGPIPE);
    errno = EPIPE;
    return -1;
  }
  return real(fd, iov, count);
}
