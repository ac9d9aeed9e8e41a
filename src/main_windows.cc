// Program entry on Windows: builds the platform's services and runs the program.
#include <objbase.h>
#include <windows.h>
// The SEH helper macro of that name would hide the program's exception class.
#undef AbnormalTermination

#include <memory>
#include <string>
#include <vector>

#include "cli/command_line_splitter.h"
#include "cli/program.h"
#include "graph/directshow/directshow_class_factory.h"
#include "platform/windows/file_system_windows.h"
#include "platform/windows/native_windows.h"
#include "platform/windows/process_runner_windows.h"
#include "platform/windows/registry_reader_windows.h"
#include "platform/windows/standard_output_windows.h"

namespace {

// The command line is in the system's ANSI code page.
bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// The module named in the abnormal-termination report: this program's file.
std::string ModuleName() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, length);
  const size_t slash = name.find_last_of("\\/:");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

int main() {
  using namespace quorvex;
  // Once, on the one thread, and never undone: COM stays up until the end.
  CoInitialize(nullptr);
  SettleAnsiCodePage();

  // The C runtime's argv follows other quoting rules; the program cuts its
  // own list from the raw command line.
  const std::vector<std::string> arguments = SplitCommandLine(GetCommandLineA(), &IsSystemLeadByte);

  WindowsStandardOutput standardOutput;
  Console console(standardOutput, NativeLineEnd());
  return RunReportingAbnormalEnd(
      console, ModuleName(),
      [&] {
        WindowsFileSystem files;
        WindowsProcessRunner processes;
        WindowsRegistryReader registry;
        std::unique_ptr<ClassFactory> graphObjects = CreateDirectShowClassFactory();
        ProgramServices services{console, files, processes, registry, *graphObjects};
        return RunProgram(arguments, services);
      },
      [](const std::string& line) { WriteErrorLine(line); });
}
