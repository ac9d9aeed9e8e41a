#ifndef QUORVEX_PLATFORM_PROGRESS_TERMINAL_H_
#define QUORVEX_PLATFORM_PROGRESS_TERMINAL_H_

#include <memory>
#include <string_view>

namespace quorvex {

// Where a self-updating progress line goes: standard error, when it is a
// terminal.
class ProgressTerminal {
 public:
  virtual ~ProgressTerminal() = default;
  // Best effort: progress is a courtesy, a failed write is not the run's.
  virtual void Write(std::string_view text) = 0;
};

// The terminal on standard error, or nullptr when standard error is a file
// or a pipe: a log should not fill with carriage returns.
std::unique_ptr<ProgressTerminal> OpenProgressTerminal();

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_PROGRESS_TERMINAL_H_
