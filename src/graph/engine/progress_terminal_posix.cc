// Standard error as the progress line's terminal, on POSIX.
#include <unistd.h>

#include "graph/engine/progress_line.h"

namespace quorvex::engine {
namespace {

class StandardErrorTerminal final : public ProgressTerminal {
 public:
  void Write(std::string_view text) override {
    while (!text.empty()) {
      const ssize_t written = ::write(STDERR_FILENO, text.data(), text.size());
      if (written <= 0) return;  // progress is a courtesy; a failure is not the run's
      text.remove_prefix(static_cast<size_t>(written));
    }
  }
};

}  // namespace

std::unique_ptr<ProgressTerminal> OpenProgressTerminal() {
  if (::isatty(STDERR_FILENO) != 1) return nullptr;
  return std::make_unique<StandardErrorTerminal>();
}

}  // namespace quorvex::engine
