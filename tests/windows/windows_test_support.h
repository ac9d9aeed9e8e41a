#ifndef QUORVEX_TESTS_WINDOWS_WINDOWS_TEST_SUPPORT_H_
#define QUORVEX_TESTS_WINDOWS_WINDOWS_TEST_SUPPORT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex::testing {

// The folder of the running test program, with its trailing backslash; the
// programs under test are built into the same folder or its parents.
std::string TestProgramFolder();
// A name made absolute and free of "." and ".." steps.
std::string FullPathOf(const std::string& name);

struct ProcessResult {
  uint32_t exitCode = 0;
  std::string standardOutput;
  std::string standardError;
};

// Starts a program with CreateProcessA on exactly `commandLine` (no
// application name, no re-quoting) in `folder`, with its standard output
// and standard error read through pipes and its input from the null device,
// and waits for its end. A program still running after
// CommandTimeLimitSeconds() is stopped and the call throws, which fails the
// test with its name.
ProcessResult RunCommandLine(const std::string& commandLine, const std::string& folder = "");

// 300 s, or QUORVEX_TEST_COMMAND_SECONDS when set.
int CommandTimeLimitSeconds();

// Waits for a started process to end, as RunCommandLine does, and gives its
// exit code.
uint32_t WaitForExit(void* process);

// A fresh folder under the temporary folder, deleted with all it holds.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with a trailing backslash.
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

 private:
  std::string path_;
};

bool FileExists(const std::string& name);
std::string ReadFileBytes(const std::string& name);
void WriteFileBytes(const std::string& name, std::string_view bytes);
void MakeFolder(const std::string& name);
void RemoveFileIfAny(const std::string& name);
void CopyFileTo(const std::string& from, const std::string& to);

// Registry values written with the system's own reg.exe, as an installer
// would leave them. `key` starts with its root: "HKCU\\..." or "HKLM\\...".
void AddRegistryString(const std::string& key, const std::string& value, const std::string& data);
// Removes a key with everything under it; a missing key is fine.
void DeleteRegistryKey(const std::string& key);

}  // namespace quorvex::testing

#endif  // QUORVEX_TESTS_WINDOWS_WINDOWS_TEST_SUPPORT_H_
