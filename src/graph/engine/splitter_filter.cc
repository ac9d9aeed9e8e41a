#include "graph/engine/splitter_filter.h"

#include "graph/engine/engine_pin.h"
#include "text/conversions.h"

namespace quorvex::engine {

HResult SplitterFilter::QueryInterface(const Guid& iid, void** object) {
  return QueryFilterInterface<IFileSourceFilter>(this, iid, object);
}

HResult SplitterFilter::EnumPins(IEnumPins** enumerator) { return EnumeratePins(pins_, enumerator); }

HResult SplitterFilter::FindPin(const char16_t* id, IPin** pin) { return FindPinNamed(pins_, id, pin); }

HResult SplitterFilter::Load(const char16_t* fileName, const TAmMediaType*) {
  if (fileName == nullptr) return kPointer;
  if (source_ != nullptr) return kWrongState;  // one file per splitter
  const std::string path = NarrowText(fileName);
  if (path.empty()) return kFileNotFound;
  if (watch_ == nullptr) watch_ = std::make_unique<InterruptWatch>(interrupts_);
  source_ = MediaSource::Open(files_, interrupts_, path, formats_);
  if (source_ == nullptr) return interrupts_.Requested() ? kAbort : kInvalidFileFormat;
  for (int i = 0; i < source_->streamCount(); ++i) {
    pins_.push_back(
        std::make_unique<EnginePin>(*this, *this, OutputPinName(source_->stream(i), i + 1), source_->stream(i)));
  }
  return kOk;
}

}  // namespace quorvex::engine
