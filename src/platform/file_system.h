#ifndef QUORVEX_PLATFORM_FILE_SYSTEM_H_
#define QUORVEX_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

// What tells two names apart as files, and whether a file changed.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modifiedNanoseconds = 0;

  bool SameFileAs(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
  bool operator==(const FileIdentity&) const = default;
};

// The file services the program uses. Names are 8-bit text as given by the user.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when the system knows the name; a directory counts.
  virtual bool PathExists(const std::string& name) = 0;
  // Deletes a file; the outcome is deliberately not reported.
  virtual void RemoveFile(const std::string& name) = 0;
  // Moves a file; fails, and changes nothing, when `to` exists.
  virtual bool MoveFileNoReplace(const std::string& from, const std::string& to) = 0;
  // Identity of the named file, following links; nullopt when it does not exist.
  virtual std::optional<FileIdentity> Identify(const std::string& name) = 0;
  // Creates or replaces `name` holding exactly `contents`; false when it
  // cannot be created or written (nothing is left behind then).
  virtual bool WriteWholeFile(const std::string& name, std::string_view contents) = 0;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_FILE_SYSTEM_H_
