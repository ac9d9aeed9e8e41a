#include "graph/engine/pin_enumerator.h"

namespace quorvex::engine {

HResult PinEnumerator::QueryInterface(const Guid& iid, void** object) {
  if (object == nullptr) return kPointer;
  if (iid == kIidUnknown || iid == kIidEnumPins) {
    *object = static_cast<IEnumPins*>(this);
    AddRef();
    return kOk;
  }
  *object = nullptr;
  return kNoInterface;
}

HResult PinEnumerator::Next(uint32_t count, IPin** pins, uint32_t* fetched) {
  if (pins == nullptr) return kPointer;
  // Without a counter only single pins may be asked for, as on the platform.
  if (fetched == nullptr && count != 1) return kPointer;
  uint32_t delivered = 0;
  while (delivered < count && next_ < pins_.size()) {
    pins[delivered++] = ComPtr<IPin>(pins_[next_++]).Detach();
  }
  if (fetched != nullptr) *fetched = delivered;
  return delivered == count ? kOk : kFalse;
}

}  // namespace quorvex::engine
