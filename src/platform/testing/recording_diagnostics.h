#ifndef QUORVEX_PLATFORM_TESTING_RECORDING_DIAGNOSTICS_H_
#define QUORVEX_PLATFORM_TESTING_RECORDING_DIAGNOSTICS_H_

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/diagnostics.h"

namespace quorvex {

// Keeps the diagnostics of one test instead of writing them to standard
// error, for as long as it exists. The engine reports from its streaming
// threads, so the lines are guarded.
class RecordingDiagnostics final : public DiagnosticSink {
 public:
  RecordingDiagnostics() : previous_(SetDiagnosticSink(this)) {}
  ~RecordingDiagnostics() override { SetDiagnosticSink(previous_); }
  RecordingDiagnostics(const RecordingDiagnostics&) = delete;
  RecordingDiagnostics& operator=(const RecordingDiagnostics&) = delete;

  void WriteDiagnostic(std::string_view line) override {
    const std::lock_guard lock(mutex_);
    lines_.emplace_back(line);
  }
  std::vector<std::string> lines() const {
    const std::lock_guard lock(mutex_);
    return lines_;
  }

 private:
  DiagnosticSink* previous_;
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_TESTING_RECORDING_DIAGNOSTICS_H_
