#ifndef QUORVEX_PLATFORM_MEDIA_FILE_H_
#define QUORVEX_PLATFORM_MEDIA_FILE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace quorvex {

// Why a file operation failed: an errno-style code (0 when nothing failed)
// and the system's own words for it, e.g. "No space left on device".
struct FileError {
  int code = 0;
  std::string message;

  bool failed() const { return code != 0; }
};

// errno-style codes the callers tell apart, the same numbers on every side.
inline constexpr int kFileErrorIo = 5;            // EIO
inline constexpr int kFileErrorNoEntry = 2;       // ENOENT
inline constexpr int kFileErrorIsDirectory = 21;  // EISDIR
inline constexpr int kFileErrorNoSpace = 28;      // ENOSPC

// One open file that media is read from or written to. No call throws; a
// failure comes back as a value with its reason.
class MediaFile {
 public:
  virtual ~MediaFile() = default;

  // Reads up to `size` bytes at the current position: the count read, 0 at
  // the end of the file, -1 with `error` filled on failure.
  virtual int64_t Read(uint8_t* buffer, size_t size, FileError& error) = 0;
  // Writes all `size` bytes or fails.
  virtual bool Write(const uint8_t* data, size_t size, FileError& error) = 0;
  // Moves to `offset` from the start; the new position, or -1 on failure.
  virtual int64_t Seek(int64_t offset, FileError& error) = 0;
  // Size in bytes, -1 when the file has none (a pipe).
  virtual int64_t Size() = 0;
  // Makes what was written durable (where the file allows) and closes it.
  virtual bool Close(FileError& error) = 0;
};

// What a name stands for when an output is about to be written there.
enum class PathKind { kMissing, kRegularFile, kDirectory, kOther };

// The file services of the media engine. Names are 8-bit text as given by
// the user.
class MediaFileSystem {
 public:
  virtual ~MediaFileSystem() = default;

  // Opens an existing regular file for reading.
  virtual std::unique_ptr<MediaFile> OpenForReading(const std::string& name, FileError& error) = 0;
  // Opens `name` for writing, creating it or emptying what is there; a
  // device or a pipe is opened as it is.
  virtual std::unique_ptr<MediaFile> OpenForWriting(const std::string& name, FileError& error) = 0;
  // What `name` is, following symbolic links.
  virtual PathKind KindOf(const std::string& name) = 0;
  // The name a chain of symbolic links ends at; `name` itself when it is no link.
  virtual std::string FollowLinks(const std::string& name) = 0;
  // Renames `from` to `to`, replacing a file of that name in one step.
  virtual bool Replace(const std::string& from, const std::string& to, FileError& error) = 0;
  // Deletes a file; the outcome is deliberately not reported.
  virtual void Remove(const std::string& name) = 0;
  // Identity of the named file, following links; nullopt when it does not exist.
  virtual std::optional<FileIdentity> Identify(const std::string& name) = 0;
};

// The platform's real file system.
MediaFileSystem& SystemMediaFiles();

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_MEDIA_FILE_H_
