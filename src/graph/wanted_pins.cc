#include "graph/wanted_pins.h"

#include "graph/com_ptr.h"
#include "graph/pin_selection.h"

namespace quorvex {

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
