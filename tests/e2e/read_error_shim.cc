// Preloaded into quorvex by the tests: the file named by QUORVEX_BAD_FILE
// reads as a disk with a bad sector at byte QUORVEX_BAD_OFFSET does. Reads
// stop short of it, and a read that starts there fails with EIO.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<int> badDescriptor{-1};

template <class Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void Watch(const char* path, int fd) {
  const char* bad = getenv("QUORVEX_BAD_FILE");
  if (fd >= 0 && bad != nullptr && path != nullptr && strcmp(path, bad) == 0) badDescriptor = fd;
}

mode_t ModeOf(int flags, va_list arguments) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  const int fd = Next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
  Watch(path, fd);
  return fd;
}

int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  const int fd = Next<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
  Watch(path, fd);
  return fd;
}

ssize_t read(int fd, void* buffer, size_t count) {
  static const auto realRead = Next<ssize_t (*)(int, void*, size_t)>("read");
  if (fd == badDescriptor.load()) {
    const char* offsetText = getenv("QUORVEX_BAD_OFFSET");
    const off_t bad = offsetText != nullptr ? static_cast<off_t>(atoll(offsetText)) : 0;
    const off_t at = lseek(fd, 0, SEEK_CUR);
    if (at == bad) {
      errno = EIO;
      return -1;
    }
    if (at < bad && at + static_cast<off_t>(count) > bad) count = static_cast<size_t>(bad - at);
  }
  return realRead(fd, buffer, count);
}

int close(int fd) {
  static const auto realClose = Next<int (*)(int)>("close");
  int expected = fd;
  badDescriptor.compare_exchange_strong(expected, -1);
  return realClose(fd);
}

}  // extern "C"
