#ifndef QUORVEX_PLATFORM_PROCESS_RUNNER_H_
#define QUORVEX_PLATFORM_PROCESS_RUNNER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

// A program to start. POSIX hands `arguments` (argv, the program path first)
// to the program without a shell; Windows hands it `commandLine`, which the
// caller builds by the quoting rules of the program it starts.
struct ProcessCommand {
  std::vector<std::string> arguments;
  std::string commandLine;
};

struct CapturedRun {
  uint32_t exitCode = 0;
  std::string standardOutput;
};

// Exit code of a process killed by a signal: top bit set, so it always reads
// as an error code.
constexpr uint32_t SignalExitCode(int signal) { return 0x80000000u | static_cast<uint32_t>(signal); }

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // Runs in the tool's console and waits for the end; nullopt when the program
  // cannot be started. Interrupt signals reach the child, not the tool, during
  // the wait, so the caller's clean-up always runs.
  virtual std::optional<uint32_t> RunInConsole(const ProcessCommand& command) = 0;
  // Runs with standard output read through a pipe; nullopt when it cannot start.
  virtual std::optional<CapturedRun> RunCapturingOutput(const ProcessCommand& command) = 0;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_PROCESS_RUNNER_H_
