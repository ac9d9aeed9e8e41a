// The console on standard error as the progress line's terminal, on Windows.
#include <windows.h>

#include "platform/progress_terminal.h"

namespace quorvex {
namespace {

class ConsoleTerminal final : public ProgressTerminal {
 public:
  explicit ConsoleTerminal(HANDLE console) : console_(console) {}
  void Write(std::string_view text) override {
    DWORD written = 0;
    WriteFile(console_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }

 private:
  HANDLE console_;
};

}  // namespace

std::unique_ptr<ProgressTerminal> OpenProgressTerminal() {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (error == nullptr || error == INVALID_HANDLE_VALUE || GetConsoleMode(error, &mode) == FALSE) return nullptr;
  return std::make_unique<ConsoleTerminal>(error);
}

}  // namespace quorvex
