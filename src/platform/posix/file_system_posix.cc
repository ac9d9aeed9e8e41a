#include "platform/posix/file_system_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvex {
namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and tells whether the data reached the file.
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    ssize_t written = ::write(fd, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

bool PosixFileSystem::PathExists(const std::string& name) {
  struct stat info;
  return ::stat(name.c_str(), &info) == 0;
}

void PosixFileSystem::RemoveFile(const std::string& name) { ::unlink(name.c_str()); }

bool PosixFileSystem::MoveFileNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  // Filesystems without renameat2 support: link fails on an existing target,
  // so the move still never replaces a file.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

std::optional<FileIdentity> IdentifyFile(const std::string& name) {
  struct stat info;
  if (::stat(name.c_str(), &info) != 0) return std::nullopt;
  FileIdentity identity;
  identity.device = static_cast<uint64_t>(info.st_dev);
  identity.inode = static_cast<uint64_t>(info.st_ino);
  identity.size = static_cast<uint64_t>(info.st_size);
  identity.modifiedNanoseconds = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return identity;
}

std::optional<FileIdentity> PosixFileSystem::Identify(const std::string& name) { return IdentifyFile(name); }

bool PosixFileSystem::WriteWholeFile(const std::string& name, std::string_view contents) {
  FileDescriptor file(::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.get() < 0) return false;
  struct stat info;
  const bool regular = ::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode);
  if (!WriteAll(file.get(), contents) || !file.Close()) {
    // A partial file is of no use; but a device or pipe of that name is not ours to delete.
    if (regular) ::unlink(name.c_str());
    return false;
  }
  return true;
}

}  // namespace quorvex
