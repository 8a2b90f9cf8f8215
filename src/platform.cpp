// platform.cpp -- start-up's POSIX and Windows code, side by side; the only file that asks
// which system it is built for.
#include "platform.h"

#ifdef _WIN32
// mutate: off (the native tests never build this)

// Nothing to do on Windows. SDL opens files as Win32 handles, never as C descriptors, so no
// file it opens can take standard error's place; and there is no SIGPIPE: a write to a pipe
// whose reader has gone fails, and the line is lost. A GUI program started from a desktop
// has no standard streams at all: its log lines go to a debugger only.
void platform_guard_standard_streams() {}

// mutate: on
#else

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

// A closed standard descriptor gets /dev/null, so that no socket or file the libraries open
// later takes its number and the log lines with it; and a log whose reader has gone (a
// closed pipe) must not end the game with SIGPIPE.
void platform_guard_standard_streams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    // open takes the lowest free number, which is fd: those below it are open.
    if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      open("/dev/null", O_RDWR);
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
}

#endif
