#ifndef QUORVEX_PLATFORM_STANDARD_ERROR_H_
#define QUORVEX_PLATFORM_STANDARD_ERROR_H_

#include <string_view>

namespace quorvex {

// Writes one line and the platform's line end to standard error, unbuffered:
// LF on POSIX; on Windows CR LF, in the console's OEM code page. Failures
// are ignored since there is nowhere left to report them.
void WriteErrorLine(std::string_view line);

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_STANDARD_ERROR_H_
