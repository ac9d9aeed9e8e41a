#include "graph/engine/sink_filter_base.h"

#include "graph/engine/pin_enumerator.h"
#include "text/conversions.h"

namespace quorvex::engine {

HResult SinkFilterBase::QueryInterface(const Guid& iid, void** object) {
  if (object == nullptr) return kPointer;
  if (iid == kIidEngineFilter) {
    *object = static_cast<EngineFilter*>(this);  // borrowed
    return kOk;
  }
  if (iid == kIidUnknown || iid == kIidBaseFilter) {
    *object = static_cast<IBaseFilter*>(this);
  } else if (iid == kIidFileSinkFilter) {
    *object = static_cast<IFileSinkFilter*>(this);
  } else {
    *object = nullptr;
    return kNoInterface;
  }
  AddRef();
  return kOk;
}

HResult SinkFilterBase::EnumPins(IEnumPins** enumerator) {
  if (enumerator == nullptr) return kPointer;
  *enumerator = PinEnumerator::Over(pins_);
  return kOk;
}

HResult SinkFilterBase::FindPin(const char16_t* id, IPin** pin) {
  if (id == nullptr || pin == nullptr) return kPointer;
  for (const auto& candidate : pins_) {
    if (candidate->name() == id) {
      *pin = candidate.get();
      candidate->AddRef();
      return kOk;
    }
  }
  *pin = nullptr;
  return kNotFound;
}

HResult SinkFilterBase::SetFileName(const char16_t* fileName, const TAmMediaType*) {
  if (fileName == nullptr) return kPointer;
  const std::string name = NarrowText(fileName);
  if (name.empty()) return kInvalidArgument;
  fileName_ = name;
  return kOk;
}

}  // namespace quorvex::engine
