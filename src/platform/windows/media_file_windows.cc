// The media engine's files on Win32 handles. Names are in the ANSI code page
// and reach the wide calls through the program's own conversion.
#include <windows.h>

#include <string>

#include "platform/media_file.h"
#include "platform/windows/win32_handle.h"
#include "text/conversions.h"

namespace quorvex {
namespace {

std::wstring WideName(const std::string& name) {
  const std::u16string wide = WidenText(name);
  return std::wstring(wide.begin(), wide.end());
}

FileError ErrorFromLastError() {
  const DWORD code = GetLastError();
  FileError error;
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      error.code = kFileErrorNoEntry;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      error.code = kFileErrorNoSpace;
      break;
    default:
      error.code = kFileErrorIo;
      break;
  }
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  error.message = length > 0 ? std::string(text, length) : "system error " + std::to_string(code);
  if (text != nullptr) LocalFree(text);
  while (!error.message.empty() && (error.message.back() == '\n' || error.message.back() == '\r' ||
                                    error.message.back() == '.' || error.message.back() == ' ')) {
    error.message.pop_back();
  }
  return error;
}

class WindowsMediaFile final : public MediaFile {
 public:
  WindowsMediaFile(Win32Handle file, bool disk, bool writing)
      : file_(std::move(file)), disk_(disk), writing_(writing) {}

  int64_t Read(uint8_t* buffer, size_t size, FileError& error) override {
    DWORD got = 0;
    const DWORD wanted = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    if (ReadFile(file_.get(), buffer, wanted, &got, nullptr) == FALSE) {
      // A pipe whose writer went away has simply ended.
      if (GetLastError() == ERROR_BROKEN_PIPE) return 0;
      error = ErrorFromLastError();
      return -1;
    }
    return got;
  }

  bool Write(const uint8_t* data, size_t size, FileError& error) override {
    while (size > 0) {
      DWORD put = 0;
      const DWORD chunk = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
      if (WriteFile(file_.get(), data, chunk, &put, nullptr) == FALSE || put == 0) {
        error = ErrorFromLastError();
        return false;
      }
      data += put;
      size -= put;
    }
    return true;
  }

  int64_t Seek(int64_t offset, FileError& error) override {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER at;
    if (!disk_ || SetFilePointerEx(file_.get(), distance, &at, FILE_BEGIN) == FALSE) {
      error = ErrorFromLastError();
      return -1;
    }
    return at.QuadPart;
  }

  int64_t Size() override {
    LARGE_INTEGER size;
    if (!disk_ || GetFileSizeEx(file_.get(), &size) == FALSE) return -1;
    return size.QuadPart;
  }

  bool Close(FileError& error) override {
    if (!file_.valid()) return true;
    bool ok = true;
    // The data must be on the disk before the file replaces a good one.
    if (writing_ && disk_ && FlushFileBuffers(file_.get()) == FALSE) {
      error = ErrorFromLastError();
      ok = false;
    }
    if (!file_.Close() && ok) {
      error = ErrorFromLastError();
      ok = false;
    }
    return ok;
  }

 private:
  Win32Handle file_;
  bool disk_;
  bool writing_;
};

bool IsDisk(HANDLE file) { return GetFileType(file) == FILE_TYPE_DISK; }

class WindowsMediaFileSystem final : public MediaFileSystem {
 public:
  std::unique_ptr<MediaFile> OpenForReading(const std::string& name, FileError& error) override {
    Win32Handle file(CreateFileW(WideName(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
      error = ErrorFromLastError();
      return nullptr;
    }
    if (!IsDisk(file.get())) {
      error = FileError{kFileErrorIo, "not a file"};
      return nullptr;
    }
    return std::make_unique<WindowsMediaFile>(std::move(file), true, false);
  }

  std::unique_ptr<MediaFile> OpenForWriting(const std::string& name, FileError& error) override {
    Win32Handle file(CreateFileW(WideName(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      error = ErrorFromLastError();
      return nullptr;
    }
    const bool disk = IsDisk(file.get());
    return std::make_unique<WindowsMediaFile>(std::move(file), disk, true);
  }

  PathKind KindOf(const std::string& name) override {
    const std::wstring wide = WideName(name);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return PathKind::kDirectory;
    }
    // Devices such as NUL have no attributes of a file but open all the same.
    Win32Handle file(CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) return PathKind::kMissing;
    return IsDisk(file.get()) ? PathKind::kRegularFile : PathKind::kOther;
  }

  // Links are rare on Windows media disks; the name is used as it is.
  std::string FollowLinks(const std::string& name) override { return name; }

  bool Replace(const std::string& from, const std::string& to, FileError& error) override {
    if (MoveFileExW(WideName(from).c_str(), WideName(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
        FALSE) {
      return true;
    }
    error = ErrorFromLastError();
    return false;
  }

  void Remove(const std::string& name) override { DeleteFileW(WideName(name).c_str()); }

  std::optional<FileIdentity> Identify(const std::string& name) override {
    Win32Handle file(CreateFileW(WideName(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    FileIdentity identity;
    identity.device = info.dwVolumeSerialNumber;
    identity.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return identity;
  }
};

}  // namespace

MediaFileSystem& SystemMediaFiles() {
  static WindowsMediaFileSystem files;
  return files;
}

}  // namespace quorvex
