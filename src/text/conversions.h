#ifndef QUORVEX_TEXT_CONVERSIONS_H_
#define QUORVEX_TEXT_CONVERSIONS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

// 8-bit text of the platform (UTF-8 on POSIX, the ANSI code page on Windows)
// to and from UTF-16. Empty gives empty; a failed conversion gives empty.
std::u16string WidenText(std::string_view text);
std::string NarrowText(std::u16string_view text);

// The pair of conversions behind WidenText and NarrowText. POSIX needs no
// system call for them and they are the default; Windows converts through
// its ANSI code page, which its platform layer installs at start.
struct TextConversions {
  std::u16string (*widen)(std::string_view text);
  std::string (*narrow)(std::u16string_view text);
};
void UseTextConversions(const TextConversions& conversions);

// The units of a fixed array before its first zero unit, or all of them.
std::u16string FixedWideText(const char16_t* units, size_t count);

// Strict UTF-8 <-> UTF-16; nullopt on malformed input (overlong forms,
// surrogates, unpaired surrogates, values above U+10FFFF).
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);

}  // namespace quorvex

#endif  // QUORVEX_TEXT_CONVERSIONS_H_
