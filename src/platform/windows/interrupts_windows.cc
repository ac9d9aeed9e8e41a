// Interrupt requests as console control events recorded in a flag.
#include <windows.h>

#include <atomic>
#include <mutex>

#include "platform/interrupts.h"

namespace quorvex {
namespace {

std::atomic<bool> requested{false};

// Ctrl+C, Ctrl+Break and a closed console window. The handler runs on a
// thread of its own; answering TRUE keeps the process alive while the job
// stops (after a closed window the system still ends it a few seconds on).
BOOL WINAPI RecordRequest(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      requested.store(true);
      return TRUE;
    default:
      return FALSE;
  }
}

class WindowsInterrupts final : public Interrupts {
 public:
  void BeginWatch() override {
    std::lock_guard lock(mutex_);
    if (watches_++ > 0) return;
    requested.store(false);
    // A process started with Ctrl+C ignored never receives the event, so
    // that choice of whoever started it stays as it is.
    SetConsoleCtrlHandler(&RecordRequest, TRUE);
  }

  void EndWatch() override {
    std::lock_guard lock(mutex_);
    if (watches_ == 0 || --watches_ > 0) return;
    SetConsoleCtrlHandler(&RecordRequest, FALSE);
  }

  bool Requested() const override { return requested.load(); }

 private:
  std::mutex mutex_;
  int watches_ = 0;
};

}  // namespace

Interrupts& SystemInterrupts() {
  static WindowsInterrupts interrupts;
  return interrupts;
}

}  // namespace quorvex
