#ifndef QUORVEX_PLATFORM_POSIX_STANDARD_STREAMS_POSIX_H_
#define QUORVEX_PLATFORM_POSIX_STANDARD_STREAMS_POSIX_H_

#include <string_view>

#include "platform/console.h"

namespace quorvex {

// Standard output as a console sink.
class PosixStandardOutput : public OutputSink {
 public:
  bool Write(const char* data, size_t size) override;
  bool IsTerminal() const override;
};

// Writes one line to standard error, unbuffered; failures are ignored since
// there is nowhere left to report them.
void WriteErrorLine(std::string_view line);

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_POSIX_STANDARD_STREAMS_POSIX_H_
