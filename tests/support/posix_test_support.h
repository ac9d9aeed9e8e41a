#ifndef QUORVEX_TESTS_SUPPORT_POSIX_TEST_SUPPORT_H_
#define QUORVEX_TESTS_SUPPORT_POSIX_TEST_SUPPORT_H_

// What tests on POSIX need to run programs and to make and read files: shared
// by the unit tests that reach the real system and by the end-to-end tests.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quorvex::test_support {

struct CommandResult {
  int exitCode = -1;        // -1 when the command could not run, died by a signal or was stopped as hung
  std::string output;       // standard output
  std::string errorOutput;  // standard error
};

// Runs a program (found on PATH when the name has no slash) with arguments,
// without a shell; stdin is /dev/null. `extraEnvironment` entries are
// "NAME=value" added to (or replacing in) the current environment.
// `whileRunning`, when given, is called on a thread of its own with the
// process id right after the start, for tests that act on the running program.
// A program still running after CommandTimeLimitSeconds() is killed, and the
// result says so on its error output: a hung program fails its test instead
// of holding up the run.
CommandResult RunCommand(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& extraEnvironment = {},
                         const std::function<void(int processId)>& whileRunning = {});

// 300 s, or QUORVEX_TEST_COMMAND_SECONDS when set.
int CommandTimeLimitSeconds();

// A fresh directory for one test, removed with everything in it on destruction.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Runs ffmpeg quietly (-hide_banner -loglevel error -y prepended); fails the
// current test when it fails.
void RunFfmpeg(const std::vector<std::string>& arguments);

// Splits text into lines without their ends.
std::vector<std::string> Lines(const std::string& text);

std::string ReadFile(const std::string& path);

// Makes a named pipe; fails the current test when it cannot.
void MakeFifo(const std::string& path);

}  // namespace quorvex::test_support

#endif  // QUORVEX_TESTS_SUPPORT_POSIX_TEST_SUPPORT_H_
