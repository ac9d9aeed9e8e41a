#include "graph/engine/splitter_filter.h"

#include "graph/engine/pin_enumerator.h"
#include "graph/engine/pin_names.h"
#include "text/conversions.h"

namespace quorvex::engine {

HResult SplitterFilter::QueryInterface(const Guid& iid, void** object) {
  if (object == nullptr) return kPointer;
  if (iid == kIidEngineFilter) {
    *object = static_cast<EngineFilter*>(this);  // borrowed
    return kOk;
  }
  if (iid == kIidUnknown || iid == kIidBaseFilter) {
    *object = static_cast<IBaseFilter*>(this);
  } else if (iid == kIidFileSourceFilter) {
    *object = static_cast<IFileSourceFilter*>(this);
  } else {
    *object = nullptr;
    return kNoInterface;
  }
  AddRef();
  return kOk;
}

HResult SplitterFilter::EnumPins(IEnumPins** enumerator) {
  if (enumerator == nullptr) return kPointer;
  *enumerator = PinEnumerator::Over(pins_);
  return kOk;
}

HResult SplitterFilter::FindPin(const char16_t* id, IPin** pin) {
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

HResult SplitterFilter::Load(const char16_t* fileName, const TAmMediaType*) {
  if (fileName == nullptr) return kPointer;
  if (source_ != nullptr) return kWrongState;  // one file per splitter
  const std::string path = NarrowText(fileName);
  if (path.empty()) return kFileNotFound;
  source_ = MediaSource::Open(path, formats_);
  if (source_ == nullptr) return kInvalidFileFormat;
  for (int i = 0; i < source_->streamCount(); ++i) {
    pins_.push_back(std::make_unique<EnginePin>(*this, *this, OutputPinName(source_->stream(i), i + 1),
                                                source_->stream(i)));
  }
  return kOk;
}

}  // namespace quorvex::engine
