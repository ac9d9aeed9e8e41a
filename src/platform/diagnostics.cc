#include "platform/diagnostics.h"

#include <atomic>
#include <mutex>
#include <string>

#include "platform/standard_error.h"

namespace quorvex {
namespace {

std::atomic<DiagnosticSink*> installedSink{nullptr};
// Lines from the streaming threads and the main thread never interleave.
std::mutex writing;

}  // namespace

void Diagnose(std::string_view text) {
  std::string line = "quorvex: ";
  line += text;
  std::lock_guard lock(writing);
  if (DiagnosticSink* sink = installedSink.load(); sink != nullptr) {
    sink->WriteDiagnostic(line);
    return;
  }
  WriteErrorLine(line);
}

DiagnosticSink* SetDiagnosticSink(DiagnosticSink* sink) { return installedSink.exchange(sink); }

}  // namespace quorvex
