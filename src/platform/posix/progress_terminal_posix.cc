// Standard error as the progress line's terminal, on POSIX.
#include <unistd.h>

#include "platform/progress_terminal.h"

namespace quorvex {
namespace {

class StandardErrorTerminal final : public ProgressTerminal {
 public:
  void Write(std::string_view text) override {
    while (!text.empty()) {
      const ssize_t written = ::write(STDERR_FILENO, text.data(), text.size());
      if (written <= 0) return;
      text.remove_prefix(static_cast<size_t>(written));
    }
  }
};

}  // namespace

std::unique_ptr<ProgressTerminal> OpenProgressTerminal() {
  if (::isatty(STDERR_FILENO) != 1) return nullptr;
  return std::make_unique<StandardErrorTerminal>();
}

}  // namespace quorvex
