#ifndef QUORVEX_PLATFORM_POSIX_PROCESS_RUNNER_POSIX_H_
#define QUORVEX_PLATFORM_POSIX_PROCESS_RUNNER_POSIX_H_

#include "platform/process_runner.h"

namespace quorvex {

class PosixProcessRunner : public ProcessRunner {
 public:
  std::optional<uint32_t> RunInConsole(const ProcessCommand& command) override;
  std::optional<CapturedRun> RunCapturingOutput(const ProcessCommand& command) override;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_POSIX_PROCESS_RUNNER_POSIX_H_
