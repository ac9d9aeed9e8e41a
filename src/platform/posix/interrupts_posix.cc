// Interrupt requests as POSIX signals recorded in a flag.
#include <signal.h>

#include <atomic>
#include <mutex>

#include "platform/interrupts.h"

namespace quorvex {
namespace {

std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

void RecordRequest(int) { requested.store(true); }

// Ctrl+C, kill's default, a closed terminal or dropped ssh session, Ctrl+\.
constexpr int kWatchedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr size_t kWatchedCount = sizeof kWatchedSignals / sizeof kWatchedSignals[0];

class PosixInterrupts final : public Interrupts {
 public:
  void BeginWatch() override {
    std::lock_guard lock(mutex_);
    if (watches_++ > 0) return;
    requested.store(false);
    struct sigaction action {};
    action.sa_handler = &RecordRequest;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kWatchedCount; ++i) {
      ::sigaction(kWatchedSignals[i], &action, &saved_[i]);
      // A signal the program was started with ignored (a background job of
      // a script, nohup) stays ignored: whoever started it asked for that.
      if (saved_[i].sa_handler == SIG_IGN) ::sigaction(kWatchedSignals[i], &saved_[i], nullptr);
    }
  }

  void EndWatch() override {
    std::lock_guard lock(mutex_);
    if (watches_ == 0 || --watches_ > 0) return;
    for (size_t i = 0; i < kWatchedCount; ++i) ::sigaction(kWatchedSignals[i], &saved_[i], nullptr);
  }

  bool Requested() const override { return requested.load(); }

 private:
  std::mutex mutex_;
  int watches_ = 0;
  struct sigaction saved_[kWatchedCount] {};
};

}  // namespace

Interrupts& SystemInterrupts() {
  static PosixInterrupts interrupts;
  return interrupts;
}

}  // namespace quorvex
