#ifndef QUORVEX_GRAPH_ENGINE_FILTER_CALLS_H_
#define QUORVEX_GRAPH_ENGINE_FILTER_CALLS_H_

#include "graph/engine/engine_filter.h"
#include "graph/engine/pin_enumerator.h"
#include "graph/interfaces.h"

namespace quorvex::engine {

// The calls that every engine filter answers alike, whatever it does inside.

// QueryInterface of a filter that offers IBaseFilter and one file interface
// (IFileSourceFilter or IFileSinkFilter), plus the engine's own view of it.
template <class FileInterface, class Filter>
HResult QueryFilterInterface(Filter* filter, const Guid& iid, void** object) {
  if (object == nullptr) return kPointer;
  if (iid == kIidEngineFilter) {
    *object = static_cast<EngineFilter*>(filter);  // borrowed
    return kOk;
  }
  if (iid == kIidUnknown || iid == kIidBaseFilter) {
    *object = static_cast<IBaseFilter*>(filter);
  } else if (iid == FileInterface::kIid) {
    *object = static_cast<FileInterface*>(filter);
  } else {
    *object = nullptr;
    return kNoInterface;
  }
  filter->AddRef();
  return kOk;
}

template <class PinList>
HResult EnumeratePins(const PinList& pins, IEnumPins** enumerator) {
  if (enumerator == nullptr) return kPointer;
  *enumerator = PinEnumerator::Over(pins);
  return kOk;
}

template <class PinList>
HResult FindPinNamed(const PinList& pins, const char16_t* id, IPin** pin) {
  if (id == nullptr || pin == nullptr) return kPointer;
  for (const auto& candidate : pins) {
    if (candidate->name() == id) {
      *pin = candidate.get();
      candidate->AddRef();
      return kOk;
    }
  }
  *pin = nullptr;
  return kNotFound;
}

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_FILTER_CALLS_H_
