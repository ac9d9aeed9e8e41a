#ifndef QUORVEX_PLATFORM_POSIX_STANDARD_STREAMS_POSIX_H_
#define QUORVEX_PLATFORM_POSIX_STANDARD_STREAMS_POSIX_H_

#include <string_view>

#include "platform/console.h"
#include "platform/standard_error.h"

namespace quorvex {

// Standard output as a console sink.
class PosixStandardOutput : public OutputSink {
 public:
  bool Write(const char* data, size_t size) override;
  bool IsTerminal() const override;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_POSIX_STANDARD_STREAMS_POSIX_H_
