#include "platform/windows/standard_output_windows.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

namespace quorvex {
namespace {

bool WriteAll(HANDLE handle, const char* data, size_t size) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

// ANSI text as the console shows it: through UTF-16 into the OEM code page.
std::string ToOemText(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return std::string(text);
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return std::string(text);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), units);
  const int bytes = WideCharToMultiByte(CP_OEMCP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string(text);
  std::string oem(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_OEMCP, 0, wide.data(), units, oem.data(), bytes, nullptr, nullptr);
  return oem;
}

}  // namespace

WindowsStandardOutput::WindowsStandardOutput() : handle_(GetStdHandle(STD_OUTPUT_HANDLE)) {}

bool WindowsStandardOutput::Write(const char* data, size_t size) { return WriteAll(handle_, data, size); }

bool WindowsStandardOutput::IsTerminal() const {
  DWORD mode = 0;
  return GetConsoleMode(handle_, &mode) != FALSE;
}

void WriteErrorLine(std::string_view line) {
  std::string text = ToOemText(line);
  text += "\r\n";
  WriteAll(GetStdHandle(STD_ERROR_HANDLE), text.data(), text.size());
}

}  // namespace quorvex
