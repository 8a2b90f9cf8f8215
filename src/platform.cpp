// platform.cpp -- POSIX, Windows and the browser side by side; the only file that asks which
// system it is built for.
#include "platform.h"

#include <SDL.h>

#if defined(__EMSCRIPTEN__)
// mutate: off (the native tests never build this)

#include <emscripten.h>
#include <unistd.h>

// A page has no standard streams to guard: emscripten hands them to the console.
void platform_guard_standard_streams() {}

// The page's local storage keeps a file's text under its path. Each answers -1 where the page
// has no local storage (or refuses it), and the first -2 when nothing is kept under the path.
// clang-format off
EM_JS(int, storage_read, (const char *path, char *buffer, int size), {
  try {
    const text = localStorage.getItem(UTF8ToString(path));
    if (text === null) return -2;
    return lengthBytesUTF8(text) < size ? stringToUTF8(text, buffer, size) : -1;
  } catch (error) {
    return -1;
  }
});
EM_JS(int, storage_write, (const char *path, const char *file), {
  try {
    localStorage.setItem(UTF8ToString(path), FS.readFile(UTF8ToString(file), {encoding: "utf8"}));
    return 0;
  } catch (error) {
    return -1;
  }
});
// The page's Module.soundSwitched(music, effects), when it has one.
EM_JS(void, page_sound_switched, (bool music, bool effects), {
  if (Module.soundSwitched) Module.soundSwitched(!!music, !!effects);
});
// clang-format on

int platform_read_file(const char *path, char *buffer, int size) {
  const int read = storage_read(path, buffer, size);
  return read == -1 ? SDL_SetError("the page's local storage does not give it") : read;
}

// The file written in the page's memory goes into its local storage, which keeps a text whole.
int platform_replace_file(const char *temporary, const char *path) {
  const int stored = storage_write(path, temporary);
  unlink(temporary);
  return stored < 0 ? SDL_SetError("the page's local storage does not take it") : 0;
}

void platform_sound_switched(bool music, bool effects) {
  page_sound_switched(music, effects);
}

// mutate: on
#elif defined(_WIN32)
// mutate: off (the native tests never build this)

#include <windows.h>

// Nothing to do on Windows. SDL opens files as Win32 handles, never as C descriptors, so no
// file it opens can take standard error's place; and there is no SIGPIPE: a write to a pipe
// whose reader has gone fails, and the line is lost. A GUI program started from a desktop
// has no standard streams at all: its log lines go to a debugger only.
void platform_guard_standard_streams() {}

namespace {

// A UTF-8 path as Windows' own functions take it; release it with SDL_free.
wchar_t *wide(const char *path) {
  return reinterpret_cast<wchar_t *>(
      SDL_iconv_string("UTF-16LE", "UTF-8", path, SDL_strlen(path) + 1));
}

int windows_error() {
  return SDL_SetError("Windows error %lu", GetLastError());
}

} // namespace

int platform_read_file(const char *path, char *buffer, int size) {
  wchar_t *name = wide(path);
  HANDLE file = name ? CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr)
                     : INVALID_HANDLE_VALUE;
  SDL_free(name);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PLATFORM_NO_FILE
                                                                          : windows_error();
  }
  DWORD read = 0;
  const BOOL done = ReadFile(file, buffer, static_cast<DWORD>(size), &read, nullptr);
  const int result = done ? static_cast<int>(read) : windows_error();
  CloseHandle(file);
  return result;
}

// A rename does not replace a file on Windows; MoveFileExW does, in one step on one volume.
int platform_replace_file(const char *temporary, const char *path) {
  wchar_t *from = wide(temporary), *to = wide(path);
  const BOOL moved =
      from && to && MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  SDL_free(from);
  SDL_free(to);
  return moved ? 0 : windows_error();
}

void platform_sound_switched(bool, bool) {}

// mutate: on
#else

#include <cerrno>
#include <csignal>
#include <cstring>
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

int platform_read_file(const char *path, char *buffer, int size) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return errno == ENOENT ? PLATFORM_NO_FILE : SDL_SetError("%s", std::strerror(errno));
  }
  int total = 0;
  ssize_t n = 0;
  while (total < size && (n = read(fd, buffer + total, static_cast<size_t>(size - total))) > 0) {
    total += static_cast<int>(n);
  }
  const int error = errno;
  close(fd);
  return n < 0 ? SDL_SetError("%s", std::strerror(error)) : total;
}

// The new file reaches the disk before it takes the old one's name, which rename gives it in
// one step.
int platform_replace_file(const char *temporary, const char *path) {
  const int fd = open(temporary, O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
  return rename(temporary, path) == 0 ? 0 : SDL_SetError("%s", std::strerror(errno));
}

void platform_sound_switched(bool, bool) {}

#endif
