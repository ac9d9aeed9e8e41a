#include "platform/windows/process_runner_windows.h"

#include <windows.h>

#include <vector>

#include "platform/windows/win32_handle.h"

namespace quorvex {
namespace {

struct StartedProcess {
  Win32Handle process;
  Win32Handle thread;
};

// CreateProcessA may write into the command line, so it gets a copy.
std::optional<StartedProcess> Start(const std::string& commandLine, bool inheritHandles, STARTUPINFOA& startup) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, inheritHandles ? TRUE : FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return std::nullopt;
  }
  return StartedProcess{Win32Handle(info.hProcess), Win32Handle(info.hThread)};
}

// Ctrl+C during the wait is for the child: the tool lives on, so the
// caller's clean-up (restoring a backup, deleting the timecode file) runs.
// The child was started before this, so it does not inherit the ignoring.
class InterruptsIgnored {
 public:
  InterruptsIgnored() : ignoring_(SetConsoleCtrlHandler(nullptr, TRUE) != FALSE) {}
  ~InterruptsIgnored() {
    if (ignoring_) SetConsoleCtrlHandler(nullptr, FALSE);
  }
  InterruptsIgnored(const InterruptsIgnored&) = delete;
  InterruptsIgnored& operator=(const InterruptsIgnored&) = delete;

 private:
  bool ignoring_;
};

uint32_t WaitForExitCode(const StartedProcess& started) {
  WaitForSingleObject(started.process.get(), INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(started.process.get(), &exitCode);
  return exitCode;
}

}  // namespace

std::optional<uint32_t> WindowsProcessRunner::RunInConsole(const ProcessCommand& command) {
  // Every field zero but the size, which is the platform's own.
  STARTUPINFOA startup{};
  startup.cb = sizeof(STARTUPINFOA);
  std::optional<StartedProcess> started = Start(command.commandLine, false, startup);
  if (!started) return std::nullopt;
  InterruptsIgnored interrupts;
  // The handles close when `started` goes, after the exit code is read.
  return WaitForExitCode(*started);
}

std::optional<CapturedRun> WindowsProcessRunner::RunCapturingOutput(const ProcessCommand& command) {
  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof inheritable;
  inheritable.bInheritHandle = TRUE;
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return std::nullopt;
  Win32Handle reader(readEnd);
  Win32Handle writer(writeEnd);
  // Only the write end goes to the child; holding the read end there too
  // would keep the pipe open after the child's end.
  SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup{};
  startup.cb = sizeof(STARTUPINFOA);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writer.get();
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::optional<StartedProcess> started = Start(command.commandLine, true, startup);
  // Our copy of the write end must go, or the read below never sees the end.
  writer.Close();
  if (!started) return std::nullopt;

  InterruptsIgnored interrupts;
  CapturedRun run;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(reader.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) run.standardOutput.append(chunk, got);
  run.exitCode = WaitForExitCode(*started);
  return run;
}

}  // namespace quorvex
