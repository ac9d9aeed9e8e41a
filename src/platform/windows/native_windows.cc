#include "platform/windows/native_windows.h"

#include <windows.h>

#include <climits>

#include "platform/console.h"
#include "platform/native.h"
#include "text/conversions.h"
#include "text/file_names.h"

namespace quorvex {
namespace {

const LeadByteTable& LeadBytes() {
  static const LeadByteTable table = ReadLeadByteTable(CP_THREAD_ACP);
  return table;
}

bool HasLeadBytes() {
  static const bool any = [] {
    for (bool lead : LeadBytes()) {
      if (lead) return true;
    }
    return false;
  }();
  return any;
}

}  // namespace

LeadByteTable ReadLeadByteTable(unsigned codePage) {
  LeadByteTable table{};
  CPINFO info{};
  if (!GetCPInfo(codePage, &info)) return table;
  // LeadByte holds pairs of range bounds, ended by a pair of zeros.
  for (size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte) table[byte] = true;
  }
  return table;
}

bool IsAnsiLeadByte(unsigned char byte) { return LeadBytes()[byte]; }

std::string_view NativeLineEnd() { return "\r\n"; }
char NativePathSeparator() { return '\\'; }
std::string_view NativeMkvmergeFileName() { return "mkvmerge.exe"; }
std::string_view NativeOptionPrefixes() { return "-/"; }

namespace {

std::u16string WidenAnsi(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::u16string wide(static_cast<size_t>(units), u'\0');
  const int written =
      MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(wide.data()), units);
  if (written <= 0) return {};
  wide.resize(static_cast<size_t>(written));
  return wide;
}

std::string NarrowToAnsi(std::u16string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const auto* units = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, units, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string narrow(static_cast<size_t>(bytes), '\0');
  const int written = WideCharToMultiByte(CP_THREAD_ACP, 0, units, length, narrow.data(), bytes, nullptr, nullptr);
  if (written <= 0) return {};
  narrow.resize(static_cast<size_t>(written));
  return narrow;
}

// Every program that links this side gets the code page's rules before main
// runs, tests included; the entry point settles them again, harmlessly.
[[maybe_unused]] const bool settledAtLoad = [] {
  SettleAnsiCodePage();
  return true;
}();

}  // namespace

void SettleAnsiCodePage() {
  // Under a single-byte code page every delimiter byte counts.
  static const FileNameRules rules = WindowsFileNameRules(HasLeadBytes() ? &IsAnsiLeadByte : nullptr);
  UseFileNameRules(rules);
  UseTextConversions({&WidenAnsi, &NarrowToAnsi});
}

}  // namespace quorvex
