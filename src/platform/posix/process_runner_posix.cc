// TEMPORARY placeholder until the process runner lands; replaced wholesale.
#include "platform/posix/process_runner_posix.h"

namespace quorvex {
std::optional<uint32_t> PosixProcessRunner::RunInConsole(const ProcessCommand&) { return std::nullopt; }
std::optional<CapturedRun> PosixProcessRunner::RunCapturingOutput(const ProcessCommand&) { return std::nullopt; }
}  // namespace quorvex
