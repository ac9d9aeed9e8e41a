#include "platform/windows/file_system_windows.h"

#include <windows.h>

#include "platform/windows/win32_handle.h"

namespace quorvex {
namespace {

uint64_t Combine(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

}  // namespace

bool WindowsFileSystem::PathExists(const std::string& name) {
  return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WindowsFileSystem::RemoveFile(const std::string& name) { DeleteFileA(name.c_str()); }

bool WindowsFileSystem::MoveFileNoReplace(const std::string& from, const std::string& to) {
  // MoveFileA never replaces: it fails when the target name exists.
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

std::optional<FileIdentity> WindowsFileSystem::Identify(const std::string& name) {
  // No access rights are asked for, so a file that another program holds
  // open can still be identified; the backup-semantics flag admits folders.
  Win32Handle file(CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  FileIdentity identity;
  identity.device = info.dwVolumeSerialNumber;
  identity.inode = Combine(info.nFileIndexHigh, info.nFileIndexLow);
  identity.size = Combine(info.nFileSizeHigh, info.nFileSizeLow);
  // FILETIME counts 100-nanosecond steps.
  identity.modifiedNanoseconds =
      static_cast<int64_t>(Combine(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)) * 100;
  return identity;
}

bool WindowsFileSystem::WriteWholeFile(const std::string& name, std::string_view contents) {
  Win32Handle file(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file.valid()) return false;
  // One write call; a short or failed write leaves no half file behind.
  DWORD written = 0;
  const bool complete =
      contents.size() <= MAXDWORD &&
      WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) != FALSE &&
      written == contents.size();
  if (!file.Close() || !complete) {
    DeleteFileA(name.c_str());
    return false;
  }
  return true;
}

}  // namespace quorvex
