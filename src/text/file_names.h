#ifndef QUORVEX_TEXT_FILE_NAMES_H_
#define QUORVEX_TEXT_FILE_NAMES_H_

#include <string>
#include <string_view>

namespace quorvex {

// Which bytes separate the parts of a file name. This is a property of the
// platform: Windows splits on '\' and ':' and knows double-byte code pages,
// POSIX splits on '/' only.
struct FileNameRules {
  std::string_view extensionDelimiters;  // includes '.'
  std::string_view directoryDelimiters;
  // Lead bytes of the active double-byte code page; null for single-byte ones.
  bool (*isLeadByte)(unsigned char) = nullptr;
};

const FileNameRules& WindowsFileNameRules();
FileNameRules WindowsFileNameRules(bool (*isLeadByte)(unsigned char));
const FileNameRules& PosixFileNameRules();

// The rules of the platform the program runs on: POSIX's unless the
// platform layer installs its own at start, as Windows does.
const FileNameRules& NativeFileNameRules();
void UseFileNameRules(const FileNameRules& rules);

// The extension with its dot, or empty.
std::string ExtensionOf(std::string_view name, const FileNameRules& rules = NativeFileNameRules());
// The name without its extension, followed by `extension` (which carries its dot).
std::string ReplaceExtension(std::string_view name, std::string_view extension,
                             const FileNameRules& rules = NativeFileNameRules());
// The directory part with its trailing delimiter, or empty.
std::string DirectoryOf(std::string_view name, const FileNameRules& rules = NativeFileNameRules());
// Drops bytes 0x00-0x20 at both ends.
std::string TrimBlanks(std::string_view text);

}  // namespace quorvex

#endif  // QUORVEX_TEXT_FILE_NAMES_H_
