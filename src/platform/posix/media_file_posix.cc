// The media engine's files on POSIX descriptors.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/media_file.h"
#include "platform/posix/file_system_posix.h"

namespace quorvex {
namespace {

FileError ErrorFromErrno(int code) {
  FileError error;
  error.code = code == 0 ? kFileErrorIo : code;
  error.message = ::strerror(error.code);
  return error;
}

class PosixMediaFile final : public MediaFile {
 public:
  PosixMediaFile(int fd, bool regular, bool writing) : fd_(fd), regular_(regular), writing_(writing) {}
  ~PosixMediaFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixMediaFile(const PosixMediaFile&) = delete;
  PosixMediaFile& operator=(const PosixMediaFile&) = delete;

  int64_t Read(uint8_t* buffer, size_t size, FileError& error) override {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) return got;
      if (errno == EINTR) continue;
      error = ErrorFromErrno(errno);
      return -1;
    }
  }

  bool Write(const uint8_t* data, size_t size, FileError& error) override {
    while (size > 0) {
      const ssize_t put = ::write(fd_, data, size);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        // A write that makes no progress means the disk is full.
        error = ErrorFromErrno(put == 0 ? ENOSPC : errno);
        return false;
      }
      data += put;
      size -= static_cast<size_t>(put);
    }
    return true;
  }

  int64_t Seek(int64_t offset, FileError& error) override {
    const off_t at = ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET);
    if (at < 0) {
      error = ErrorFromErrno(errno);
      return -1;
    }
    return at;
  }

  int64_t Size() override {
    struct stat info;
    if (!regular_ || ::fstat(fd_, &info) != 0) return -1;
    return info.st_size;
  }

  bool Close(FileError& error) override {
    if (fd_ < 0) return true;
    bool ok = true;
    // The data must be on the disk before the file replaces a good one.
    if (writing_ && regular_ && ::fsync(fd_) != 0 && errno != EINVAL) {
      error = ErrorFromErrno(errno);
      ok = false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && ok && errno != EINTR) {
      error = ErrorFromErrno(errno);
      ok = false;
    }
    return ok;
  }

 private:
  int fd_;
  bool regular_;
  bool writing_;
};

class PosixMediaFileSystem final : public MediaFileSystem {
 public:
  std::unique_ptr<MediaFile> OpenForReading(const std::string& name, FileError& error) override {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      error = ErrorFromErrno(errno);
      return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
      // A folder opens on some systems; it is never media.
      error = ErrorFromErrno(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixMediaFile>(fd, true, false);
  }

  std::unique_ptr<MediaFile> OpenForWriting(const std::string& name, FileError& error) override {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
      error = ErrorFromErrno(errno);
      return nullptr;
    }
    struct stat info;
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    return std::make_unique<PosixMediaFile>(fd, regular, true);
  }

  PathKind KindOf(const std::string& name) override {
    struct stat info;
    if (::stat(name.c_str(), &info) != 0) return PathKind::kMissing;
    if (S_ISREG(info.st_mode)) return PathKind::kRegularFile;
    if (S_ISDIR(info.st_mode)) return PathKind::kDirectory;
    return PathKind::kOther;
  }

  std::string FollowLinks(const std::string& name) override {
    std::string current = name;
    // Enough for any real chain; a loop is left to the open that follows.
    for (int hops = 0; hops < 40; ++hops) {
      char target[PATH_MAX];
      const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
      if (length < 0 || static_cast<size_t>(length) >= sizeof target) return current;
      std::string next(target, static_cast<size_t>(length));
      if (next.front() != '/') {
        // A relative target is relative to the link's own folder.
        const size_t slash = current.rfind('/');
        if (slash != std::string::npos) next = current.substr(0, slash + 1) + next;
      }
      current = next;
    }
    return current;
  }

  bool Replace(const std::string& from, const std::string& to, FileError& error) override {
    if (::renameat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str()) == 0) return true;
    error = ErrorFromErrno(errno);
    return false;
  }

  void Remove(const std::string& name) override { ::unlink(name.c_str()); }

  std::optional<FileIdentity> Identify(const std::string& name) override { return IdentifyFile(name); }
};

}  // namespace

MediaFileSystem& SystemMediaFiles() {
  static PosixMediaFileSystem files;
  return files;
}

}  // namespace quorvex
