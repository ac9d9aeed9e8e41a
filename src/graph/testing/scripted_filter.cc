#include "graph/testing/scripted_filter.h"

#include "text/conversions.h"

namespace quorvex::doubles {

ScriptedFilter::ScriptedFilter(DoubleLedger& ledger, std::string label) : references_(ledger, std::move(label)) {}

HResult ScriptedFilter::QueryInterface(const Guid& iid, void** object) {
  void* asInterface = nullptr;
  if (iid == kIidUnknown || iid == kIidBaseFilter) asInterface = static_cast<IBaseFilter*>(this);
  if (iid == kIidFileSourceFilter) asInterface = static_cast<IFileSourceFilter*>(this);
  if (iid == kIidFileSinkFilter) asInterface = static_cast<IFileSinkFilter*>(this);
  return AnswerInterface(*this, interfaces, iid, asInterface, object);
}

HResult ScriptedFilter::EnumPins(IEnumPins** enumerator) {
  PinEnumerationScript script;
  if (!enumerations_.empty()) {
    script = std::move(enumerations_.front());
    enumerations_.pop_front();
  } else {
    for (const auto& pin : pins_) script.pins.push_back(pin.get());
  }
  const int number = enumerationsStarted() + 1;
  references_.ledger().Note("EnumPins " + label() + " #" + std::to_string(number));
  if (script.enumPinsAnswer < 0) {
    *enumerator = nullptr;
    return script.enumPinsAnswer;
  }
  enumerators_.push_back(std::make_unique<ScriptedPinEnumerator>(references_.ledger(),
                                                                 "pins of " + label() + " #" + std::to_string(number),
                                                                 std::move(script.pins), script.endAnswer));
  return Deliver<IEnumPins>(script.enumPinsAnswer, enumerators_.back().get(), enumerator);
}

HResult ScriptedFilter::FindPin(const char16_t* id, IPin** pin) {
  *pin = nullptr;
  ScriptedPin* found = nullptr;
  for (const auto& candidate : pins_) {
    if (candidate->script.name == id) found = candidate.get();
  }
  references_.ledger().Note("FindPin " + label() + " " + NarrowText(id));
  if (findPinAnswer.has_value()) return Deliver<IPin>(*findPinAnswer, found, pin);
  return found != nullptr ? Deliver<IPin>(kOk, found, pin) : kNotFound;
}

HResult ScriptedFilter::Load(const char16_t* fileName, const TAmMediaType* mediaType) {
  references_.ledger().Note("Load " + label() + " " + NarrowText(fileName) + (mediaType != nullptr ? " typed" : ""));
  loadedFile_ = fileName;
  return loadAnswer;
}

HResult ScriptedFilter::SetFileName(const char16_t* fileName, const TAmMediaType* mediaType) {
  references_.ledger().Note("SetFileName " + label() + " " + NarrowText(fileName) +
                            (mediaType != nullptr ? " typed" : ""));
  sinkFileName_ = fileName;
  return setFileNameAnswer;
}

ScriptedPin& ScriptedFilter::AddPin(PinScript script) {
  const std::string pinLabel = label() + " pin " + NarrowText(script.name);
  pins_.push_back(std::make_unique<ScriptedPin>(references_.ledger(), pinLabel, *this, std::move(script)));
  return *pins_.back();
}

}  // namespace quorvex::doubles
