#include "platform/console.h"
#include "platform/native.h"
#include "text/conversions.h"
#include "text/file_names.h"

namespace quorvex {

std::string_view NativeLineEnd() { return "\n"; }
char NativePathSeparator() { return '/'; }
std::string_view NativeMkvmergeFileName() { return "mkvmerge"; }
std::string_view NativeOptionPrefixes() { return "-"; }
const FileNameRules& NativeFileNameRules() { return PosixFileNameRules(); }

// File names on POSIX are UTF-8 by convention; names that are not valid
// UTF-8 cannot be widened and come out empty.
std::u16string WidenText(std::string_view text) { return Utf8ToUtf16(text).value_or(std::u16string()); }
std::string NarrowText(std::u16string_view text) { return Utf16ToUtf8(text).value_or(std::string()); }

}  // namespace quorvex
