#ifndef QUORVEX_TEXT_FOLD_H_
#define QUORVEX_TEXT_FOLD_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// Lower-case counterparts of Windows-1252, fixed so that comparisons never
// depend on the system locale.
extern const std::array<uint8_t, 256> LowerFold1252;

// True when both texts are equal byte for byte under LowerFold1252.
bool SameTextFold(std::string_view a, std::string_view b);

// Searches `sub` in `text` for a start between firstStart and lastStart
// (counted from 0; backwards when firstStart > lastStart). A length of 0 means
// the input ends at its first zero byte. Answers the start or -1.
// The program only ever searches forward over whole texts with folding on;
// the backward, exact and zero-ended modes are kept because the search is
// one operation with one contract, and a half-kept contract would mislead.
int32_t FindTextRange(const char* sub, const char* text, uint32_t subLength, uint32_t textLength, bool caseFold,
                      uint32_t firstStart, uint32_t lastStart);

// Case-insensitive search with starts counted from 1; answers 0 when absent.
int32_t FindTextFold(std::string_view sub, std::string_view text, uint32_t firstStart = 1,
                     uint32_t lastStart = 2147483647u);

// Removes every occurrence of `c` from `text`; true when something was removed.
bool StripChar(std::string& text, char c);

}  // namespace quorvex

#endif  // QUORVEX_TEXT_FOLD_H_
