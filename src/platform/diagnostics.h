#ifndef QUORVEX_PLATFORM_DIAGNOSTICS_H_
#define QUORVEX_PLATFORM_DIAGNOSTICS_H_

#include <string_view>

namespace quorvex {

// Diagnostics are what the user should know beyond the program's own lines
// on standard output: the system's reason for a failure, a warning about a
// stream left out or damage skipped. Each is one line on standard error,
// "quorvex: " followed by the text, so standard output stays exactly as
// scripts expect it.
void Diagnose(std::string_view text);

// Where diagnostics go instead of standard error; tests install one to read
// them. Calls may come from any thread.
class DiagnosticSink {
 public:
  virtual ~DiagnosticSink() = default;
  // `line` is the whole line without its line end.
  virtual void WriteDiagnostic(std::string_view line) = 0;
};

// Installs `sink` (nullptr restores standard error); returns the previous one.
DiagnosticSink* SetDiagnosticSink(DiagnosticSink* sink);

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_DIAGNOSTICS_H_
