#include "graph/pin_selection.h"

#include "graph/com_ptr.h"
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

bool ForEachWantedPin(IEnumPins& splitterPins, bool videoOnly, bool audioOnly, const WantedPinHandler& handle) {
  ComPtr<IPin> pin;
  while (splitterPins.Next(1, pin.Put(), nullptr) == kOk && pin) {
    TPinInfo info;
    const HResult infoResult = pin->QueryPinInfo(&info);
    // Whatever the answer, a filter reference handed out is given up with the pin.
    const auto pinFilter = ComPtr<IBaseFilter>::Adopt(info.pFilter);
    if (infoResult != kOk) continue;
    const std::string name = PinNameOf(info);
    if (!PinWanted(name, videoOnly, audioOnly)) continue;
    if (!handle(*pin.Get(), info, name)) return false;
  }
  return true;
}

}  // namespace quorvex
