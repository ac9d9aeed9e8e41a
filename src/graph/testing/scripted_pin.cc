#include "graph/testing/scripted_pin.h"

#include <algorithm>

namespace quorvex::doubles {

ScriptedPin::ScriptedPin(DoubleLedger& ledger, std::string label, IBaseFilter& owner, PinScript pinScript)
    : script(std::move(pinScript)), references_(ledger, std::move(label)), owner_(owner) {}

HResult ScriptedPin::QueryInterface(const Guid& iid, void** object) {
  const bool offered = iid == kIidUnknown || iid == kIidPin;
  return AnswerInterface(*this, interfaces, iid, offered ? static_cast<IPin*>(this) : nullptr, object);
}

HResult ScriptedPin::Connect(IPin* receivePin, const TAmMediaType* mediaType) {
  connectAttempts_.push_back(receivePin);
  const auto* receiver = dynamic_cast<const ScriptedPin*>(receivePin);
  references_.ledger().Note("Connect " + label() + " -> " + (receiver != nullptr ? receiver->label() : "?") +
                            (mediaType != nullptr ? " with a media type" : ""));
  return script.connectAnswer;
}

HResult ScriptedPin::QueryPinInfo(TPinInfo* info) {
  if (script.queryPinInfoAnswer < 0) return script.queryPinInfoAnswer;
  info->dir = kPinOutput;
  std::fill(std::begin(info->achName), std::end(info->achName), u'\0');
  std::copy_n(script.name.begin(), std::min<size_t>(script.name.size(), kMaxPinName), info->achName);
  owner_.AddRef();
  info->pFilter = &owner_;
  return script.queryPinInfoAnswer;
}

ScriptedPinEnumerator::ScriptedPinEnumerator(DoubleLedger& ledger, std::string label, std::vector<ScriptedPin*> pins,
                                             HResult endAnswer)
    : references_(ledger, std::move(label)), pins_(std::move(pins)), endAnswer_(endAnswer) {}

HResult ScriptedPinEnumerator::QueryInterface(const Guid& iid, void** object) {
  const bool offered = iid == kIidUnknown || iid == kIidEnumPins;
  return AnswerInterface(*this, InterfaceAnswers{}, iid, offered ? static_cast<IEnumPins*>(this) : nullptr, object);
}

HResult ScriptedPinEnumerator::Next(uint32_t count, IPin** pins, uint32_t* fetched) {
  if (count != 1) return kInvalidArgument;  // the jobs always ask for one pin
  if (fetched != nullptr) *fetched = 0;
  if (position_ == pins_.size()) {
    pins[0] = nullptr;
    return endAnswer_;
  }
  ScriptedPin* pin = pins_[position_++];
  Deliver<IPin>(kOk, pin, pins);
  if (fetched != nullptr) *fetched = 1;
  return kOk;
}

}  // namespace quorvex::doubles
