#ifndef QUORVEX_PLATFORM_NATIVE_H_
#define QUORVEX_PLATFORM_NATIVE_H_

#include <string_view>

namespace quorvex {

// Facts of the platform the program was built for. The core asks these
// instead of testing the platform itself.
// A directory separator that is always understood.
char NativePathSeparator();
// The file name of mkvmerge's program: "mkvmerge" or "mkvmerge.exe".
std::string_view NativeMkvmergeFileName();
// The characters that introduce an option: "-" and "/" on Windows, "-" alone
// on POSIX, where an argument beginning with "/" is an absolute path.
std::string_view NativeOptionPrefixes();

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_NATIVE_H_
