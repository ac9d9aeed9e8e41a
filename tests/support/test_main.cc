// The main of every test program: GoogleTest with a guard that stops a test
// which never ends, naming it, so a hang fails the run with the test's name
// instead of holding it up in silence.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

// A generous bound: the slowest test, under the sanitizers on a busy
// machine, takes a fraction of it. QUORVEX_TEST_HANG_SECONDS changes it.
int HangLimitSeconds() {
  const char* setting = std::getenv("QUORVEX_TEST_HANG_SECONDS");
  const int seconds = setting != nullptr ? std::atoi(setting) : 0;
  return seconds > 0 ? seconds : 300;
}

class HangGuard : public ::testing::EmptyTestEventListener {
 public:
  explicit HangGuard(std::chrono::seconds limit) : limit_(limit), watcher_([this] { Watch(); }) {}

  ~HangGuard() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      finished_ = true;
    }
    changed_.notify_all();
    watcher_.join();
  }

  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;

  void OnTestStart(const ::testing::TestInfo& test) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      running_ = std::string(test.test_suite_name()) + "." + test.name();
      ++started_;
    }
    changed_.notify_all();
  }

  void OnTestEnd(const ::testing::TestInfo&) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      running_.clear();
    }
    changed_.notify_all();
  }

 private:
  void Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!finished_) {
      if (running_.empty()) {
        changed_.wait(lock);
        continue;
      }
      const unsigned long watched = started_;
      const bool moved_on =
          changed_.wait_for(lock, limit_, [&] { return finished_ || started_ != watched || running_.empty(); });
      if (!moved_on) {
        std::fprintf(stderr, "\n[  HUNG    ] %s did not end within %lld s; the test program stops here.\n",
                     running_.c_str(), static_cast<long long>(limit_.count()));
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(1);
      }
    }
  }

  const std::chrono::seconds limit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string running_;
  unsigned long started_ = 0;
  bool finished_ = false;
  std::thread watcher_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The listener list owns the guard, which outlives every test.
  ::testing::UnitTest::GetInstance()->listeners().Append(new HangGuard(std::chrono::seconds(HangLimitSeconds())));
  return RUN_ALL_TESTS();
}
