#include "text/file_names.h"

namespace quorvex {
namespace {

constexpr size_t kNone = std::string_view::npos;

// True when the byte at `pos` is the second byte of a double-byte character:
// the run of lead bytes directly before it has odd length.
bool IsTrailByte(std::string_view name, size_t pos, const FileNameRules& rules) {
  if (rules.isLeadByte == nullptr) return false;
  size_t run = 0;
  while (pos > run && rules.isLeadByte(static_cast<unsigned char>(name[pos - run - 1]))) ++run;
  return run % 2 == 1;
}

size_t LastDelimiter(std::string_view name, std::string_view delimiters, const FileNameRules& rules) {
  for (size_t pos = name.size(); pos-- > 0;) {
    char c = name[pos];
    if (c == '\0' || delimiters.find(c) == kNone) continue;
    if (IsTrailByte(name, pos, rules)) {
      --pos;  // go on before the lead byte in front of it
      continue;
    }
    return pos;
  }
  return kNone;
}

}  // namespace

const FileNameRules& WindowsFileNameRules() {
  static const FileNameRules rules{".\\:", "\\:", nullptr};
  return rules;
}

FileNameRules WindowsFileNameRules(bool (*isLeadByte)(unsigned char)) {
  FileNameRules rules = WindowsFileNameRules();
  rules.isLeadByte = isLeadByte;
  return rules;
}

const FileNameRules& PosixFileNameRules() {
  static const FileNameRules rules{"./", "/", nullptr};
  return rules;
}

namespace {
// Set once at start, before any other thread runs, and only read after.
const FileNameRules* installedRules = nullptr;
}  // namespace

const FileNameRules& NativeFileNameRules() {
  return installedRules != nullptr ? *installedRules : PosixFileNameRules();
}
void UseFileNameRules(const FileNameRules& rules) { installedRules = &rules; }

std::string ExtensionOf(std::string_view name, const FileNameRules& rules) {
  size_t pos = LastDelimiter(name, rules.extensionDelimiters, rules);
  if (pos == kNone || name[pos] != '.') return {};
  return std::string(name.substr(pos));
}

std::string ReplaceExtension(std::string_view name, std::string_view extension, const FileNameRules& rules) {
  size_t pos = LastDelimiter(name, rules.extensionDelimiters, rules);
  std::string result(pos != kNone && name[pos] == '.' ? name.substr(0, pos) : name);
  result += extension;
  return result;
}

std::string DirectoryOf(std::string_view name, const FileNameRules& rules) {
  size_t pos = LastDelimiter(name, rules.directoryDelimiters, rules);
  if (pos == kNone) return {};
  return std::string(name.substr(0, pos + 1));
}

std::string TrimBlanks(std::string_view text) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace quorvex
