// Interrupt requests as POSIX signals.
//
// A handler alone cannot tell a request at once: the system runs it on a
// thread of its choosing (often the main one, asleep until the job ends),
// which may get the processor only after another thread has already given
// the job's verdict. So while watched, the requests are also held back in
// the thread that begins the watch and in every thread it starts (the
// engine's streaming threads inherit the mask): a request then waits in the
// process's pending set, where every thread sees it the moment it is sent.
// The handler still records one that a thread not holding them back takes.
#include <pthread.h>
#include <signal.h>
#include <time.h>

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

// The watched signals held back during the current watch, one bit per entry
// of kWatchedSignals; none outside a watch.
std::atomic<unsigned> heldSignals{0};

sigset_t SignalSet(unsigned bits) {
  sigset_t set;
  sigemptyset(&set);
  for (size_t i = 0; i < kWatchedCount; ++i) {
    if ((bits >> i) & 1u) sigaddset(&set, kWatchedSignals[i]);
  }
  return set;
}

// Whether a held-back request waits to be taken.
bool RequestPending() {
  const unsigned held = heldSignals.load();
  if (held == 0) return false;
  sigset_t pending;
  if (::sigpending(&pending) != 0) return false;
  for (size_t i = 0; i < kWatchedCount; ++i) {
    if (((held >> i) & 1u) && sigismember(&pending, kWatchedSignals[i]) == 1) return true;
  }
  return false;
}

// Takes every pending request among `set` off the pending set; true when
// there was one.
bool TakePending(const sigset_t& set) {
  const timespec now{};
  bool taken = false;
  while (::sigtimedwait(&set, nullptr, &now) > 0) taken = true;
  return taken;
}

class PosixInterrupts final : public Interrupts {
 public:
  void BeginWatch() override {
    std::lock_guard lock(mutex_);
    if (watches_++ > 0) return;
    // A signal the program was started with ignored (a background job of
    // a script, nohup) stays ignored: whoever started it asked for that.
    // Held back, it would be kept as pending instead of dropped.
    unsigned held = 0;
    for (size_t i = 0; i < kWatchedCount; ++i) {
      ::sigaction(kWatchedSignals[i], nullptr, &saved_[i]);
      if (saved_[i].sa_handler != SIG_IGN) held |= 1u << i;
    }
    const sigset_t heldSet = SignalSet(held);
    ::pthread_sigmask(SIG_BLOCK, &heldSet, &savedMask_);
    owner_ = ::pthread_self();
    // Requests the program was already holding back came before the watch.
    TakePending(heldSet);
    requested.store(false);
    struct sigaction action {};
    action.sa_handler = &RecordRequest;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kWatchedCount; ++i) {
      if ((held >> i) & 1u) ::sigaction(kWatchedSignals[i], &action, nullptr);
    }
    heldSignals.store(held);
  }

  void EndWatch() override {
    std::lock_guard lock(mutex_);
    if (watches_ == 0 || --watches_ > 0) return;
    const unsigned held = heldSignals.load();
    const sigset_t heldSet = SignalSet(held);
    // A request still waiting counts, and is taken here: once the watch is
    // over its default action would end the process.
    if (RequestPending()) requested.store(true);
    if (TakePending(heldSet)) requested.store(true);
    heldSignals.store(0);
    for (size_t i = 0; i < kWatchedCount; ++i) {
      if ((held >> i) & 1u) ::sigaction(kWatchedSignals[i], &saved_[i], nullptr);
    }
    // Only what the watch itself held back is let through again, and only
    // on the thread that held it back.
    if (::pthread_equal(owner_, ::pthread_self())) {
      sigset_t release;
      sigemptyset(&release);
      for (size_t i = 0; i < kWatchedCount; ++i) {
        if (((held >> i) & 1u) && sigismember(&savedMask_, kWatchedSignals[i]) != 1) {
          sigaddset(&release, kWatchedSignals[i]);
        }
      }
      ::pthread_sigmask(SIG_UNBLOCK, &release, nullptr);
    }
  }

  bool Requested() const override {
    if (requested.load()) return true;
    if (!RequestPending()) return false;
    requested.store(true);
    return true;
  }

 private:
  std::mutex mutex_;
  int watches_ = 0;
  struct sigaction saved_[kWatchedCount] {};
  sigset_t savedMask_{};
  pthread_t owner_{};
};

}  // namespace

Interrupts& SystemInterrupts() {
  static PosixInterrupts interrupts;
  return interrupts;
}

}  // namespace quorvex
