#include "graph/pin_selection.h"

#include "text/conversions.h"
#include "text/fold.h"

namespace quorvex {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::u16string WidePinName(const TPinInfo& info) { return FixedWideText(info.achName, kMaxPinName); }

std::string PinNameOf(const TPinInfo& info) { return NarrowPinText(WidePinName(info)); }

std::string NarrowPinText(std::u16string_view text) {
  std::u16string whole(text);
  for (size_t i = 0; i < whole.size(); ++i) {
    if (IsHighSurrogate(whole[i]) && i + 1 < whole.size() && IsLowSurrogate(whole[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(whole[i]) || IsLowSurrogate(whole[i])) {
      whole[i] = u'?';
    }
  }
  return NarrowText(whole);
}

bool NameContains(std::string_view name, std::string_view word) { return FindTextFold(word, name) > 0; }

bool PinWanted(std::string_view pinName, bool videoOnly, bool audioOnly) {
  if (!audioOnly && NameContains(pinName, "Video")) return true;
  if (videoOnly) return false;
  return NameContains(pinName, "Audio");
}

}  // namespace quorvex
