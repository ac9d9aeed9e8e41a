#include "text/conversions.h"

#include <cstdint>

namespace quorvex {
namespace {

// Code units 0xDC80..0xDCFF stand for the bytes 0x80..0xFF that are not part
// of valid UTF-8: lone low surrogates, which valid UTF-8 never yields, so
// names that are not UTF-8 (a Latin-1 "café.ts") survive the trip to UTF-16
// and back byte for byte.
constexpr char16_t kEscapedByteBase = 0xDC00;

// The code point of the valid UTF-8 sequence at `text[i]` and its length;
// false when the bytes there are no valid sequence (overlong forms,
// surrogates, values above U+10FFFF, cut-off sequences included).
bool DecodeUtf8(std::string_view text, size_t i, uint32_t& code, size_t& length) {
  const auto lead = static_cast<uint8_t>(text[i]);
  size_t extra = 0;
  uint32_t minimum = 0;
  if (lead < 0x80) {
    code = lead, length = 1;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    code = lead & 0x1Fu, extra = 1, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    code = lead & 0x0Fu, extra = 2, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    code = lead & 0x07u, extra = 3, minimum = 0x10000;
  } else {
    return false;
  }
  for (size_t k = 1; k <= extra; ++k) {
    if (i + k >= text.size()) return false;
    const auto next = static_cast<uint8_t>(text[i + k]);
    if ((next & 0xC0) != 0x80) return false;
    code = (code << 6) | (next & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
  length = extra + 1;
  return true;
}

void AppendUtf8(std::string& out, uint32_t code) {
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

// Set once at start, before any other thread runs, and only read after.
TextConversions installedConversions{&WidenBytes, &NarrowToBytes};

}  // namespace

std::u16string WidenText(std::string_view text) { return installedConversions.widen(text); }
std::string NarrowText(std::u16string_view text) { return installedConversions.narrow(text); }
void UseTextConversions(const TextConversions& conversions) { installedConversions = conversions; }

std::u16string FixedWideText(const char16_t* units, size_t count) {
  size_t length = 0;
  while (length < count && units[length] != 0) ++length;
  return std::u16string(units, length);
}

std::u16string WidenBytes(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    uint32_t code = 0;
    size_t length = 0;
    if (!DecodeUtf8(text, i, code, length)) {
      out.push_back(static_cast<char16_t>(kEscapedByteBase | static_cast<uint8_t>(text[i])));
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return out;
}

std::string NarrowToBytes(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (code >= 0xDC80 && code <= 0xDCFF) {
      out.push_back(static_cast<char>(code & 0xFF));
      continue;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      return {};  // a lone surrogate that stands for no byte
    }
    AppendUtf8(out, code);
  }
  return out;
}

}  // namespace quorvex
