#include "graph/engine/engine_pin.h"

#include <algorithm>

namespace quorvex::engine {
namespace {
constexpr HResult kInvalidDirection = static_cast<HResult>(0x80040208u);
}  // namespace

EnginePin::EnginePin(IBaseFilter& owner, EngineFilter& engineOwner, std::u16string name, const AVStream& stream)
    : owner_(owner), engineOwner_(engineOwner), direction_(kPinOutput), name_(std::move(name)), stream_(&stream) {}

EnginePin::EnginePin(IBaseFilter& owner, EngineFilter& engineOwner, std::u16string name, InputPinHost& host)
    : owner_(owner), engineOwner_(engineOwner), direction_(kPinInput), name_(std::move(name)), host_(&host) {}

HResult EnginePin::QueryInterface(const Guid& iid, void** object) {
  if (object == nullptr) return kPointer;
  if (iid == kIidEnginePin) {
    *object = this;  // borrowed, see engine_filter.h
    return kOk;
  }
  if (iid == kIidUnknown || iid == kIidPin) {
    *object = static_cast<IPin*>(this);
    AddRef();
    return kOk;
  }
  *object = nullptr;
  return kNoInterface;
}

EnginePin* AsEnginePin(IPin* pin) {
  void* object = nullptr;
  if (pin == nullptr || pin->QueryInterface(kIidEnginePin, &object) != kOk) return nullptr;
  return static_cast<EnginePin*>(object);
}

HResult EnginePin::Connect(IPin* receivePin, const TAmMediaType*) {
  EnginePin* other = AsEnginePin(receivePin);
  if (receivePin == nullptr) return kPointer;
  if (other == nullptr) return kNoAcceptableTypes;  // the engine streams only to its own filters
  if (direction_ == kPinInput) {
    if (other->direction_ != kPinOutput) return kInvalidDirection;
    return other->ConnectTo(*this);
  }
  if (other->direction_ != kPinInput) return kInvalidDirection;
  return ConnectTo(*other);
}

HResult EnginePin::ConnectTo(EnginePin& input) {
  if (peer_ != nullptr || input.peer_ != nullptr) return kAlreadyConnected;
  const FilterGraph* graph = engineOwner_.graph();
  if (graph == nullptr || graph != input.engineOwner_.graph()) return kNotInGraph;
  input.stream_ = stream_;
  const HResult accepted = input.host_->AcceptConnection(input, *stream_);
  if (accepted != kOk) {
    input.stream_ = nullptr;
    return accepted;
  }
  peer_ = &input;
  input.peer_ = this;
  return kOk;
}

HResult EnginePin::QueryPinInfo(TPinInfo* info) {
  if (info == nullptr) return kPointer;
  *info = TPinInfo{};
  info->pFilter = &owner_;
  owner_.AddRef();
  info->dir = direction_;
  const size_t length = std::min(name_.size(), static_cast<size_t>(kMaxPinName - 1));
  std::copy_n(name_.begin(), length, info->achName);
  return kOk;
}

}  // namespace quorvex::engine
