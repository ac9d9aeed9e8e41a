#ifndef QUORVEX_PLATFORM_WINDOWS_STANDARD_OUTPUT_WINDOWS_H_
#define QUORVEX_PLATFORM_WINDOWS_STANDARD_OUTPUT_WINDOWS_H_

#include <string_view>

#include "platform/console.h"
#include "platform/standard_error.h"

namespace quorvex {

// The process's standard output handle as a console sink. Bytes go out as
// they are, without translation to the console's OEM code page.
class WindowsStandardOutput : public OutputSink {
 public:
  WindowsStandardOutput();
  bool Write(const char* data, size_t size) override;
  // A console handle, as opposed to a file or a pipe.
  bool IsTerminal() const override;

 private:
  void* handle_;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_WINDOWS_STANDARD_OUTPUT_WINDOWS_H_
