#include "platform/posix/standard_streams_posix.h"

#include <errno.h>
#include <unistd.h>

#include <string>

namespace quorvex {
namespace {

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

bool PosixStandardOutput::Write(const char* data, size_t size) { return WriteAll(STDOUT_FILENO, data, size); }

bool PosixStandardOutput::IsTerminal() const { return ::isatty(STDOUT_FILENO) == 1; }

void WriteErrorLine(std::string_view line) {
  std::string text(line);
  text += '\n';
  WriteAll(STDERR_FILENO, text.data(), text.size());
}

}  // namespace quorvex
