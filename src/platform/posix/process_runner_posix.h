#ifndef QUORVEX_PLATFORM_POSIX_PROCESS_RUNNER_POSIX_H_
#define QUORVEX_PLATFORM_POSIX_PROCESS_RUNNER_POSIX_H_

#include "platform/process_runner.h"

namespace quorvex {

// Starts programs with posix_spawn and an argument vector: no shell sees
// the arguments, so every byte of a file name reaches the program.
class PosixProcessRunner : public ProcessRunner {
 public:
  std::optional<uint32_t> RunInConsole(const ProcessCommand& command) override;
  std::optional<CapturedRun> RunCapturingOutput(const ProcessCommand& command) override;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_POSIX_PROCESS_RUNNER_POSIX_H_
