#include "text/fold.h"

namespace quorvex {
namespace {

constexpr std::array<uint8_t, 256> MakeLowerFold1252() {
  std::array<uint8_t, 256> table{};
  for (unsigned c = 0; c < 256; ++c) {
    unsigned lower = c;
    if ((c >= 0x41 && c <= 0x5A) || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
      lower = c + 0x20;
    } else if (c == 0x8A || c == 0x8C || c == 0x8E) {
      lower = c + 0x10;
    } else if (c == 0x9F) {
      lower = 0xFF;
    }
    table[c] = static_cast<uint8_t>(lower);
  }
  return table;
}

uint8_t Fold(char c) { return LowerFold1252[static_cast<uint8_t>(c)]; }

bool MatchesAt(const char* sub, uint32_t subLength, const char* text, uint32_t start, bool caseFold) {
  for (uint32_t i = 0; i < subLength; ++i) {
    char a = sub[i];
    char b = text[start + i];
    if (caseFold ? Fold(a) != Fold(b) : a != b) return false;
  }
  return true;
}

// Resolves the "length 0 means zero-terminated" rule; false for empty input.
bool MeasureInput(const char* input, uint32_t& length) {
  if (length != 0) return true;
  if (input[0] == '\0') return false;
  std::string_view measured(input);
  length = static_cast<uint32_t>(measured.size());
  return true;
}

}  // namespace

const std::array<uint8_t, 256> LowerFold1252 = MakeLowerFold1252();

bool SameTextFold(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

int32_t FindTextRange(const char* sub, const char* text, uint32_t subLength, uint32_t textLength, bool caseFold,
                      uint32_t firstStart, uint32_t lastStart) {
  if (sub == nullptr || text == nullptr) return -1;
  if (!MeasureInput(sub, subLength) || !MeasureInput(text, textLength)) return -1;
  if (subLength > textLength) return -1;
  const uint32_t lastPossible = textLength - subLength;
  if (firstStart <= lastStart) {
    if (lastPossible < firstStart) return -1;
    const uint32_t end = lastStart < lastPossible ? lastStart : lastPossible;
    for (uint32_t p = firstStart;; ++p) {
      if (MatchesAt(sub, subLength, text, p, caseFold)) return static_cast<int32_t>(p);
      if (p == end) break;
    }
  } else {
    if (lastPossible < lastStart) return -1;
    const uint32_t begin = firstStart < lastPossible ? firstStart : lastPossible;
    for (uint32_t p = begin;; --p) {
      if (MatchesAt(sub, subLength, text, p, caseFold)) return static_cast<int32_t>(p);
      if (p == lastStart) break;
    }
  }
  return -1;
}

int32_t FindTextFold(std::string_view sub, std::string_view text, uint32_t firstStart, uint32_t lastStart) {
  if (firstStart == 0 || lastStart == 0) return 0;
  // Empty texts must not fall into FindTextRange's zero-terminated mode.
  if (sub.empty() || text.empty()) return 0;
  return FindTextRange(sub.data(), text.data(), static_cast<uint32_t>(sub.size()), static_cast<uint32_t>(text.size()),
                       true, firstStart - 1, lastStart - 1) +
         1;
}

bool StripChar(std::string& text, char c) {
  size_t write = 0;
  for (char byte : text) {
    if (byte != c) text[write++] = byte;
  }
  if (write == text.size()) return false;
  text.resize(write);
  return true;
}

}  // namespace quorvex
