#ifndef QUORVEX_PLATFORM_TESTING_MANUAL_INTERRUPTS_H_
#define QUORVEX_PLATFORM_TESTING_MANUAL_INTERRUPTS_H_

#include <atomic>

#include "platform/interrupts.h"

namespace quorvex {

// Stop requests a test makes by calling Request, at the moment it chooses.
class ManualInterrupts final : public Interrupts {
 public:
  void BeginWatch() override {
    if (watches_++ == 0) requested_ = false;
  }
  void EndWatch() override { --watches_; }
  bool Requested() const override { return requested_.load(); }

  void Request() { requested_ = true; }
  int watches() const { return watches_.load(); }

 private:
  std::atomic<int> watches_{0};
  std::atomic<bool> requested_{false};
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_TESTING_MANUAL_INTERRUPTS_H_
