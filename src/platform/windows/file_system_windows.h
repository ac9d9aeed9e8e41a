#ifndef QUORVEX_PLATFORM_WINDOWS_FILE_SYSTEM_WINDOWS_H_
#define QUORVEX_PLATFORM_WINDOWS_FILE_SYSTEM_WINDOWS_H_

#include "platform/file_system.h"

namespace quorvex {

// The file services on the ANSI ("A") calls: names are 8-bit text in the
// system's code page, handed over unchanged.
class WindowsFileSystem : public FileSystem {
 public:
  bool PathExists(const std::string& name) override;
  void RemoveFile(const std::string& name) override;
  bool MoveFileNoReplace(const std::string& from, const std::string& to) override;
  std::optional<FileIdentity> Identify(const std::string& name) override;
  bool WriteWholeFile(const std::string& name, std::string_view contents) override;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_WINDOWS_FILE_SYSTEM_WINDOWS_H_
