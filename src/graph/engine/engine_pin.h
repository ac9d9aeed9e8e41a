#ifndef QUORVEX_GRAPH_ENGINE_ENGINE_PIN_H_
#define QUORVEX_GRAPH_ENGINE_ENGINE_PIN_H_

#include <string>

#include "graph/engine/engine_filter.h"
#include "graph/interfaces.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace quorvex::engine {

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

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_ENGINE_PIN_H_
