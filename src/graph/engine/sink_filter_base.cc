#include "graph/engine/sink_filter_base.h"

#include "graph/engine/filter_calls.h"
#include "text/conversions.h"

namespace quorvex::engine {

HResult SinkFilterBase::QueryInterface(const Guid& iid, void** object) {
  return QueryFilterInterface<IFileSinkFilter>(this, iid, object);
}

HResult SinkFilterBase::EnumPins(IEnumPins** enumerator) { return EnumeratePins(pins_, enumerator); }

HResult SinkFilterBase::FindPin(const char16_t* id, IPin** pin) { return FindPinNamed(pins_, id, pin); }

HResult SinkFilterBase::SetFileName(const char16_t* fileName, const TAmMediaType*) {
  if (fileName == nullptr) return kPointer;
  const std::string name = NarrowText(fileName);
  if (name.empty()) return kInvalidArgument;
  fileName_ = name;
  return kOk;
}

}  // namespace quorvex::engine
