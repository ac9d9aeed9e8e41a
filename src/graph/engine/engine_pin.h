#ifndef QUORVEX_GRAPH_ENGINE_ENGINE_PIN_H_
#define QUORVEX_GRAPH_ENGINE_ENGINE_PIN_H_

#include <memory>
#include <string>
#include <vector>

#include "graph/com_ptr.h"
#include "graph/engine/engine_filter.h"
#include "graph/interfaces.h"
#include "graph/ref_counted.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace quorvex::engine {

// The splitter's name for a stream: its kind and its 1-based position among
// all the source's streams, "Video 1", "Audio 2", "Subtitle 3", "Data 4".
// Cover art is an attachment, never a video the jobs would copy.
std::u16string OutputPinName(const AVStream& stream, int position);

// The muxer's n-th input pin, 1-based: "Input 1", "Input 2", ...
std::u16string MuxerInputPinName(int number);

class EnginePin;

// The filter side of an input pin: decides whether a stream may connect.
class InputPinHost {
 public:
  // Called before the connection is made; kOk lets it happen.
  virtual HResult AcceptConnection(EnginePin& input, const AVStream& stream) = 0;

 protected:
  ~InputPinHost() = default;
};

// A pin of one of the engine's filters. Like the platform's pins, it lives
// inside its filter and counts its references on the filter, so a pin held
// by a job keeps its filter alive and no cycle forms.
class EnginePin final : public IPin {
 public:
  // An output pin of a splitter, carrying `stream`.
  EnginePin(IBaseFilter& owner, EngineFilter& engineOwner, std::u16string name, const AVStream& stream);
  // An input pin whose connections `host` judges.
  EnginePin(IBaseFilter& owner, EngineFilter& engineOwner, std::u16string name, InputPinHost& host);

  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return owner_.AddRef(); }
  uint32_t Release() override { return owner_.Release(); }
  HResult Connect(IPin* receivePin, const TAmMediaType* mediaType) override;
  HResult QueryPinInfo(TPinInfo* info) override;

  const std::u16string& name() const { return name_; }
  bool connected() const { return peer_ != nullptr; }
  // The stream this pin carries: its own (output) or its peer's (input).
  const AVStream* stream() const { return stream_; }
  EnginePin* peer() const { return peer_; }
  EngineFilter& engineOwner() const { return engineOwner_; }

  // For input pins: their place among the connected inputs of their filter.
  int inputIndex() const { return inputIndex_; }
  void setInputIndex(int index) { inputIndex_ = index; }

 private:
  HResult ConnectTo(EnginePin& input);

  IBaseFilter& owner_;
  EngineFilter& engineOwner_;
  PinDirection direction_;
  std::u16string name_;
  const AVStream* stream_ = nullptr;
  InputPinHost* host_ = nullptr;
  EnginePin* peer_ = nullptr;
  int inputIndex_ = -1;
};

// The engine pin behind an interface pointer, or nullptr for a foreign pin.
EnginePin* AsEnginePin(IPin* pin);

// Walks a snapshot of a filter's pins taken when the enumeration began, so
// pins added later (the muxer's new free input) show up only in a fresh one.
class PinEnumerator final : public IEnumPins {
 public:
  explicit PinEnumerator(std::vector<ComPtr<IPin>> pins) : pins_(std::move(pins)) {}

  // A new enumerator over `pins`, holding one reference for the caller.
  template <class PinList>
  static IEnumPins* Over(const PinList& pins) {
    std::vector<ComPtr<IPin>> snapshot;
    for (const auto& pin : pins) snapshot.push_back(ComPtr<IPin>::Share(pin.get()));
    return MakeRefCounted<PinEnumerator>(std::move(snapshot));
  }

  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return count_.Increment(); }
  uint32_t Release() override { return ReleaseReference(this, count_); }
  HResult Next(uint32_t count, IPin** pins, uint32_t* fetched) override;

 private:
  ReferenceCount count_;
  std::vector<ComPtr<IPin>> pins_;
  size_t next_ = 0;
};

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

#endif  // QUORVEX_GRAPH_ENGINE_ENGINE_PIN_H_
