#include "windows_test_support.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "platform/windows/win32_handle.h"

namespace quorvex::testing {
namespace {

std::string ReadAll(HANDLE handle) {
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(handle, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}

// Appends what the pipe holds now, without waiting for more.
void ReadAvailable(HANDLE pipe, std::string& bytes) {
  char chunk[4096];
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    DWORD got = 0;
    const DWORD wanted = available < sizeof chunk ? available : static_cast<DWORD>(sizeof chunk);
    if (!ReadFile(pipe, chunk, wanted, &got, nullptr) || got == 0) return;
    bytes.append(chunk, got);
  }
}

struct Pipe {
  Win32Handle reader;
  Win32Handle writer;
};

Pipe MakeInheritablePipe() {
  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof inheritable;
  inheritable.bInheritHandle = TRUE;
  HANDLE reader = nullptr;
  HANDLE writer = nullptr;
  if (!CreatePipe(&reader, &writer, &inheritable, 0)) throw std::runtime_error("CreatePipe failed");
  SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
  return {Win32Handle(reader), Win32Handle(writer)};
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry{};
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = folder + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full + "\\");
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string TestProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, length);
  return name.substr(0, name.find_last_of('\\') + 1);
}

std::string FullPathOf(const std::string& name) {
  char full[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(name.c_str(), MAX_PATH, full, nullptr);
  return std::string(full, length);
}

ProcessResult RunCommandLine(const std::string& commandLine, const std::string& folder) {
  Pipe output = MakeInheritablePipe();
  Pipe error = MakeInheritablePipe();
  // Input from the null device: a program that reads it sees its end at once
  // instead of waiting on whatever the test program was given.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Win32Handle input(
      CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = output.writer.get();
  startup.hStdError = error.writer.get();
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    throw std::runtime_error("CreateProcessA failed for: " + commandLine);
  }
  Win32Handle process(info.hProcess);
  Win32Handle thread(info.hThread);
  input.Close();
  output.writer.Close();
  error.writer.Close();

  // The end of the pipes is no sign that the program has ended: a process
  // the program starts may hold them longer. Wine's desktop process, started
  // by the first program that needs a window, keeps the standard error of
  // the program that started it for as long as the desktop lives, which is
  // longer than this test program. So the program's own end is awaited, and
  // the pipes are emptied while it runs and once more after it, when all it
  // wrote is in them.
  ProcessResult result;
  const ULONGLONG deadline = GetTickCount64() + 1000ull * CommandTimeLimitSeconds();
  for (;;) {
    ReadAvailable(output.reader.get(), result.standardOutput);
    ReadAvailable(error.reader.get(), result.standardError);
    if (WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0) break;
    if (GetTickCount64() > deadline) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), 10000);
      throw std::runtime_error("still running after " + std::to_string(CommandTimeLimitSeconds()) +
                               " s, stopped: " + commandLine + "\nstandard output so far:\n" + result.standardOutput +
                               "\nstandard error so far:\n" + result.standardError);
    }
  }
  ReadAvailable(output.reader.get(), result.standardOutput);
  ReadAvailable(error.reader.get(), result.standardError);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.get(), &exitCode);
  result.exitCode = exitCode;
  return result;
}

int CommandTimeLimitSeconds() {
  char setting[32] = {};
  const DWORD length = GetEnvironmentVariableA("QUORVEX_TEST_COMMAND_SECONDS", setting, sizeof setting);
  const int seconds = length > 0 && length < sizeof setting ? std::atoi(setting) : 0;
  return seconds > 0 ? seconds : 300;
}

uint32_t WaitForExit(HANDLE process) {
  if (WaitForSingleObject(process, 1000u * static_cast<DWORD>(CommandTimeLimitSeconds())) != WAIT_OBJECT_0) {
    TerminateProcess(process, 1);
    throw std::runtime_error("a started program was still running after " + std::to_string(CommandTimeLimitSeconds()) +
                             " s and was stopped");
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process, &exitCode);
  return exitCode;
}

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> counter{0};
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp) + "quorvex-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(counter++) + "\\";
  RemoveTree(path_);
  MakeFolder(path_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

bool FileExists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::string& name) {
  Win32Handle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) throw std::runtime_error("cannot open " + name);
  return ReadAll(file.get());
}

void WriteFileBytes(const std::string& name, std::string_view bytes) {
  Win32Handle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (!file.valid() || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    throw std::runtime_error("cannot write " + name);
  }
}

void MakeFolder(const std::string& name) {
  if (!CreateDirectoryA(name.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    throw std::runtime_error("cannot create " + name);
  }
}

void RemoveFileIfAny(const std::string& name) { DeleteFileA(name.c_str()); }

void CopyFileTo(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) throw std::runtime_error("cannot copy " + from + " to " + to);
}

void AddRegistryString(const std::string& key, const std::string& value, const std::string& data) {
  // reg.exe reads its arguments by the C runtime's rules, where a backslash
  // before a quote escapes it: a trailing backslash is doubled.
  std::string quotedData;
  for (char c : data) quotedData += c == '"' ? std::string("\\\"") : std::string(1, c);
  if (!quotedData.empty() && quotedData.back() == '\\') quotedData += '\\';
  const ProcessResult result =
      RunCommandLine("reg.exe add \"" + key + "\" /v \"" + value + "\" /t REG_SZ /d \"" + quotedData + "\" /f");
  if (result.exitCode != 0) throw std::runtime_error("reg add failed for " + key + " " + value);
}

void DeleteRegistryKey(const std::string& key) { RunCommandLine("reg.exe delete \"" + key + "\" /f"); }

}  // namespace quorvex::testing
