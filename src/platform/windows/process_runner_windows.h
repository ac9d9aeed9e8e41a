#ifndef QUORVEX_PLATFORM_WINDOWS_PROCESS_RUNNER_WINDOWS_H_
#define QUORVEX_PLATFORM_WINDOWS_PROCESS_RUNNER_WINDOWS_H_

#include "platform/process_runner.h"

namespace quorvex {

// Starts programs with CreateProcessA on the command's exact `commandLine`
// (no application name, so the program is the line's first, quoted item)
// and waits for them without a time-out.
class WindowsProcessRunner : public ProcessRunner {
 public:
  std::optional<uint32_t> RunInConsole(const ProcessCommand& command) override;
  std::optional<CapturedRun> RunCapturingOutput(const ProcessCommand& command) override;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_WINDOWS_PROCESS_RUNNER_WINDOWS_H_
