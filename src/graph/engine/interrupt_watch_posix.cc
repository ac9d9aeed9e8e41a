// SIGINT and SIGTERM recorded in a flag, on POSIX.
#include <signal.h>

#include <atomic>

#include "graph/engine/interrupt_watch.h"

namespace quorvex::engine {
namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

void RecordInterrupt(int) { interrupted.store(true); }

void Watch(int signal, const struct sigaction& action, struct sigaction& saved) {
  ::sigaction(signal, &action, &saved);
  // A signal the program was started with ignored (a background job of a
  // script, nohup) stays ignored: whoever started it asked for that.
  if (saved.sa_handler == SIG_IGN) ::sigaction(signal, &saved, nullptr);
}

}  // namespace

struct InterruptWatch::SavedHandlers {
  struct sigaction interrupt {};
  struct sigaction terminate {};
};

InterruptWatch::InterruptWatch() : saved_(std::make_unique<SavedHandlers>()) {
  interrupted.store(false);
  struct sigaction action {};
  action.sa_handler = &RecordInterrupt;
  sigemptyset(&action.sa_mask);
  Watch(SIGINT, action, saved_->interrupt);
  Watch(SIGTERM, action, saved_->terminate);
}

InterruptWatch::~InterruptWatch() {
  ::sigaction(SIGINT, &saved_->interrupt, nullptr);
  ::sigaction(SIGTERM, &saved_->terminate, nullptr);
}

bool InterruptWatch::Interrupted() { return interrupted.load(); }

}  // namespace quorvex::engine
