#ifndef QUORVEX_TEXT_CONVERSIONS_H_
#define QUORVEX_TEXT_CONVERSIONS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

// 8-bit text of the platform (bytes, by convention UTF-8, on POSIX; the ANSI
// code page on Windows) to and from UTF-16. Empty gives empty; a failed
// conversion gives empty.
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

// POSIX's conversions: valid UTF-8 becomes its UTF-16, and every other byte
// 0x80..0xFF the lone surrogate 0xDC80..0xDCFF, which NarrowToBytes turns
// back into that byte. Any byte sequence survives the round trip; a lone
// surrogate that stands for no byte narrows to empty text.
std::u16string WidenBytes(std::string_view text);
std::string NarrowToBytes(std::u16string_view text);

}  // namespace quorvex

#endif  // QUORVEX_TEXT_CONVERSIONS_H_
