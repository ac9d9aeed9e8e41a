#ifndef QUORVEX_PLATFORM_POSIX_FILE_SYSTEM_POSIX_H_
#define QUORVEX_PLATFORM_POSIX_FILE_SYSTEM_POSIX_H_

#include "platform/file_system.h"

namespace quorvex {

class PosixFileSystem : public FileSystem {
 public:
  bool PathExists(const std::string& name) override;
  void RemoveFile(const std::string& name) override;
  bool MoveFileNoReplace(const std::string& from, const std::string& to) override;
  std::optional<FileIdentity> Identify(const std::string& name) override;
  bool WriteWholeFile(const std::string& name, std::string_view contents) override;
};

// Identity of the named file, following links; nullopt when it does not
// exist. Both file services of the POSIX side answer with it.
std::optional<FileIdentity> IdentifyFile(const std::string& name);

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_POSIX_FILE_SYSTEM_POSIX_H_
