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

namespace {

std::u16string Numbered(const char* word, int number) {
  std::string text = std::string(word) + " " + std::to_string(number);
  return std::u16string(text.begin(), text.end());  // ASCII only
}

const char* KindWord(const AVStream& stream) {
  if ((stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) return "Attachment";
  switch (stream.codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
      return "Video";
    case AVMEDIA_TYPE_AUDIO:
      return "Audio";
    case AVMEDIA_TYPE_SUBTITLE:
      return "Subtitle";
    case AVMEDIA_TYPE_ATTACHMENT:
      return "Attachment";
    default:
      return "Data";
  }
}

}  // namespace

std::u16string OutputPinName(const AVStream& stream, int position) { return Numbered(KindWord(stream), position); }

std::u16string MuxerInputPinName(int number) { return Numbered("Input", number); }

}  // namespace quorvex::engine
