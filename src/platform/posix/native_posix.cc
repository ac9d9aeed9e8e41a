#include "platform/console.h"
#include "platform/native.h"

namespace quorvex {

std::string_view NativeLineEnd() { return "\n"; }
char NativePathSeparator() { return '/'; }
std::string_view NativeMkvmergeFileName() { return "mkvmerge"; }
std::string_view NativeOptionPrefixes() { return "-"; }

}  // namespace quorvex
