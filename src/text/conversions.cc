#include "text/conversions.h"

#include <cstdint>

namespace quorvex {
namespace {

// File names on POSIX are UTF-8 by convention; names that are not valid
// UTF-8 cannot be widened and come out empty.
std::u16string WidenUtf8(std::string_view text) { return Utf8ToUtf16(text).value_or(std::u16string()); }
std::string NarrowToUtf8(std::u16string_view text) { return Utf16ToUtf8(text).value_or(std::string()); }

// Set once at start, before any other thread runs, and only read after.
TextConversions installedConversions{&WidenUtf8, &NarrowToUtf8};

}  // namespace

std::u16string WidenText(std::string_view text) { return installedConversions.widen(text); }
std::string NarrowText(std::u16string_view text) { return installedConversions.narrow(text); }
void UseTextConversions(const TextConversions& conversions) { installedConversions = conversions; }

std::u16string FixedWideText(const char16_t* units, size_t count) {
  size_t length = 0;
  while (length < count && units[length] != 0) ++length;
  return std::u16string(units, length);
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    uint32_t code = 0;
    size_t extra = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      code = lead & 0x1Fu, extra = 1, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      code = lead & 0x0Fu, extra = 2, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      code = lead & 0x07u, extra = 3, minimum = 0x10000;
    } else {
      return std::nullopt;
    }
    for (size_t k = 1; k <= extra; ++k) {
      if (i + k >= text.size()) return std::nullopt;
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += extra + 1;
  }
  return out;
}

std::optional<std::string> Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return std::nullopt;
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
      return std::nullopt;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

}  // namespace quorvex
